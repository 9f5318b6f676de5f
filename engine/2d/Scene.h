#pragma once

#include "engine/2d/Node.h"

namespace engine {

// The root of what is on screen; sized to the visible area when initialised.
class Scene : public Node {
  public:
    CREATE_FUNC(Scene)
    bool init() override;

  protected:
    Scene();
};

}  // namespace engine
