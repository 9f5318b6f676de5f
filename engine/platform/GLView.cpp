#include "engine/platform/GLView.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/base/EventMouse.h"
#include "engine/base/Touch.h"
#include "engine/platform/Application.h"

namespace engine {

static GLContextAttrs s_contextAttrs;

void GLView::setGLContextAttrs(const GLContextAttrs& attrs) {
    s_contextAttrs = attrs;
}
GLContextAttrs GLView::getGLContextAttrs() {
    return s_contextAttrs;
}

GLView::~GLView() {
    end();
}

bool GLView::initWithRect(const std::string& title, const Rect& rect, float frameZoomFactor) {
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
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, s_contextAttrs.redBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, s_contextAttrs.greenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, s_contextAttrs.blueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, s_contextAttrs.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, s_contextAttrs.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, s_contextAttrs.stencilBits);

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

void GLView::end() {
    for (auto& [id, touch] : _touches)
        touch->release();
    _touches.clear();
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

void GLView::swapBuffers() {
    if (_window)
        SDL_GL_SwapWindow(_window);
}

void GLView::pollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
}

void GLView::setFrameSize(float width, float height) {
    _frameSize = Size(width, height);
    if (_window) {
        SDL_SetWindowSize(_window, static_cast<int>(width), static_cast<int>(height));
    }
    updateDesignResolution();
    _sizeChanged = true;
}

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    if (policy != ResolutionPolicy::UNKNOWN && (width <= 0 || height <= 0))
        return;
    _designSize = Size(width, height);
    _policy = policy;
    updateDesignResolution();
    _sizeChanged = true;
}

void GLView::updateDesignResolution() {
    if (_window) {
        int pw = 0, ph = 0, ww = 0, wh = 0;
        SDL_GL_GetDrawableSize(_window, &pw, &ph);
        SDL_GetWindowSize(_window, &ww, &wh);
        _retinaFactor = ww > 0 ? static_cast<float>(pw) / static_cast<float>(ww) : 1.f;
    }
    if (_policy == ResolutionPolicy::UNKNOWN) {
        _designSize =
            Size(_frameSize.width / _frameZoomFactor, _frameSize.height / _frameZoomFactor);
    }
    if (_designSize.width <= 0 || _designSize.height <= 0)
        return;
    _scaleX = _frameSize.width / _designSize.width;
    _scaleY = _frameSize.height / _designSize.height;
    if (_policy == ResolutionPolicy::SHOW_ALL)
        _scaleX = _scaleY = std::min(_scaleX, _scaleY);
    if (_policy == ResolutionPolicy::NO_BORDER)
        _scaleX = _scaleY = std::max(_scaleX, _scaleY);
    float vw = _designSize.width * _scaleX;
    float vh = _designSize.height * _scaleY;
    _viewport = Rect((_frameSize.width - vw) / 2, (_frameSize.height - vh) / 2, vw, vh);
}

Size GLView::getVisibleSize() const {
    if (_policy == ResolutionPolicy::NO_BORDER) {
        return Size(_frameSize.width / _scaleX, _frameSize.height / _scaleY);
    }
    return _designSize;
}

Vec2 GLView::getVisibleOrigin() const {
    if (_policy == ResolutionPolicy::NO_BORDER) {
        Size visible = getVisibleSize();
        return Vec2((_designSize.width - visible.width) / 2,
                    (_designSize.height - visible.height) / 2);
    }
    return Vec2();
}

void GLView::setViewPortInPoints(float x, float y, float w, float h) {
    float r = _retinaFactor;
    glViewport(static_cast<GLint>(std::lround((x * _scaleX + _viewport.origin.x) * r)),
               static_cast<GLint>(std::lround((y * _scaleY + _viewport.origin.y) * r)),
               static_cast<GLsizei>(std::lround(w * _scaleX * r)),
               static_cast<GLsizei>(std::lround(h * _scaleY * r)));
}

void GLView::setScissorInPoints(float x, float y, float w, float h) {
    float r = _retinaFactor;
    // Round the edges, not origin and size separately, so neighbouring rectangles tile.
    long x0 = std::lround((x * _scaleX + _viewport.origin.x) * r);
    long y0 = std::lround((y * _scaleY + _viewport.origin.y) * r);
    long x1 = std::lround(((x + w) * _scaleX + _viewport.origin.x) * r);
    long y1 = std::lround(((y + h) * _scaleY + _viewport.origin.y) * r);
    glScissor(static_cast<GLint>(x0), static_cast<GLint>(y0),
              static_cast<GLsizei>(std::max(0L, x1 - x0)),
              static_cast<GLsizei>(std::max(0L, y1 - y0)));
}

