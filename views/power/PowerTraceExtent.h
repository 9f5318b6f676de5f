#pragma once

#include <cstddef>
#include <vector>

#include "engine/base/Types.h"

// The rectangle a power trace set covers on screen, gathered from its vertex lists. A new
// capture or a fading step then redraws the rows the traces occupy, not the whole plot: under a
// software renderer each pixel of a drawn frame costs, and every layer of the plot is drawn again
// wherever the frame is redrawn.
class PowerTraceExtent {
  public:
    // Levels (the y of an interleaved (x, y) list) of `count` points from `first`; values that
    // are not numbers draw nothing and are skipped.
    void addLevels(const std::vector<float>& vertices, size_t first, size_t count);
    // The horizontal span the points are drawn over, before placement.
    void addSpan(float fromX, float toX);
    bool empty() const { return !(lowX_ <= highX_) || !(lowLevel_ <= highLevel_); }

    // In layer space: x placed as (x + shift - width / 2) * scale + width / 2, a level as
    // level * scaleY - base + offset; widened by `pad` on every side (line width, point size,
    // rounding) and cut to `clip`. Empty (zero size) when nothing was added.
    engine::Rect placed(float scale, float shift, float width, float scaleY, float base,
                        float offset, float pad, const engine::Rect& clip) const;

  private:
    float lowX_ = 1.0f;
    float highX_ = 0.0f;
    float lowLevel_ = 1.0f;
    float highLevel_ = 0.0f;
};
