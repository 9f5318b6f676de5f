#include "engine/base/Director.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#include "engine/2d/ActionManager.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/FontAtlasCache.h"
#include "engine/2d/NodeDamage.h"
#include "engine/2d/Scene.h"
#include "engine/base/AutoreleasePool.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/Scheduler.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/TextureCache.h"

namespace engine {

Director* Director::s_instance = nullptr;

Director* Director::getInstance() {
    if (!s_instance)
        s_instance = new Director();
    return s_instance;
}

bool Director::hasInstance() {
    return s_instance != nullptr;
}

void Director::destroyInstance() {
    if (!s_instance)
        return;
    s_instance->purge();
    delete s_instance;
    s_instance = nullptr;
}

Director::Director()
    : _scheduler(new Scheduler()),
      _actionManager(new ActionManager()),
      _eventDispatcher(new EventDispatcher()),
      _renderer(new Renderer()),
      _textureCache(new TextureCache()) {}

Director::~Director() {
    delete _textureCache;
    delete _renderer;
    delete _eventDispatcher;
    delete _actionManager;
    delete _scheduler;
}

void Director::purge() {
    if (_runningScene) {
        _runningScene->onExit();
        _runningScene->cleanup();
        safeRelease(_runningScene);
    }
    safeRelease(_nextScene);
    AutoreleasePool::getInstance()->clear();
    _afterDraw.clear();
    _watchedGeometry.clear();
    settleChangedNodes();
    // GL objects go while the context still exists.
    if (_view)
        _canvas.release();
    FontAtlasCache::purgeCachedData();
    _textureCache->removeAllTextures();
    GLProgramCache::destroyInstance();
    AutoreleasePool::getInstance()->clear();
    if (_view) {
        GL::shutdown();
        _view->end();
        safeRelease(_view);
    }
    AutoreleasePool::getInstance()->clear();
}

void Director::setOpenGLView(GLView* view) {
    if (view == _view)
        return;
    safeAssign(_view, view);
    if (!_view)
        return;
    GL::init();
    glEnable(GL_PROGRAM_POINT_SIZE);
    glDisable(GL_DEPTH_TEST);
    _inPlace.init();
    _inPlaceWidth = _inPlaceHeight = 0;
    updateProjection();
}

Size Director::getWinSize() const {
    return _view ? _view->getDesignResolutionSize() : Size();
}

Size Director::getVisibleSize() const {
    return _view ? _view->getVisibleSize() : Size();
}

Vec2 Director::getVisibleOrigin() const {
    return _view ? _view->getVisibleOrigin() : Vec2();
}

void Director::updateProjection() {
    if (!_view)
        return;
    Size size = _view->getDesignResolutionSize();
    if (size.width <= 0 || size.height <= 0)
        return;
    _projection = Mat4::orthographic(0, size.width, 0, size.height);
    GLProgram::setProjectionMatrix(_projection);
    _view->setViewPortInPoints(0, 0, size.width, size.height);
    damageAll();
}

void Director::runWithScene(Scene* scene) {
    if (!scene || _runningScene)
        return;
    replaceScene(scene);
    setNextScene();
}

void Director::replaceScene(Scene* scene) {
    if (!scene)
        return;
    safeAssign(_nextScene, scene);
}

void Director::setNextScene() {
    if (_runningScene) {
        _runningScene->onExit();
        _runningScene->cleanup();
        _runningScene->release();
    }
    _runningScene = _nextScene;
    _nextScene = nullptr;
    _runningScene->onEnter();
    damageAll();
}

void Director::addAfterDrawCallback(const std::function<void()>& callback) {
    _afterDraw.push_back(callback);
}

void Director::textureChanged(unsigned int texture, const Rect& texels) {
    if (!s_instance)
        return;
    Rect footprint;
    if (!s_instance->_renderer->getTextureFootprint(texture, texels, &footprint)) {
        s_instance->damageAll();
        return;
    }
    s_instance->setNeedsRedraw(footprint);
}

void Director::setPartialRedraw(bool partial) {
    if (partial == _partialRedraw)
        return;
    _partialRedraw = partial;
    if (!partial && _view)
        _canvas.release();
    damageAll();
}

void Director::setInPlaceAllowed(bool allowed) {
    if (allowed == _inPlaceAllowed)
        return;
    _inPlaceAllowed = allowed;
    _inPlaceWidth = _inPlaceHeight = 0;
    damageAll();
}

void Director::watchGeometry(DrawNode* node) {
    _watchedGeometry.push_back(node);
}

void Director::unwatchGeometry(DrawNode* node) {
    _watchedGeometry.erase(std::remove(_watchedGeometry.begin(), _watchedGeometry.end(), node),
                           _watchedGeometry.end());
}

void Director::addChangedNode(Node* node) {
    node->retain();
    _changedNodes.push_back(node);
}

void Director::settleChangedNodes() {
    std::vector<Node*> nodes;
    nodes.swap(_changedNodes);
    for (Node* node : nodes) {
        Rect world;
        if (NodeDamage::settle(*node, &world))
            setNeedsRedraw(world);
        node->release();
    }
}

bool Director::settleWatchedGeometry() {
    bool changed = false;
    std::vector<DrawNode*> nodes;
    nodes.swap(_watchedGeometry);
    for (DrawNode* node : nodes)
        changed = node->settleGeometry() || changed;
    return changed;
}

void Director::mainLoop(float dt) {
    _deltaTime = dt < 0 ? 0 : dt;
    _stats.beginFrame();
    if (_animating) {
        _scheduler->update(_deltaTime);
        _actionManager->update(_deltaTime * _scheduler->getTimeScale());
    }
    if (_nextScene)
        setNextScene();

    bool drawn = false;
    if (_view && _animating) {
        if (_view->checkAndResetSizeChanged())
            updateProjection();
        settleWatchedGeometry();
        settleChangedNodes();
        // A capture is drawn whole: layers that rebuild while drawing show it in that frame.
        if (!_afterDraw.empty() || _redrawEveryFrame)
            setNeedsWholeRedraw();
        if (_needsRedraw) {
            drawScene();
            drawn = true;
        }
        ++_totalFrames;
    }
    AutoreleasePool::getInstance()->clear();
    if (_view && _animating)
        _stats.endFrame(drawn);
}

std::optional<std::vector<PixelBox>> Director::damageBoxes(const DamageRegion& damage, int width,
                                                           int height) const {
    if (damage.isAll())
        return std::nullopt;
    if (damage.isEmpty())
        return std::vector<PixelBox>{PixelBox{}};  // the kept picture is the picture
    // Outward to whole pixels, and a pixel more for rounding in the rasteriser.
    const float retina = _view->getRetinaFactor();
    const Rect viewport = _view->getViewPortRect();
    const double sx = _view->getScaleX() * retina;
    const double sy = _view->getScaleY() * retina;
    const double ox = viewport.origin.x * retina;
    const double oy = viewport.origin.y * retina;
    auto clampTo = [](double v, int limit) {
        return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
    };
    // Another box must spare filling a few thousand pixels: each costs a pass over the frame's
    // commands.
    const double pixelsPerPoint = std::max(1e-6, sx * sy);
    const float slack = static_cast<float>(kBoxWorthPixels / pixelsPerPoint);
    std::vector<PixelBox> boxes;
    for (const Rect& rect : damage.getRects(kMostBoxes, slack)) {
        const int left = clampTo(std::floor(rect.getMinX() * sx + ox) - 1, width);
        const int bottom = clampTo(std::floor(rect.getMinY() * sy + oy) - 1, height);
        const int right = clampTo(std::ceil(rect.getMaxX() * sx + ox) + 1, width);
        const int top = clampTo(std::ceil(rect.getMaxY() * sy + oy) + 1, height);
        if (left == 0 && bottom == 0 && right == width && top == height)
            return std::nullopt;
        // Neighbours may now share a pixel column: that column is drawn whole by each, the
        // same pixels twice, for each box is rendered as a whole frame would be.
        if (right > left && top > bottom)
            boxes.push_back(PixelBox{left, bottom, right - left, top - bottom});
    }
    if (boxes.empty())
        boxes.push_back(PixelBox{});
    return boxes;
}

std::optional<PixelBox> Director::boundingBox(const std::vector<PixelBox>& boxes) {
    if (boxes.empty())
        return std::nullopt;
    int x0 = boxes.front().x, y0 = boxes.front().y;
    int x1 = x0 + boxes.front().width, y1 = y0 + boxes.front().height;
    for (const PixelBox& b : boxes) {
        x0 = std::min(x0, b.x);
        y0 = std::min(y0, b.y);
        x1 = std::max(x1, b.x + b.width);
        y1 = std::max(y1, b.y + b.height);
    }
    return PixelBox{x0, y0, x1 - x0, y1 - y0};
}

// The design-space rectangle a box of framebuffer pixels shows.
Rect Director::pixelsToWorld(const PixelBox& box) const {
    const float retina = _view->getRetinaFactor();
    const Rect viewport = _view->getViewPortRect();
    const double sx = _view->getScaleX() * retina;
    const double sy = _view->getScaleY() * retina;
    const double ox = viewport.origin.x * retina;
    const double oy = viewport.origin.y * retina;
    return Rect(static_cast<float>((box.x - ox) / sx), static_cast<float>((box.y - oy) / sy),
                static_cast<float>(box.width / sx), static_cast<float>(box.height / sy));
}

void Director::getFramebufferSize(int* width, int* height) const {
    *width = *height = 0;
    if (!_view)
        return;
    const float retina = _view->getRetinaFactor();
    const Size frame = _view->getFrameSize();
    *width = static_cast<int>(std::lround(frame.width * retina));
    *height = static_cast<int>(std::lround(frame.height * retina));
}

Director::FrameTarget Director::chooseTarget(int width, int height, DamageRegion& damage) {
    if (_partialRedraw && _inPlaceAllowed && _inPlace.isAvailable()) {
        if (width != _inPlaceWidth || height != _inPlaceHeight) {
            // The back buffer takes the window's new size only at a swap: this frame is shown
            // by one, and the next is drawn whole into the new buffer, in place again.
            _inPlaceWidth = width;
            _inPlaceHeight = height;
            _inPlaceFresh = true;
            damage.addAll();
            return FrameTarget::kWindow;
        }
        if (_inPlaceFresh) {
            damage.addAll();
            _inPlaceFresh = false;
        }
        return FrameTarget::kInPlace;
    }
    if (_partialRedraw && _canvas.begin(width, height)) {
        if (_canvas.isFresh())
            damage.addAll();
        return FrameTarget::kCanvas;
    }
    damage.addAll();
    return FrameTarget::kWindow;
}

void Director::drawScene() {
    // Changes made while visiting (a layer animating in its visit) belong to the next frame.
    _needsRedraw = false;
    DamageRegion damage = _damage;
    _damage.reset();
    const float retina = _view->getRetinaFactor();
    const Size frame = _view->getFrameSize();
    const int width = static_cast<int>(std::lround(frame.width * retina));
    const int height = static_cast<int>(std::lround(frame.height * retina));
    const FrameTarget target = chooseTarget(width, height, damage);
    const auto boxes = damageBoxes(damage, width, height);
    _lastDamageBoxes = boxes.value_or(std::vector<PixelBox>{});
    _lastDamageBox = boundingBox(_lastDamageBoxes);
    std::vector<Rect> cullRects;
    for (const PixelBox& box : _lastDamageBoxes)
        cullRects.push_back(pixelsToWorld(box));
    _renderer->setDamageBoxes(_lastDamageBoxes, std::move(cullRects));
    _renderer->clear(_clearColor);
    if (_runningScene)
        _runningScene->visit(_renderer, Mat4::IDENTITY, 0);
    _renderer->render();
    _renderer->setDamageBox(std::nullopt);
    if (target == FrameTarget::kCanvas)
        _canvas.present();
    std::vector<std::function<void()>> callbacks;
    callbacks.swap(_afterDraw);
    for (auto& callback : callbacks)
        callback();
    if (target == FrameTarget::kInPlace && _lastDamageBox) {
        for (const PixelBox& box : _lastDamageBoxes)
            _inPlace.present(box);
    } else if (target == FrameTarget::kInPlace) {
        _inPlace.present(PixelBox{0, 0, width, height});
    } else
        _view->swapBuffers();
}

}  // namespace engine
