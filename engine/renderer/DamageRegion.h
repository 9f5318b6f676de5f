#pragma once

#include "engine/base/Types.h"

namespace engine {

// What changed on screen since the last drawn frame, in design points: either everything or the
// bounding rectangle of the parts that changed. One rectangle, because one scissor box is what
// the rasteriser can skip by; a change in the plot and one in the bar make it span both.
class DamageRegion {
  public:
    void addAll() { _all = true; }
    void add(const Rect& rect);
    void reset() {
        _all = false;
        _empty = true;
        _bounds = Rect();
    }

    bool isAll() const { return _all; }
    bool isEmpty() const { return !_all && _empty; }
    // The union of the added rectangles; meaningless when isAll() or isEmpty().
    const Rect& getBounds() const { return _bounds; }

  private:
    bool _all = false;
    bool _empty = true;
    Rect _bounds;
};

}  // namespace engine
