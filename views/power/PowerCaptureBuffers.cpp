#include "views/power/PowerCaptureBuffers.h"

#include <cstring>

bool PowerCaptureBuffers::Mapping::operator==(const Mapping& other) const {
    // By bytes: a NaN mapping is one, and a changed one never matches by accident.
    return std::memcmp(this, &other, sizeof(Mapping)) == 0;
}

void PowerCaptureBuffers::mapPoints(const std::vector<float>& vertices, size_t first, size_t count,
                                    float firstX, float spacing, float scaleY, float base,
                                    std::vector<engine::Vec2>& out) {
    if (out.size() < count) {
        out.resize(count);
    }
    for (size_t i = 0; i < count; ++i) {
        out[i] = engine::Vec2(firstX + static_cast<float>(i) * spacing,
                              vertices[2 * (first + i) + 1] * scaleY - base);
    }
}

bool PowerCaptureBuffers::sameBytes(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

PowerCaptureBuffers::Entry PowerCaptureBuffers::build(const std::vector<float>& list) {
    Entry entry;
    entry.source = list;
    const size_t count = list.size() / 2;
    if (count >= 2) {
        const float spacing = mapping_.width / static_cast<float>(count - 1);
        mapPoints(list, 0, count, 0.0f, spacing, mapping_.scaleY, mapping_.base, points_);
        entry.buffer.upload(points_.data(), static_cast<int>(count));
    }
    ++builds_;
    return entry;
}

void PowerCaptureBuffers::sync(const std::vector<std::vector<float>>& lists,
                               const Mapping& mapping) {
    if (!(mapping == mapping_)) {
        entries_.clear();
        mapping_ = mapping;
    }
    std::vector<Entry> kept;
    kept.reserve(lists.size());
    size_t next = 0;  // the oldest entry not yet passed
    for (const std::vector<float>& list : lists) {
        size_t found = next;
        while (found < entries_.size() && !sameBytes(entries_[found].source, list)) {
            ++found;
        }
        if (found < entries_.size()) {
            kept.push_back(std::move(entries_[found]));
            next = found + 1;
        } else {
            kept.push_back(build(list));
        }
    }
    entries_ = std::move(kept);
}

void PowerCaptureBuffers::draw(size_t index, unsigned int mode) const {
    if (index < entries_.size()) {
        entries_[index].buffer.draw(mode);
    }
}
