#pragma once

#include <string>

#include "engine/platform/GLView.h"

namespace engine {

// The desktop window: construction helpers over GLView.
class GLViewImpl : public GLView {
  public:
    static GLViewImpl* create(const std::string& title);
    static GLViewImpl* createWithRect(const std::string& title, const Rect& rect,
                                      float frameZoomFactor = 1.0f);

  protected:
    GLViewImpl() = default;
};

}  // namespace engine