bool GLView::isScissorEnabled() const {
    return glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
}

Rect GLView::getScissorRect() const {
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    float r = _retinaFactor;
    return Rect((box[0] / r - _viewport.origin.x) / _scaleX,
                (box[1] / r - _viewport.origin.y) / _scaleY, box[2] / r / _scaleX,
                box[3] / r / _scaleY);
}

bool GLView::checkAndResetSizeChanged() {
    bool changed = _sizeChanged;
    _sizeChanged = false;
    return changed;
}

Vec2 GLView::windowToDesign(float x, float y) const {
    return Vec2((x - _viewport.origin.x) / _scaleX,
                (_frameSize.height - y - _viewport.origin.y) / _scaleY);
}

void GLView::handleTouches(Phase phase, int num, const intptr_t ids[], const float xs[],
                           const float ys[]) {
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    for (int i = 0; i < num; ++i) {
        intptr_t id = ids[i];
        auto it = _touches.find(id);
        if (phase == Phase::BEGIN) {
            if (it != _touches.end())
                continue;  // a second "down" for a finger already down
            auto* touch = new Touch();
            _touches.emplace(id, touch);
            touch->setTouchInfo(static_cast<int>(id), windowToDesign(xs[i], ys[i]),
                                Vec2(xs[i], ys[i]));
            dispatcher->dispatchTouchBegan(touch);
            continue;
        }
        if (it == _touches.end())
            continue;
        Touch* touch = it->second;
        touch->setTouchInfo(static_cast<int>(id), windowToDesign(xs[i], ys[i]), Vec2(xs[i], ys[i]));
        if (phase == Phase::MOVE) {
            dispatcher->dispatchTouchMoved(touch);
        } else {
            _touches.erase(it);
            if (phase == Phase::END) {
                dispatcher->dispatchTouchEnded(touch);
            } else {
                dispatcher->dispatchTouchCancelled(touch);
            }
            touch->release();
        }
    }
}

void GLView::handleTouchesBegin(int num, const intptr_t ids[], const float xs[], const float ys[]) {
    handleTouches(Phase::BEGIN, num, ids, xs, ys);
}
void GLView::handleTouchesMove(int num, const intptr_t ids[], const float xs[], const float ys[]) {
    handleTouches(Phase::MOVE, num, ids, xs, ys);
}
void GLView::handleTouchesEnd(int num, const intptr_t ids[], const float xs[], const float ys[]) {
    handleTouches(Phase::END, num, ids, xs, ys);
}
void GLView::handleTouchesCancel(int num, const intptr_t ids[], const float xs[],
                                 const float ys[]) {
    handleTouches(Phase::CANCEL, num, ids, xs, ys);
}

void GLView::cancelAllTouches() {
    std::vector<intptr_t> ids;
    std::vector<float> xs, ys;
    for (const auto& [id, touch] : _touches) {
        ids.push_back(id);
        xs.push_back(touch->getLocationInView().x);
        ys.push_back(touch->getLocationInView().y);
    }
    handleTouchesCancel(static_cast<int>(ids.size()), ids.data(), xs.data(), ys.data());
    _fingerIds.clear();
    _mouseDown = false;
}

static int modifiersOf(uint16_t mod) {
    int bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= EventKeyboard::kShift;
    if (mod & KMOD_CTRL)
        bits |= EventKeyboard::kCtrl;
    if (mod & KMOD_ALT)
        bits |= EventKeyboard::kAlt;
    return bits;
}

