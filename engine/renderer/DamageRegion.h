#pragma once

#include <array>
#include <vector>

#include "engine/base/Types.h"

namespace engine {

// What changed on screen since the last drawn frame, in design points: either everything or a
// few rectangles. The frame is cut into vertical strips, and each strip keeps the bounding box
// of what changed inside it: a trace that moves across the plot damages, in each strip, only the
// height it spans there, not the height of its whole path. getRects() joins neighbouring strips
// where that adds little area, for every rectangle costs a pass over the frame's commands.
class DamageRegion {
  public:
    static constexpr float kStripWidth = 32.f;
    static constexpr int kStrips = 256;  // strips past the last one all fall into it

    void addAll() { _all = true; }
    void add(const Rect& rect);
    void reset();

    bool isAll() const { return _all; }
    bool isEmpty() const { return !_all && _empty; }
    // The union of the added rectangles; meaningless when isAll() or isEmpty().
    const Rect& getBounds() const { return _bounds; }
    // Disjoint rectangles that hold every added one, left to right; at most maxRects (one: the
    // bounds). slack is the area (square points) one more rectangle is worth.
    std::vector<Rect> getRects(size_t maxRects, float slack) const;

  private:
    struct Strip {
        float x0, y0, x1, y1;
        bool used = false;
    };
    static int stripOf(float x);

    bool _all = false;
    bool _empty = true;
    Rect _bounds;
    int _low = kStrips;  // the used strips lie in [_low, _high]
    int _high = -1;
    std::array<Strip, kStrips> _strips{};
};

}  // namespace engine
