#include "engine/platform/GLView.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventMouse.h"
#include "engine/base/Touch.h"

namespace engine {

static GLContextAttrs s_contextAttrs;

void GLView::setGLContextAttrs(const GLContextAttrs& attrs) {
    s_contextAttrs = attrs;
}
GLContextAttrs GLView::getGLContextAttrs() {
    return s_contextAttrs;
}

GLView::~GLView() {
    GLView::end();
}

void GLView::end() {
    for (auto& [id, touch] : _touches)
        touch->release();
    _touches.clear();
}

void GLView::setFrameSize(float width, float height) {
    _frameSize = Size(width, height);
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
    refreshRetinaFactor();
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
}

void GLView::handleFrameResized(float width, float height) {
    _frameSize = Size(width, height);
    updateDesignResolution();
    _sizeChanged = true;
}

void GLView::handleKey(EventKeyboard::KeyCode code, bool pressed, int rawCode, int modifiers) {
    // Ctrl+Q leaves as closing the window does (the application saves on the way out), whatever
    // is open.
    if (pressed && code == EventKeyboard::KeyCode::KEY_Q && (modifiers & EventKeyboard::kCtrl)) {
        _shouldClose = true;
        return;
    }
    EventKeyboard key(code, pressed, rawCode, modifiers);
    Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&key);
}

void GLView::handlePointerMoved(float x, float y, int modifiers) {
    _pointer = Vec2(x, y);
    EventMouse move(EventMouse::MouseEventType::MOVE, windowToDesign(x, y), modifiers);
    Director::getInstance()->getEventDispatcher()->dispatchMouseEvent(&move);
}

void GLView::handleScroll(float x, float y, float dx, float dy, int modifiers) {
    // The scroll says where the pointer is; it need not have moved since the last motion.
    _pointer = Vec2(x, y);
    if (dx == 0 && dy == 0)
        return;
    EventMouse scroll(EventMouse::MouseEventType::SCROLL, windowToDesign(x, y), modifiers);
    scroll.setScroll(dx, dy);
    Director::getInstance()->getEventDispatcher()->dispatchMouseEvent(&scroll);
}

}  // namespace engine
