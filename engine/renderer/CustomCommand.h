#pragma once

#include <functional>

#include "engine/renderer/RenderCommand.h"

namespace engine {

// Runs func when the renderer reaches it; for raw GL and for scissor on/off around children.
class CustomCommand : public RenderCommand {
  public:
    CustomCommand() : RenderCommand(Type::CUSTOM) {}
    void init(float globalZOrder) { _globalOrder = globalZOrder; }
    void execute() const {
        if (func)
            func();
    }

    std::function<void()> func;
};

}  // namespace engine
