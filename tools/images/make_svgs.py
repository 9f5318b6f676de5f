#!/usr/bin/env python3
"""Writes the SVG sources of Tarno's images into Resources/svg/.

One look for everything: dark graphite panels, thin light strokes, and one accent colour (the
instrument cyan) for whatever is selected. Icons come in pairs: "...Unselected" draws the glyph in
light grey, "...Selected" the same glyph in the accent colour on a lit rounded tile. Images that
the views tint at run time (peak markers, handles, slider bars) are drawn in white.

Run tools/images/convert.sh afterwards to turn the SVGs into the PNGs the program loads.
"""
import os
import sys

ACCENT = "#35c8f0"
GREY = "#b4bcc6"
DIM = "#5d6570"
PANEL = "#1c2026"
PANEL_EDGE = "#3a414b"
WHITE = "#ffffff"

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "Resources", "svg")


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


def write(name, w, h, body):
    with open(os.path.join(OUT, name + ".svg"), "w") as f:
        f.write(svg(w, h, body))


# Menu-bar glyphs on a 96 x 96 canvas, drawn with stroke colour c.
def glyph_spectrum(c):
    return (f'<polyline points="14,70 24,66 30,52 36,62 42,30 48,58 54,40 60,64 68,56 82,70" '
            f'fill="none" stroke="{c}" stroke-width="4" stroke-linejoin="round"/>'
            f'<line x1="12" y1="76" x2="84" y2="76" stroke="{c}" stroke-width="3"/>')


def glyph_power(c):
    return (f'<polyline points="12,66 28,66 28,30 50,30 50,66 62,66 62,30 84,30" fill="none" '
            f'stroke="{c}" stroke-width="4" stroke-linejoin="round"/>'
            f'<line x1="12" y1="76" x2="84" y2="76" stroke="{c}" stroke-width="3"/>')


def glyph_cursor(c):
    return (f'<line x1="34" y1="14" x2="34" y2="82" stroke="{c}" stroke-width="4"/>'
            f'<line x1="62" y1="14" x2="62" y2="82" stroke="{c}" stroke-width="4" '
            f'stroke-dasharray="6 5"/>'
            f'<polygon points="26,14 42,14 34,24" fill="{c}"/>'
            f'<polygon points="54,14 70,14 62,24" fill="{c}"/>')


def glyph_measure(c):
    return (f'<rect x="14" y="36" width="68" height="24" rx="3" fill="none" stroke="{c}" '
            f'stroke-width="4"/>' +
            "".join(f'<line x1="{x}" y1="36" x2="{x}" y2="{48 if i % 2 else 44}" stroke="{c}" '
                    f'stroke-width="3"/>' for i, x in enumerate(range(24, 80, 10))))


def glyph_color(c):
    return (f'<circle cx="38" cy="40" r="17" fill="none" stroke="{c}" stroke-width="4"/>'
            f'<circle cx="58" cy="40" r="17" fill="none" stroke="{c}" stroke-width="4"/>'
            f'<circle cx="48" cy="58" r="17" fill="none" stroke="{c}" stroke-width="4"/>')


def glyph_trigger(c):
    return (f'<polyline points="12,68 40,68 48,28 84,28" fill="none" stroke="{c}" '
            f'stroke-width="4" stroke-linejoin="round"/>'
            f'<line x1="12" y1="48" x2="84" y2="48" stroke="{c}" stroke-width="2" '
            f'stroke-dasharray="5 4"/>'
            f'<polygon points="40,40 52,48 40,56" fill="{c}"/>')


def glyph_demo(c):
    return (f'<rect x="16" y="22" width="64" height="44" rx="5" fill="none" stroke="{c}" '
            f'stroke-width="4"/><polygon points="42,32 58,44 42,56" fill="{c}"/>'
            f'<line x1="34" y1="76" x2="62" y2="76" stroke="{c}" stroke-width="4"/>')


def glyph_settings(c):
    teeth = "".join(
        f'<rect x="44" y="14" width="8" height="14" rx="2" fill="{c}" '
        f'transform="rotate({a} 48 48)"/>' for a in range(0, 360, 45))
    return (teeth + f'<circle cx="48" cy="48" r="22" fill="none" stroke="{c}" stroke-width="6"/>'
            f'<circle cx="48" cy="48" r="7" fill="{c}"/>')


