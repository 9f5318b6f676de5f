#include "engine/renderer/DamageRegion.h"

#include <algorithm>
#include <cmath>

namespace engine {

void DamageRegion::add(const Rect& rect) {
    const float w = rect.size.width;
    const float h = rect.size.height;
    // A rectangle that is not a number or unbounded says nothing about where the change is.
    if (!std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) || !std::isfinite(w) ||
        !std::isfinite(h)) {
        _all = true;
        return;
    }
    if (w <= 0 || h <= 0)
        return;
    if (_empty) {
        _bounds = rect;
        _empty = false;
        return;
    }
    const float x0 = std::min(_bounds.origin.x, rect.origin.x);
    const float y0 = std::min(_bounds.origin.y, rect.origin.y);
    const float x1 = std::max(_bounds.origin.x + _bounds.size.width, rect.origin.x + w);
    const float y1 = std::max(_bounds.origin.y + _bounds.size.height, rect.origin.y + h);
    _bounds = Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace engine