static EventKeyboard::KeyCode keyCodeFor(SDL_Keycode key) {
    using K = EventKeyboard::KeyCode;
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<K>(static_cast<int>(K::KEY_A) + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<K>(static_cast<int>(K::KEY_0) + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<K>(static_cast<int>(K::KEY_F1) + (key - SDLK_F1));
    }
    switch (key) {
        case SDLK_ESCAPE:
            return K::KEY_ESCAPE;
        case SDLK_BACKSPACE:
            return K::KEY_BACKSPACE;
        case SDLK_TAB:
            return K::KEY_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return K::KEY_ENTER;
        case SDLK_SPACE:
            return K::KEY_SPACE;
        case SDLK_LEFT:
            return K::KEY_LEFT_ARROW;
        case SDLK_RIGHT:
            return K::KEY_RIGHT_ARROW;
        case SDLK_UP:
            return K::KEY_UP_ARROW;
        case SDLK_DOWN:
            return K::KEY_DOWN_ARROW;
        case SDLK_PAGEUP:
            return K::KEY_PG_UP;
        case SDLK_PAGEDOWN:
            return K::KEY_PG_DOWN;
        case SDLK_HOME:
            return K::KEY_HOME;
        case SDLK_END:
            return K::KEY_END;
        case SDLK_DELETE:
            return K::KEY_DELETE;
        case SDLK_PLUS:
        case SDLK_KP_PLUS:
        case SDLK_EQUALS:
            return K::KEY_PLUS;
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            return K::KEY_MINUS;
        case SDLK_COMMA:
            return K::KEY_COMMA;
        case SDLK_PERIOD:
            return K::KEY_PERIOD;
        case SDLK_LEFTBRACKET:
            return K::KEY_LEFT_BRACKET;
        case SDLK_RIGHTBRACKET:
            return K::KEY_RIGHT_BRACKET;
        default:
            return K::KEY_NONE;
    }
}

void GLView::handleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            _shouldClose = true;
            break;
        case SDL_WINDOWEVENT:
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
                _frameSize = Size(static_cast<float>(event.window.data1),
                                  static_cast<float>(event.window.data2));
                updateDesignResolution();
                _sizeChanged = true;
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
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION: {
            if (event.type == SDL_MOUSEMOTION ? event.motion.which == SDL_TOUCH_MOUSEID
                                              : event.button.which == SDL_TOUCH_MOUSEID) {
                break;  // already delivered as a finger
            }
            const intptr_t id = 0;
            if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
                float x = static_cast<float>(event.button.x),
                      y = static_cast<float>(event.button.y);
                _mouseDown = true;
                handleTouchesBegin(1, &id, &x, &y);
            } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
                float x = static_cast<float>(event.button.x),
                      y = static_cast<float>(event.button.y);
                if (_mouseDown)
                    handleTouchesEnd(1, &id, &x, &y);
                _mouseDown = false;
            } else if (event.type == SDL_MOUSEMOTION) {
                float x = static_cast<float>(event.motion.x),
                      y = static_cast<float>(event.motion.y);
                if (_mouseDown)
                    handleTouchesMove(1, &id, &x, &y);
                dispatchPointer(event);
            }
            break;
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            float x = event.tfinger.x * _frameSize.width;
            float y = event.tfinger.y * _frameSize.height;
            auto it = _fingerIds.find(event.tfinger.fingerId);
            if (event.type == SDL_FINGERDOWN) {
                if (it != _fingerIds.end())
                    break;
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
            break;
        }
        case SDL_MOUSEWHEEL:
            dispatchPointer(event);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (event.key.repeat)
                break;
            const int modifiers = modifiersOf(event.key.keysym.mod);
            // Ctrl+Q leaves as closing the window does (the application saves on the way out),
            // whatever is open.
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_q &&
                (modifiers & EventKeyboard::kCtrl)) {
                _shouldClose = true;
                break;
            }
            EventKeyboard key(keyCodeFor(event.key.keysym.sym), event.type == SDL_KEYDOWN,
                              event.key.keysym.sym, modifiers);
            Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&key);
            break;
        }
        default:
            break;
    }
}

void GLView::dispatchPointer(const SDL_Event& event) {
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    if (event.type == SDL_MOUSEMOTION) {
        _pointer = Vec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
        EventMouse move(EventMouse::MouseEventType::MOVE, windowToDesign(_pointer.x, _pointer.y),
                        modifiersOf(SDL_GetModState()));
        dispatcher->dispatchMouseEvent(&move);
        return;
    }
    if (event.wheel.which == SDL_TOUCH_MOUSEID)
        return;
    // The wheel event says where the pointer is; it need not have moved since the last motion.
    _pointer = Vec2(static_cast<float>(event.wheel.mouseX), static_cast<float>(event.wheel.mouseY));
    const float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.f : 1.f;
    const float x = static_cast<float>(event.wheel.x) * flip;
    const float y = static_cast<float>(event.wheel.y) * flip;
    if (x == 0 && y == 0)
        return;
    EventMouse scroll(EventMouse::MouseEventType::SCROLL, windowToDesign(_pointer.x, _pointer.y),
                      modifiersOf(SDL_GetModState()));
    scroll.setScroll(x, y);
    dispatcher->dispatchMouseEvent(&scroll);
}

}  // namespace engine