def glyph_pause(c):
    return (f'<rect x="30" y="24" width="12" height="48" rx="2" fill="{c}"/>'
            f'<rect x="54" y="24" width="12" height="48" rx="2" fill="{c}"/>')


def glyph_play(c):
    return f'<polygon points="32,22 74,48 32,74" fill="{c}" stroke="{c}" stroke-linejoin="round"/>'


def glyph_single(c):
    return (f'<polygon points="26,24 58,48 26,72" fill="{c}"/>'
            f'<rect x="62" y="24" width="10" height="48" rx="2" fill="{c}"/>')


ICONS = {
    "SpectrumIcon": glyph_spectrum,
    "SidekikIcon": glyph_power,
    "CursorIcon": glyph_cursor,
    "MeasureIcon": glyph_measure,
    "ColorIcon": glyph_color,
    "TriggerIcon": glyph_trigger,
    "DemoIcon": glyph_demo,
    "SettingsIcon": glyph_settings,
    "PauseIcon": glyph_pause,
    "PlayIcon": glyph_play,
    "SingleShotIcon": glyph_single,
}

GLOW = ('<defs><radialGradient id="lit" cx="50%" cy="45%" r="60%">'
        '<stop offset="0" stop-color="#2b5d70"/><stop offset="1" stop-color="#1a2a33"/>'
        '</radialGradient></defs>')


def icons():
    for name, glyph in ICONS.items():
        write(name + "Unselected", 96, 96, glyph(GREY))
        write(name + "Selected", 96, 96,
              GLOW + f'<rect x="4" y="4" width="88" height="88" rx="14" fill="url(#lit)" '
              f'stroke="{ACCENT}" stroke-width="2"/>' + glyph(ACCENT))
    write("BlankIcon", 96, 96, "")


def bar_pieces():
    chevron = lambda pts: (f'<rect x="0" y="0" width="40" height="75" fill="{PANEL}"/>'
                           f'<line x1="39" y1="6" x2="39" y2="69" stroke="{PANEL_EDGE}" '
                           f'stroke-width="2"/><polyline points="{pts}" fill="none" '
                           f'stroke="{GREY}" stroke-width="4" stroke-linecap="round" '
                           f'stroke-linejoin="round"/>')
    write("FlyinUnselected", 40, 75, chevron("24,24 14,37.5 24,51"))
    write("FlyoutUnselected", 40, 75, chevron("16,24 26,37.5 16,51"))
    plug = lambda c, extra: (
        f'<rect x="14" y="8" width="20" height="18" rx="2" fill="none" stroke="{c}" '
        f'stroke-width="3"/><rect x="18" y="12" width="4" height="5" fill="{c}"/>'
        f'<rect x="26" y="12" width="4" height="5" fill="{c}"/>'
        f'<path d="M10,26 H38 V32 Q38,38 32,38 H16 Q10,38 10,32 Z" fill="{c}"/>'
        f'<rect x="21" y="38" width="6" height="8" fill="{c}"/>' + extra)
    write("connectedIcon", 48, 48, plug("#3ddc84", ""))
    write("disconnectedIcon", 48, 48,
          plug(DIM, f'<line x1="6" y1="42" x2="42" y2="6" stroke="#e5484d" stroke-width="4" '
                    f'stroke-linecap="round"/>'))


def badges():
    write("demo", 420, 150,
          f'<rect x="6" y="6" width="408" height="138" rx="20" fill="none" stroke="{WHITE}" '
          f'stroke-width="8"/><text x="210" y="110" font-family="Roboto, sans-serif" '
          f'font-weight="bold" font-size="104" letter-spacing="16" text-anchor="middle" '
          f'fill="{WHITE}">DEMO</text>')

    def wheel(size, width, segments, colour):
        r = size / 2 - width / 2 - 2
        import math
        circumference = 2 * math.pi * r
        dash = circumference / segments
        return (f'<circle cx="{size/2}" cy="{size/2}" r="{r:.2f}" fill="none" stroke="{colour}" '
                f'stroke-width="{width}" stroke-dasharray="{dash*0.62:.2f} {dash*0.38:.2f}" '
                f'stroke-linecap="round"/>')
    write("OuterWheel", 160, 160, wheel(160, 10, 12, ACCENT))
    write("InnerWheel", 110, 110, wheel(110, 8, 8, GREY))


