#pragma once

#include "engine/renderer/Renderer.h"

namespace engine {

// Shows a part of the back buffer in the window without swapping (GLX_MESA_copy_sub_buffer), so
// the back buffer keeps the whole picture and the next frame redraws only what changed, in
// place. Only with a software rasteriser: there a swap is itself a copy of the whole buffer and a
// copy from an offscreen canvas costs as much again; a GPU does both for next to nothing.
class SubBufferPresenter {
  public:
    // Whether the current context can present this way; remembers how.
    bool init();
    bool isAvailable() const { return _copy != nullptr; }
    // Copies box (window pixels, origin bottom-left) of the back buffer to the window.
    void present(const PixelBox& box) const;

  private:
    using CopySubBuffer = void (*)(void* display, unsigned long drawable, int x, int y, int width,
                                   int height);
    CopySubBuffer _copy = nullptr;
    void* _display = nullptr;
    unsigned long _drawable = 0;
};

}  // namespace engine
