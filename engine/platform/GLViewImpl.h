#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/platform/GLView.h"

struct SDL_Window;

namespace engine {

// The desktop window (SDL2): opens the window and its OpenGL 3.3 core context (GLEW), runs the
// SDL event loop, and turns SDL's mouse, finger, wheel, key and window events into GLView input
// and application life-cycle calls. The mouse is touch 0; fingers get touch ids from 1.
class GLViewImpl : public GLView {
  public:
    static GLViewImpl* create(const std::string& title);
    static GLViewImpl* createWithRect(const std::string& title, const Rect& rect,
                                      float frameZoomFactor = 1.0f);

    ~GLViewImpl() override;

    // Opens a resizable window of rect.size points (times the zoom factor).
    bool initWithRect(const std::string& title, const Rect& rect, float frameZoomFactor);
    void end() override;
    bool isOpenGLReady() const override { return _context != nullptr; }
    void pollEvents() override;
    void swapBuffers() override;
    void handleEvent(const SDL_Event& event) override;
    void setFrameSize(float width, float height) override;
    void cancelAllTouches() override;

  protected:
    GLViewImpl() = default;
    void refreshRetinaFactor() override;

  private:
    void handleWindowEvent(const SDL_Event& event);
    void handleMouse(const SDL_Event& event);
    void handleFinger(const SDL_Event& event);
    void handleWheel(const SDL_Event& event);

    SDL_Window* _window = nullptr;
    void* _context = nullptr;
    bool _ownsVideo = false;
    std::map<int64_t, intptr_t> _fingerIds;
    intptr_t _nextFingerId = 1;
    bool _mouseDown = false;
};

}  // namespace engine
