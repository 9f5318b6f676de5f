#pragma once

#include "engine/base/Types.h"

namespace engine {

// 2D positions kept in a vertex buffer of their own, for geometry drawn many times unchanged
// (attribute 0 only, like GL::drawPositions, whose shared streaming buffer it leaves alone).
// Main thread, with the context current; the GL objects are deleted while the director still
// has its view, and are the context's to free after that.
class PositionBuffer {
  public:
    PositionBuffer() = default;
    PositionBuffer(const PositionBuffer&) = delete;
    PositionBuffer& operator=(const PositionBuffer&) = delete;
    PositionBuffer(PositionBuffer&& other) noexcept;
    PositionBuffer& operator=(PositionBuffer&& other) noexcept;
    ~PositionBuffer();

    // Replaces the buffer's positions; false (and nothing to draw) when GL gives no buffer.
    bool upload(const Vec2* points, int count);
    // Draws the positions with the program in use; nothing when there are none.
    void draw(unsigned int mode) const;
    int getCount() const { return _count; }
    void release();

  private:
    unsigned int _vao = 0;
    unsigned int _vbo = 0;
    int _count = 0;
};

}  // namespace engine
