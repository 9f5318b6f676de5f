#include "engine/renderer/DamageRegion.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

struct Box {
    float x0, y0, x1, y1;
    float area() const { return (x1 - x0) * (y1 - y0); }
};

Box unite(const Box& a, const Box& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

}  // namespace

int DamageRegion::stripOf(float x) {
    const float strip = std::floor(x / kStripWidth);
    return static_cast<int>(std::clamp(strip, 0.f, static_cast<float>(kStrips - 1)));
}

void DamageRegion::reset() {
    _all = false;
    _empty = true;
    _bounds = Rect();
    for (int i = _low; i <= _high; ++i)
        _strips[i].used = false;
    _low = kStrips;
    _high = -1;
}

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
    const float x0 = rect.origin.x;
    const float y0 = rect.origin.y;
    const float x1 = x0 + w;
    const float y1 = y0 + h;
    if (_empty) {
        _bounds = rect;
        _empty = false;
    } else {
        const float bx0 = std::min(_bounds.getMinX(), x0);
        const float by0 = std::min(_bounds.getMinY(), y0);
        _bounds = Rect(bx0, by0, std::max(_bounds.getMaxX(), x1) - bx0,
                       std::max(_bounds.getMaxY(), y1) - by0);
    }
    const int first = stripOf(x0);
    const int last = stripOf(x1);
    _low = std::min(_low, first);
    _high = std::max(_high, last);
    for (int i = first; i <= last; ++i) {
        // The part of the rectangle inside the strip; the outer strips hold what lies beyond.
        const float left = i == first ? x0 : static_cast<float>(i) * kStripWidth;
        const float right = i == last ? x1 : static_cast<float>(i + 1) * kStripWidth;
        Strip& s = _strips[i];
        if (!s.used) {
            s = {left, y0, right, y1, true};
            continue;
        }
        s.x0 = std::min(s.x0, left);
        s.y0 = std::min(s.y0, y0);
        s.x1 = std::max(s.x1, right);
        s.y1 = std::max(s.y1, y1);
    }
}

std::vector<Rect> DamageRegion::getRects(size_t maxRects, float slack) const {
    std::vector<Rect> rects;
    if (_all || _empty)
        return rects;
    if (maxRects <= 1) {
        rects.push_back(_bounds);
        return rects;
    }
    std::vector<Box> boxes;
    for (int i = _low; i <= _high; ++i) {
        const Strip& s = _strips[i];
        if (s.used)
            boxes.push_back({s.x0, s.y0, s.x1, s.y1});
    }
    // Join the neighbours whose union adds the least area, while that is less than another
    // rectangle costs or there are too many. Neighbours only: the boxes stay disjoint.
    while (boxes.size() > 1) {
        size_t best = 0;
        float bestCost = 0;
        for (size_t i = 0; i + 1 < boxes.size(); ++i) {
            const float cost =
                unite(boxes[i], boxes[i + 1]).area() - boxes[i].area() - boxes[i + 1].area();
            if (i == 0 || cost < bestCost) {
                best = i;
                bestCost = cost;
            }
        }
        if (bestCost >= slack && boxes.size() <= maxRects)
            break;
        boxes[best] = unite(boxes[best], boxes[best + 1]);
        boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(best) + 1);
    }
    rects.reserve(boxes.size());
    for (const Box& b : boxes)
        rects.emplace_back(b.x0, b.y0, b.x1 - b.x0, b.y1 - b.y0);
    return rects;
}

}  // namespace engine
