#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PowerTraceLists;

// Geometry of the power traces, without GL: vertex lists of roll samples and of captures, the
// fading of persistent captures, and where a sample lies under a cursor. Vertex lists are
// interleaved (x, y) floats with y in dBm; x is where the point is drawn at the given width
// (drawing recomputes it, so a list built at an older width still fills the view).
class PowerTraceVertices {
  public:
    // The newest min(rollPoints, samples) roll samples, the newest on the right edge of a view
    // of rollPoints points. Empty for fewer than 2 samples or fewer than 2 points per view.
    static void buildRoll(const std::vector<float>& samples, int rollPoints, float width,
                          std::vector<float>& out);

    // One capture: the smoothed curve up to PowerSpline::kMaxSmoothedSamples, else one vertex
    // per sample; empty for fewer than 2 samples.
    static void buildCapture(const std::vector<float>& capture, float width,
                             std::vector<float>& out);

    // Converts the captures not yet converted (those beyond processedHistory) at brightness 1.
    // Lists that fell out of step (more vertex lists than captures) are first trimmed at the
    // old end. Returns how many were converted.
    static size_t convertNewCaptures(PowerTraceLists& set, float width);

    // Brightness lost per frame: dt / persistence, where persistence is at least one capture
    // interval (so the previous capture is still visible when the next one arrives). A
    // persistence that is not positive makes older captures expire at once.
    static float fadeStep(float dt, float persistTime, float captureInterval);

    // One frame of persistence: captures whose brightness reached 0 are removed (with every
    // older one), the newest is set to full brightness, and with two or more the others dim by
    // `step`. Returns how many captures were removed.
    static size_t fade(PowerTraceLists& set, float step);

    // Appends the brightness of each capture as the 8-bit alpha it is drawn with (0 for one not
    // drawn). A fading step that leaves them all as they were changes no pixel of an 8-bit
    // picture, so it need not be drawn.
    static void appendDrawnLevels(const PowerTraceLists& set, std::vector<uint8_t>& out);

    // Fractional point index under view x, for `count` points drawn at firstX + i * spacing,
    // clamped to [0, count - 1]; -1 when there is nothing to sample (fewer than 2 points, a
    // spacing that is not positive, or a non-finite x).
    static float pointUnder(float x, float firstX, float spacing, size_t count);

    // y of the list at a fractional point index (linear between the neighbours).
    static float valueAt(const std::vector<float>& vertices, float index);
};