def panels():
    write("AlertViewBackground", 360, 200,
          f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
          f'<stop offset="0" stop-color="#262b33"/><stop offset="1" stop-color="#171a1f"/>'
          f'</linearGradient></defs><rect x="1" y="1" width="358" height="198" rx="14" '
          f'fill="url(#g)" stroke="{PANEL_EDGE}" stroke-width="2"/>')
    write("AlertViewSpotlight", 320, 60,
          f'<defs><radialGradient id="s" cx="50%" cy="0%" r="70%">'
          f'<stop offset="0" stop-color="{ACCENT}" stop-opacity="0.45"/>'
          f'<stop offset="1" stop-color="{ACCENT}" stop-opacity="0"/></radialGradient></defs>'
          f'<rect width="320" height="60" fill="url(#s)"/>')

    def button(fill, stroke, text_colour=None):
        return (f'<rect x="1" y="1" width="118" height="38" rx="8" fill="{fill}" '
                f'stroke="{stroke}" stroke-width="2"/>')
    write("AlertButtonUnselected", 120, 40, button("#1f5d73", ACCENT))
    write("AlertButtonSelected", 120, 40, button(ACCENT, "#9be6fb"))
    write("ButtonUnselected", 120, 40, button("#2a3038", PANEL_EDGE))
    write("ButtonSelected", 120, 40, button("#3b4754", ACCENT))
    write("ButtonDisabled", 120, 40, button("#20242a", "#2c3138"))
    write("MenuBackground", 64, 64,
          f'<rect x="1" y="1" width="62" height="62" rx="10" fill="{PANEL}" fill-opacity="0.96" '
          f'stroke="{PANEL_EDGE}" stroke-width="2"/>')
    write("ScalingPopoverBackground", 64, 64,
          f'<rect x="1" y="1" width="62" height="62" rx="10" fill="#14171b" fill-opacity="0.92" '
          f'stroke="{ACCENT}" stroke-width="2"/>')
    # Four quarter images of one scale step: plain (top left), the new step and the steps passed
    # on the way to it (bottom left), the old step (top right); the bottom right stays empty.
    write("ScalingPopoverBox", 40, 24,
          f'<rect x="1" y="1" width="18" height="10" rx="2.5" fill="#262b33" stroke="{GREY}" '
          f'stroke-width="1.5"/>'
          f'<rect x="1" y="13" width="18" height="10" rx="2.5" fill="{ACCENT}" stroke="{WHITE}" '
          f'stroke-width="1.5"/>'
          f'<rect x="21" y="1" width="18" height="10" rx="2.5" fill="#262b33" stroke="{ACCENT}" '
          f'stroke-width="1.5"/>')
    write("ChannelGuideButton", 60, 24,
          f'<rect x="1" y="1" width="58" height="22" rx="6" fill="#262b33" fill-opacity="0.9" '
          f'stroke="{GREY}" stroke-width="2"/>')
    write("wheel", 240, 160,
          f'<defs><linearGradient id="w" x1="0" y1="0" x2="0" y2="1">'
          f'<stop offset="0" stop-color="#0d0f12"/><stop offset="0.4" stop-color="#2a3038"/>'
          f'<stop offset="0.6" stop-color="#2a3038"/><stop offset="1" stop-color="#0d0f12"/>'
          f'</linearGradient></defs><rect x="1" y="1" width="238" height="158" rx="8" '
          f'fill="url(#w)" stroke="{PANEL_EDGE}" stroke-width="2"/>'
          f'<rect x="4" y="64" width="232" height="32" fill="none" stroke="{ACCENT}" '
          f'stroke-width="2"/>')
    for name, path in (("left-edge", "M40,1 H10 Q1,1 1,10 V30 Q1,39 10,39 H40"),
                       ("middle-edge", "M0,1 H40 M0,39 H40 M1,1 V39"),
                       ("right-edge", "M0,1 H30 Q39,1 39,10 V30 Q39,39 30,39 H0")):
        write(name, 40, 40, f'<path d="{path}" fill="#262b33" stroke="{GREY}" stroke-width="2"/>')
    write("LineBar-grey", 400, 2, f'<rect width="400" height="2" fill="{DIM}"/>')


