#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One colour of a palette, channels as bytes.
struct PaletteColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const PaletteColor&) const = default;
};

// Colour maps of the heat map and the waterfall: index 0 is the weakest level, the last entry
// the strongest. Colour-map numbers: 0 rainbow, 1 fire, 2 X-ray, 3 green, anything else grey.
class Palette {
  public:
    enum ColorMap { kRainbow = 0, kFire = 1, kXray = 2, kGreen = 3 };

    static Palette makeRainbowPalette(int n);
    static Palette makeFirePalette(int n);
    static Palette makeXrayPalette(int n);
    static Palette makeGreenPalette(int n);
    static Palette makeGreyPalette(int n);
    // Always 256 entries; the hue is bent so that the middle levels spread more.
    static Palette makeWaterfallRainbowPalette();

    // The heat map's palette of n entries for a colour-map number.
    static Palette forColorMap(int colorMap, int n);
    // The waterfall's 256-entry palette for a colour-map number.
    static Palette forWaterfall(int colorMap);

    // Hue in degrees (0..360), saturation and value 0..1; channels truncated to bytes.
    static PaletteColor hsvToRgb(float hue, float saturation, float value);

    int count() const { return static_cast<int>(colors.size()); }
    const PaletteColor& at(int i) const { return colors[static_cast<size_t>(i)]; }
    const PaletteColor& last() const { return colors.back(); }

    std::vector<PaletteColor> colors;
};
