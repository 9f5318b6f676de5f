#include "engine/platform/GLViewImpl.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <cmath>
#include <cstdio>

#include "engine/base/Director.h"
#include "engine/platform/Application.h"
#include "engine/platform/SdlKeyTable.h"

namespace engine {

GLViewImpl* GLViewImpl::create(const std::string& title) {
    return createWithRect(title, Rect(0, 0, 960, 640), 1.0f);
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& title, const Rect& rect,
                                       float frameZoomFactor) {
    auto* view = new GLViewImpl();
    if (view->initWithRect(title, rect, frameZoomFactor)) {
        view->autorelease();
        return view;
    }
    delete view;
    return nullptr;
}

GLViewImpl::~GLViewImpl() {
    GLViewImpl::end();
}

bool GLViewImpl::initWithRect(const std::string& title, const Rect& rect, float frameZoomFactor) {
    // Touches must not also arrive as mouse clicks: the mouse is a touch of its own.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "GLView: SDL video: %s\n", SDL_GetError());
        return false;
    }
    _ownsVideo = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const GLContextAttrs attrs = getGLContextAttrs();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, attrs.redBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, attrs.greenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, attrs.blueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, attrs.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, attrs.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, attrs.stencilBits);

    _frameZoomFactor = frameZoomFactor > 0 ? frameZoomFactor : 1;
    int w = static_cast<int>(std::lround(rect.size.width * _frameZoomFactor));
    int h = static_cast<int>(std::lround(rect.size.height * _frameZoomFactor));
    _window = SDL_CreateWindow(
        title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
        SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SHOWN);
    if (!_window) {
        std::fprintf(stderr, "GLView: window: %s\n", SDL_GetError());
        return false;
    }
    _context = SDL_GL_CreateContext(_window);
    if (!_context) {
        std::fprintf(stderr, "GLView: GL 3.3 core context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(_window, _context);
    // Frames are paced by the application loop, not by waiting for the display.
    SDL_GL_SetSwapInterval(0);

    glewExperimental = GL_TRUE;
    GLenum status = glewInit();
    // Debian's GLEW is built for GLX; on an EGL context (the offscreen driver) it reports
    // GLEW_ERROR_NO_GLX_DISPLAY although every entry point has been loaded.
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        std::fprintf(stderr, "GLView: glewInit: %s\n", glewGetErrorString(status));
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    if (!glGenVertexArrays || !glCreateShader) {
        std::fprintf(stderr, "GLView: OpenGL 3.3 entry points missing\n");
        return false;
    }

    SDL_GetWindowSize(_window, &w, &h);
    _frameSize = Size(static_cast<float>(w), static_cast<float>(h));
    _designSize = Size(_frameSize.width / _frameZoomFactor, _frameSize.height / _frameZoomFactor);
    updateDesignResolution();
    return true;
}

void GLViewImpl::end() {
    GLView::end();
    if (_context) {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(_context));
        _context = nullptr;
    }
    if (_window) {
        SDL_DestroyWindow(_window);
        _window = nullptr;
    }
    if (_ownsVideo) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        _ownsVideo = false;
    }
}

void GLViewImpl::swapBuffers() {
    if (_window)
        SDL_GL_SwapWindow(_window);
}

void GLViewImpl::pollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
}

void GLViewImpl::setFrameSize(float width, float height) {
    if (_window) {
        SDL_SetWindowSize(_window, static_cast<int>(width), static_cast<int>(height));
    }
    GLView::setFrameSize(width, height);
}

void GLViewImpl::refreshRetinaFactor() {
    if (!_window)
        return;
    int pw = 0, ph = 0, ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(_window, &pw, &ph);
    SDL_GetWindowSize(_window, &ww, &wh);
    _retinaFactor = ww > 0 ? static_cast<float>(pw) / static_cast<float>(ww) : 1.f;
}

void GLViewImpl::cancelAllTouches() {
    GLView::cancelAllTouches();
    _fingerIds.clear();
    _mouseDown = false;
}

void GLViewImpl::handleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            _shouldClose = true;
            break;
        case SDL_WINDOWEVENT:
            handleWindowEvent(event);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION:
            handleMouse(event);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            handleFinger(event);
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(event);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.key.repeat)
                break;
            handleKey(keyCodeForSdlKey(event.key.keysym.sym), event.type == SDL_KEYDOWN,
                      event.key.keysym.sym, modifiersForSdlState(event.key.keysym.mod));
            break;
        default:
            break;
    }
}

void GLViewImpl::handleWindowEvent(const SDL_Event& event) {
    switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The window system may have discarded what was on screen.
            Director::markStale();
            break;
        default:
            break;
    }
    if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        handleFrameResized(static_cast<float>(event.window.data1),
                           static_cast<float>(event.window.data2));
    } else if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
        if (Application* app = Application::getInstance()) {
            app->applicationDidEnterBackground();
        }
    } else if (event.window.event == SDL_WINDOWEVENT_RESTORED) {
        if (Application* app = Application::getInstance()) {
            app->applicationWillEnterForeground();
        }
    } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        cancelAllTouches();
    } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        _shouldClose = true;
    }
}

void GLViewImpl::handleMouse(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION ? event.motion.which == SDL_TOUCH_MOUSEID
                                      : event.button.which == SDL_TOUCH_MOUSEID) {
        return;  // already delivered as a finger
    }
    const intptr_t id = 0;
    if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
        float x = static_cast<float>(event.button.x), y = static_cast<float>(event.button.y);
        _mouseDown = true;
        handleTouchesBegin(1, &id, &x, &y);
    } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
        float x = static_cast<float>(event.button.x), y = static_cast<float>(event.button.y);
        if (_mouseDown)
            handleTouchesEnd(1, &id, &x, &y);
        _mouseDown = false;
    } else if (event.type == SDL_MOUSEMOTION) {
        float x = static_cast<float>(event.motion.x), y = static_cast<float>(event.motion.y);
        if (_mouseDown)
            handleTouchesMove(1, &id, &x, &y);
        handlePointerMoved(x, y, modifiersForSdlState(SDL_GetModState()));
    }
}

void GLViewImpl::handleFinger(const SDL_Event& event) {
    float x = event.tfinger.x * _frameSize.width;
    float y = event.tfinger.y * _frameSize.height;
    auto it = _fingerIds.find(event.tfinger.fingerId);
    if (event.type == SDL_FINGERDOWN) {
        if (it != _fingerIds.end())
            return;
        intptr_t id = _nextFingerId++;
        _fingerIds.emplace(event.tfinger.fingerId, id);
        handleTouchesBegin(1, &id, &x, &y);
    } else if (it != _fingerIds.end()) {
        intptr_t id = it->second;
        if (event.type == SDL_FINGERMOTION) {
            handleTouchesMove(1, &id, &x, &y);
        } else {
            _fingerIds.erase(it);
            handleTouchesEnd(1, &id, &x, &y);
        }
    }
}

void GLViewImpl::handleWheel(const SDL_Event& event) {
    if (event.wheel.which == SDL_TOUCH_MOUSEID)
        return;
    const float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.f : 1.f;
    handleScroll(static_cast<float>(event.wheel.mouseX), static_cast<float>(event.wheel.mouseY),
                 static_cast<float>(event.wheel.x) * flip, static_cast<float>(event.wheel.y) * flip,
                 modifiersForSdlState(SDL_GetModState()));
}

}  // namespace engine
