#pragma once

#include "engine/2d/Node.h"

namespace engine {

// A full-screen node placed by its bottom-left corner; the base of every view layer.
class Layer : public Node {
  public:
    CREATE_FUNC(Layer)
    bool init() override;

  protected:
    Layer();
};

}  // namespace engine
