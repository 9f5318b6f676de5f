#include "views/power/PowerTraceExtent.h"

#include <algorithm>
#include <cmath>

void PowerTraceExtent::addLevels(const std::vector<float>& vertices, size_t first, size_t count) {
    const size_t end = std::min(vertices.size() / 2, first + count);
    for (size_t i = first; i < end; ++i) {
        const float level = vertices[2 * i + 1];
        if (std::isnan(level)) {
            continue;
        }
        if (!(lowLevel_ <= highLevel_)) {
            lowLevel_ = highLevel_ = level;
            continue;
        }
        lowLevel_ = std::min(lowLevel_, level);
        highLevel_ = std::max(highLevel_, level);
    }
}

void PowerTraceExtent::addSpan(float fromX, float toX) {
    if (std::isnan(fromX) || std::isnan(toX)) {
        return;
    }
    const float low = std::min(fromX, toX);
    const float high = std::max(fromX, toX);
    if (!(lowX_ <= highX_)) {
        lowX_ = low;
        highX_ = high;
        return;
    }
    lowX_ = std::min(lowX_, low);
    highX_ = std::max(highX_, high);
}

engine::Rect PowerTraceExtent::placed(float scale, float shift, float width, float scaleY,
                                      float base, float offset, float pad,
                                      const engine::Rect& clip) const {
    if (empty()) {
        return engine::Rect();
    }
    auto placeX = [&](float x) { return (x + shift - width / 2.0f) * scale + width / 2.0f; };
    auto placeY = [&](float level) { return level * scaleY - base + offset; };
    float x0 = std::min(placeX(lowX_), placeX(highX_)) - pad;
    float x1 = std::max(placeX(lowX_), placeX(highX_)) + pad;
    float y0 = std::min(placeY(lowLevel_), placeY(highLevel_)) - pad;
    float y1 = std::max(placeY(lowLevel_), placeY(highLevel_)) + pad;
    // Infinite or unplaceable edges reach as far as the clip does.
    if (std::isnan(x0) || std::isnan(x1) || std::isnan(y0) || std::isnan(y1)) {
        return clip;
    }
    x0 = std::max(x0, clip.getMinX());
    y0 = std::max(y0, clip.getMinY());
    x1 = std::min(x1, clip.getMaxX());
    y1 = std::min(y1, clip.getMaxY());
    if (!(x0 < x1) || !(y0 < y1)) {
        return engine::Rect();
    }
    return engine::Rect(x0, y0, x1 - x0, y1 - y0);
}
