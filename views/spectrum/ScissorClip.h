#pragma once

#include "engine/base/Types.h"
#include "engine/renderer/CustomCommand.h"

namespace engine {
class Renderer;
}

// The pair of render commands that clip a layer's children to the layer's rectangle: the first
// enables the scissor test for the rectangle (in design points, converted by the GL view), the
// second disables it. A layer queues begin() before its normal visit and end() after it, both
// at its global Z order, so that nothing it draws can leave its rectangle.
class ScissorClip {
  public:
    void begin(engine::Renderer* renderer, float globalZOrder, const engine::Rect& rect);
    void end(engine::Renderer* renderer, float globalZOrder);

  private:
    engine::CustomCommand begin_;
    engine::CustomCommand end_;
};
