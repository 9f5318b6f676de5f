#include "engine/base/Director.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/2d/ActionManager.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/FontAtlasCache.h"
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
    // GL objects go while the context still exists.
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
    _needsRedraw = true;
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
    _needsRedraw = true;
}

void Director::addAfterDrawCallback(const std::function<void()>& callback) {
    _afterDraw.push_back(callback);
}

void Director::watchGeometry(DrawNode* node) {
    _watchedGeometry.push_back(node);
}

void Director::unwatchGeometry(DrawNode* node) {
    _watchedGeometry.erase(std::remove(_watchedGeometry.begin(), _watchedGeometry.end(), node),
                           _watchedGeometry.end());
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
        if (settleWatchedGeometry() || !_afterDraw.empty() || _redrawEveryFrame)
            _needsRedraw = true;
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

void Director::drawScene() {
    // Changes made while visiting (a layer animating in its visit) belong to the next frame.
    _needsRedraw = false;
    _renderer->clear(_clearColor);
    if (_runningScene)
        _runningScene->visit(_renderer, Mat4::IDENTITY, 0);
    _renderer->render();
    std::vector<std::function<void()>> callbacks;
    callbacks.swap(_afterDraw);
    for (auto& callback : callbacks)
        callback();
    _view->swapBuffers();
}

}  // namespace engine