def markers():
    write("PeakIcon", 16, 16, f'<polygon points="1,2 15,2 8,14" fill="{WHITE}"/>')
    write("PositionAndDelayIcon", 24, 32,
          f'<path d="M2,2 H22 V20 L12,30 L2,20 Z" fill="{WHITE}" stroke="#000" '
          f'stroke-opacity="0.4" stroke-width="1"/>')
    write("PositionAndDelayIconSideways", 64, 24,
          f'<path d="M30,2 V22 H12 L2,12 L12,2 Z" fill="{WHITE}"/>'
          f'<path d="M34,2 V22 H52 L62,12 L52,2 Z" fill="{WHITE}"/>')
    # Four handle bubbles, one per quarter: pointing up, down (top row), left, right (bottom).
    write("WhiteBubbleTextureMap", 128, 128,
          f'<rect x="8" y="20" width="48" height="36" rx="6" fill="{WHITE}"/>'
          f'<path d="M24,21 L32,8 L40,21 Z" fill="{WHITE}"/>'
          f'<rect x="72" y="8" width="48" height="36" rx="6" fill="{WHITE}"/>'
          f'<path d="M88,43 L96,56 L104,43 Z" fill="{WHITE}"/>'
          f'<rect x="20" y="72" width="36" height="48" rx="6" fill="{WHITE}"/>'
          f'<path d="M21,88 L8,96 L21,104 Z" fill="{WHITE}"/>'
          f'<rect x="72" y="72" width="36" height="48" rx="6" fill="{WHITE}"/>'
          f'<path d="M107,88 L120,96 L107,104 Z" fill="{WHITE}"/>')
    write("groundLabel", 48, 24, f'<path d="M1,1 H36 L47,12 L36,23 H1 Z" fill="{WHITE}"/>')
    write("sliderwhite", 200, 12, f'<rect x="0" y="0" width="200" height="12" rx="6" '
          f'fill="{WHITE}"/>')
    write("WifiIcon_lock", 24, 24,
          f'<path d="M7,11 V8 Q7,3 12,3 Q17,3 17,8 V11" fill="none" stroke="{GREY}" '
          f'stroke-width="2.5"/><rect x="4" y="11" width="16" height="11" rx="2" fill="{GREY}"/>')
    write("close_icon", 40, 40,
          f'<circle cx="20" cy="20" r="18" fill="#262b33" stroke="{GREY}" stroke-width="2"/>'
          f'<path d="M13,13 L27,27 M27,13 L13,27" stroke="{WHITE}" stroke-width="3" '
          f'stroke-linecap="round"/>')
    write("ExpandShrinkIcon", 64, 32,
          f'<rect x="1" y="1" width="30" height="30" rx="5" fill="#262b33" stroke="{GREY}" '
          f'stroke-width="2"/><path d="M9,16 H23 M16,9 V23" stroke="{WHITE}" stroke-width="3"/>'
          f'<rect x="33" y="1" width="30" height="30" rx="5" fill="#262b33" stroke="{GREY}" '
          f'stroke-width="2"/><path d="M41,16 H55" stroke="{WHITE}" stroke-width="3"/>')
    write("magnifying-glass", 64, 64,
          f'<circle cx="26" cy="26" r="17" fill="none" stroke="{GREY}" stroke-width="5"/>'
          f'<line x1="39" y1="39" x2="57" y2="57" stroke="{GREY}" stroke-width="7" '
          f'stroke-linecap="round"/>')


def app_icon():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging",
                        "tarno.svg")
    body = (f'<rect x="8" y="8" width="240" height="240" rx="44" fill="{PANEL}" '
            f'stroke="{PANEL_EDGE}" stroke-width="4"/>'
            + "".join(f'<line x1="{x}" y1="40" x2="{x}" y2="216" stroke="#2a3038" '
                      f'stroke-width="2"/>' for x in range(40, 220, 44))
            + f'<polyline points="36,196 64,186 82,150 100,176 118,72 136,168 152,118 170,182 '
              f'194,160 220,196" fill="none" stroke="{ACCENT}" stroke-width="10" '
              f'stroke-linejoin="round" stroke-linecap="round"/>')
    with open(path, "w") as f:
        f.write(svg(256, 256, body))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    icons()
    bar_pieces()
    badges()
    panels()
    markers()
    app_icon()
    print(len(os.listdir(OUT)), "SVG files in", os.path.normpath(OUT), file=sys.stderr)
