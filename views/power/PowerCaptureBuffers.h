#pragma once

#include <cstddef>
#include <vector>

#include "engine/base/Types.h"
#include "engine/renderer/PositionBuffer.h"

// The persistent captures of one trace set as vertex buffers of drawn positions. A capture's
// buffer is built the first time it is drawn and kept over its fading life, so a fading step
// changes only the colour uniform: no capture is mapped or uploaded again. The buffers are
// rebuilt only when the mapping (the layer's width, the level axis) changes. Main thread, with
// the context current.
class PowerCaptureBuffers {
  public:
    // Where a list's points are drawn: x = i * width / (count - 1), y = level * scaleY - base.
    struct Mapping {
        float width = 0.0f;
        float scaleY = 0.0f;
        float base = 0.0f;
        bool operator==(const Mapping& other) const;
    };

    // Maps `count` points of an interleaved (x, level) list from point `first` to drawn
    // positions at firstX + i * spacing; every trace the layer draws goes through here, so a
    // kept buffer holds exactly the floats a list mapped at drawing time would.
    static void mapPoints(const std::vector<float>& vertices, size_t first, size_t count,
                          float firstX, float spacing, float scaleY, float base,
                          std::vector<engine::Vec2>& out);

    // Brings the buffers in step with the vertex lists, oldest first: a list keeps its buffer
    // while its bytes are unchanged (captures leave at the old end and arrive at the new one),
    // the others are built.
    void sync(const std::vector<std::vector<float>>& lists, const Mapping& mapping);
    // Draws the buffer of list `index` of the last sync with the program in use.
    void draw(size_t index, unsigned int mode) const;
    // How many buffers were built since creation (tests count them).
    size_t getBuildCount() const { return builds_; }
    void clear() { entries_.clear(); }

  private:
    struct Entry {
        std::vector<float> source;  // the list the buffer was built from
        engine::PositionBuffer buffer;
    };

    static bool sameBytes(const std::vector<float>& a, const std::vector<float>& b);
    Entry build(const std::vector<float>& list);

    std::vector<Entry> entries_;
    Mapping mapping_;
    std::vector<engine::Vec2> points_;  // reused across builds
    size_t builds_ = 0;
};
