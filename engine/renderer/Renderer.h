#pragma once

#include <cstddef>
#include <vector>

#include "engine/base/Types.h"

namespace engine {

class RenderCommand;

// Collects the commands of one frame and runs them in global-Z order; commands with the same
// global Z keep the order in which the visit queued them.
class Renderer {
  public:
    void addCommand(RenderCommand* command);
    void clear(const Color4F& color);
    void render();
    size_t getCommandCount() const { return _queue.size(); }
    // Draw calls issued by the last render(); for the benchmark and tests.
    size_t getDrawnBatches() const { return _drawnBatches; }

  private:
    std::vector<RenderCommand*> _queue;
    size_t _drawnBatches = 0;
};

}  // namespace engine
