#include "engine/renderer/SubBufferPresenter.h"

#include <GL/glew.h>

#include <GL/glx.h>

#include <cstring>

namespace engine {

bool SubBufferPresenter::init() {
    _copy = nullptr;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!renderer || (!std::strstr(renderer, "llvmpipe") && !std::strstr(renderer, "softpipe")))
        return false;
    // No GLX context (an EGL one: SDL's offscreen driver, Wayland): the canvas serves instead.
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable)
        return false;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (!extensions || !std::strstr(extensions, "GLX_MESA_copy_sub_buffer"))
        return false;
    auto* copy = glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA"));
    if (!copy)
        return false;
    _copy = reinterpret_cast<CopySubBuffer>(copy);
    _display = display;
    _drawable = drawable;
    return true;
}

void SubBufferPresenter::present(const PixelBox& box) const {
    if (_copy && box.width > 0 && box.height > 0)
        _copy(_display, _drawable, box.x, box.y, box.width, box.height);
}

}  // namespace engine
