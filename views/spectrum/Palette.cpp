#include "views/spectrum/Palette.h"

#include <cmath>

namespace {

uint8_t toByte(float v) {
    if (!(v > 0.f))
        return 0;
    if (v >= 255.f)
        return 255;
    return static_cast<uint8_t>(v);
}

// The byte ramp u of entry i and its fraction c; a one-entry palette sits at the low end.
uint8_t ramp(int i, int n) {
    if (n <= 1)
        return 0;
    return static_cast<uint8_t>(i * 255 / (n - 1));
}

template <typename F>
Palette build(int n, F entry) {
    Palette palette;
    if (n <= 0)
        return palette;
    palette.colors.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        palette.colors[static_cast<size_t>(i)] = entry(i);
    return palette;
}

}  // namespace

PaletteColor Palette::hsvToRgb(float hue, float saturation, float value) {
    if (hue == 360.f)
        hue = 359.99f;
    const float c = value * saturation;
    const float h = hue / 60.f;
    const float x = c * (1.f - std::fabs(std::fmod(h, 2.f) - 1.f));
    const float m = value - c;
    float r = 0, g = 0, b = 0;
    if (h >= 0.f && h < 1.f) {
        r = c, g = x;
    } else if (h >= 1.f && h < 2.f) {
        r = x, g = c;
    } else if (h >= 2.f && h < 3.f) {
        g = c, b = x;
    } else if (h >= 3.f && h < 4.f) {
        g = x, b = c;
    } else if (h >= 4.f && h < 5.f) {
        r = x, b = c;
    } else if (h >= 5.f && h < 6.f) {
        r = c, b = x;
    } else {
        return PaletteColor{toByte(m * 255.f), toByte(m * 255.f), toByte(m * 255.f)};
    }
    return PaletteColor{toByte((r + m) * 255.f), toByte((g + m) * 255.f), toByte((b + m) * 255.f)};
}

Palette Palette::makeRainbowPalette(int n) {
    return build(n, [n](int i) {
        const float hue =
            n > 1 ? 300.f - static_cast<float>(i) * 300.f / static_cast<float>(n - 1) : 300.f;
        return hsvToRgb(hue, 1.f, 1.f);
    });
}

Palette Palette::makeFirePalette(int n) {
    return build(n, [n](int i) {
        const int u = ramp(i, n);
        if (u <= 85) {
            const float d = static_cast<float>(u) / 85.f;
            return PaletteColor{toByte(85.f * (1.f - d) + 255.f * d), 0, 0};
        }
        if (u <= 170) {
            const float d = static_cast<float>(u - 85) / 85.f;
            return PaletteColor{255, toByte(255.f * d), 0};
        }
        const float d = static_cast<float>(u - 170) / 85.f;
        return PaletteColor{255, 255, toByte(255.f * d)};
    });
}

Palette Palette::makeXrayPalette(int n) {
    return build(n, [n](int i) {
        const float c = static_cast<float>(ramp(i, n)) / 255.f;
        return PaletteColor{toByte(86.f * (1.f - c) + 174.f * c),
                            toByte(93.f * (1.f - c) + 246.f * c),
                            toByte(84.f * (1.f - c) + 235.f * c)};
    });
}

Palette Palette::makeGreenPalette(int n) {
    return build(n, [n](int i) {
        const float c = static_cast<float>(ramp(i, n)) / 255.f;
        return PaletteColor{0, toByte(50.f * (1.f - c) + 255.f * c), 0};
    });
}

Palette Palette::makeGreyPalette(int n) {
    return build(n, [n](int i) {
        const uint8_t u = ramp(i, n);
        return PaletteColor{u, u, u};
    });
}

Palette Palette::makeWaterfallRainbowPalette() {
    return build(256, [](int i) {
        const float x = 1.f - static_cast<float>(i) / 255.f;
        const float hue = (x - 0.1f * std::sin(6.283f * x)) * 255.f;
        return hsvToRgb(hue, 1.f, 1.f);
    });
}

Palette Palette::forColorMap(int colorMap, int n) {
    switch (colorMap) {
        case kRainbow:
            return makeRainbowPalette(n);
        case kFire:
            return makeFirePalette(n);
        case kXray:
            return makeXrayPalette(n);
        case kGreen:
            return makeGreenPalette(n);
        default:
            return makeGreyPalette(n);
    }
}

Palette Palette::forWaterfall(int colorMap) {
    if (colorMap == kRainbow)
        return makeWaterfallRainbowPalette();
    return forColorMap(colorMap, 256);
}
