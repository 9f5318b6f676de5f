#pragma once

#include <cstdint>

#include "engine/2d/Node.h"
#include "engine/platform/Image.h"
#include "engine/renderer/CustomCommand.h"

namespace gltest {

// Reads each frame it is given an image for back at the end of drawing it: a screen capture
// draws its frame whole, this sees the frame as its damage drew it. Put it above everything.
class FrameReader : public engine::Node {
  public:
    static FrameReader* create();
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    engine::Image* image = nullptr;

  private:
    engine::CustomCommand command_;
};

}  // namespace gltest
