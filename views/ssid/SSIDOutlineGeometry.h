#pragma once

struct AccessPoint;

// Where and how an access point's outline sits over the spectrum, in MHz from the left edge of
// its band's axis (2400 MHz for 2.4 GHz, 5145 MHz for 5 GHz). Pure geometry: the layer scales
// it to pixels.
struct SSIDOutline {
    bool drawn = false;
    bool ellipse = false;  // 802.11b only: a half ellipse instead of a trapezoid
    float centreMHz = 0.0f;
    float bottomMHz = 0.0f;  // width at the baseline
    float topMHz = 0.0f;     // width at the level
};

class SSIDOutlineGeometry {
  public:
    static constexpr float kBand24StartMHz = 2400.0f;
    static constexpr float kBand24WidthMHz = 100.0f;
    static constexpr float kBand5StartMHz = 5145.0f;
    static constexpr float kBand5WidthMHz = 715.0f;

    // 2.4 GHz channels 1..14 (channel 14 at 2484 MHz whatever the standard); others not drawn.
    static SSIDOutline band24(const AccessPoint& ap);
    // 5 GHz channels 36..165 with the bonded-channel rules; combinations of the alternative
    // channel fields that name no bonded block are not drawn.
    static SSIDOutline band5(const AccessPoint& ap);

    static bool is40MHzCentre(int channel);
    static bool is80MHzCentre(int channel);
    static bool is160MHzCentre(int channel);

    // Height of a level on an axis from `bottom` to `top` dBm over `height` pixels, the level
    // clamped to the axis; negative (draw nothing) when the level or the axis is not a number or
    // the axis is empty, as on accessories without the band.
    static float levelHeight(float level, float bottom, float top, float height);

    // Label centre above an outline of `height`, pinned below the top edge when it would leave it.
    static float labelY(float height, float labelHeight, float layerHeight);

    // Whether (x, y) lies inside an outline (in layer units, baseline at y = 0) or within
    // `slack` of its edge, so a thin or low outline can still be clicked.
    static bool contains(bool ellipse, float centre, float bottom, float top, float height, float x,
                         float y, float slack);
};
