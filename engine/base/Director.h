#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "engine/base/FrameStats.h"
#include "engine/base/Mat4.h"
#include "engine/base/Types.h"
#include "engine/renderer/DamageRegion.h"
#include "engine/renderer/FrameCanvas.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/SubBufferPresenter.h"

namespace engine {

class ActionManager;
class DrawNode;
class EventDispatcher;
class GLView;
class Node;
class Scene;
class Scheduler;
class TextureCache;

// Runs the frame: scheduler and actions advance by the frame interval, the running scene is
// visited into the renderer and drawn, pending screen captures read the frame back, the
// buffers swap and the autorelease pool drains. Visiting, drawing and swapping happen only
// when the picture is stale: a node in the running scene changed how it looks, a texture or
// program uniform changed, the scene or the window's size changed, the window was exposed,
// a screen capture waits, or someone called setNeedsRedraw(). Main thread only.
//
// A drawn frame costs what changed: the scene is drawn into a canvas that keeps the last frame,
// confined to the bounding box of the damage (the changed geometry of draw nodes, the footprint
// of an updated texture, a rectangle a layer names); any other change damages everything. The
// canvas is then copied to the window. With a software rasteriser on X the back buffer itself is
// the canvas: it is never swapped, only the damaged part is copied to the window.
class Director {
  public:
    static Director* getInstance();
    // Tears everything down (scene, caches, GL view); the next getInstance() starts afresh.
    static void destroyInstance();
    static bool hasInstance();

    void setOpenGLView(GLView* view);
    GLView* getOpenGLView() const { return _view; }

    // The design area in points; the visible part of it and where that part starts.
    Size getWinSize() const;
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;

    void setAnimationInterval(float interval) { _animationInterval = interval; }
    float getAnimationInterval() const { return _animationInterval; }
    void setContentScaleFactor(float scale) { _contentScaleFactor = scale; }
    float getContentScaleFactor() const { return _contentScaleFactor; }
    void startAnimation() {
        _animating = true;
        damageAll();  // the window may have lost its contents while hidden
    }
    void stopAnimation() { _animating = false; }
    bool isAnimating() const { return _animating; }

    void runWithScene(Scene* scene);
    void replaceScene(Scene* scene);
    Scene* getRunningScene() const { return _runningScene; }

    // One frame with the given interval. Without a GL view only time advances.
    void mainLoop(float dt);
    float getDeltaTime() const { return _deltaTime; }
    // Frames run with a view, drawn or not (time keeps its pace whether anything changes).
    unsigned int getTotalFrames() const { return _totalFrames; }

    // The next frame draws. Layers that draw model data call it when the data changed.
    void setNeedsRedraw() { damageAll(); }
    // The next frame draws whole, though nothing but what damaged it changed (a node that cannot
    // say where it draws): cached pictures stay valid.
    void setNeedsWholeRedraw() {
        _needsRedraw = true;
        _damage.addAll();
    }
    // Counts changes that no node reports (the projection, the clear colour, a texture's
    // parameters, a program's uniforms, a layer's model data): a cached picture drawn at
    // another count is stale.
    unsigned long long getContentEpoch() const { return _contentEpoch; }
    const Color4F& getClearColor() const { return _clearColor; }
    // The size of the frame in framebuffer pixels; zero without a view.
    void getFramebufferSize(int* width, int* height) const;
    // The next frame draws; only rect (design points, world space) changed.
    void setNeedsRedraw(const Rect& rect) {
        _needsRedraw = true;
        _damage.add(rect);
    }
    // Some of a texture's texels changed (texture coordinates, 0 to 1): where the last frame
    // showed them is damaged (everything when that is unknown).
    static void textureChanged(unsigned int texture, const Rect& texels);
    // Draws every frame whether or not anything changed (benchmarks of the drawing itself,
    // and comparisons with the old behaviour).
    void setRedrawEveryFrame(bool always) { _redrawEveryFrame = always; }
    bool needsRedraw() const { return _needsRedraw; }
    // Marks the picture stale if a director exists; for engine objects that are not nodes.
    static void markStale() {
        if (s_instance)
            s_instance->damageAll();
    }
    // Partial frames (on by default); off, every drawn frame is drawn whole, straight to the
    // window, as before the canvas.
    void setPartialRedraw(bool partial);
    bool isPartialRedraw() const { return _partialRedraw; }
    // Whether a partial frame may be drawn in place in a back buffer that is never swapped
    // (when the context can; see SubBufferPresenter) rather than into the canvas. For tests of
    // both ways.
    void setInPlaceAllowed(bool allowed);
    bool isDrawingInPlace() const {
        return _partialRedraw && _inPlaceAllowed && _inPlace.isAvailable();
    }
    // The framebuffer pixels the last drawn frame was confined to; none when it was drawn whole.
    // The bounding box of the boxes it was drawn into.
    const std::optional<PixelBox>& getLastDamageBox() const { return _lastDamageBox; }
    // Those boxes, disjoint but for a shared column of pixels; empty when it was drawn whole.
    const std::vector<PixelBox>& getLastDamageBoxes() const { return _lastDamageBoxes; }
    // A draw node whose geometry was rebuilt since it was last drawn: before deciding whether
    // to draw, the director asks it whether the geometry really differs, so a layer that
    // rebuilds the same lines every frame costs no frames.
    void watchGeometry(DrawNode* node);
    // A node whose change damaged where it was: where it is when the frame draws is damaged
    // too (held until then).
    void addChangedNode(Node* node);
    void unwatchGeometry(DrawNode* node);

    FrameStats& getFrameStats() { return _stats; }
    unsigned long long getFramesDrawn() const { return _stats.framesDrawn(); }
    unsigned long long getFramesSkipped() const { return _stats.framesSkipped(); }

    // Called after the frame is drawn and before the buffers swap (reading pixels after the swap
    // gives black under Xvfb).
    void addAfterDrawCallback(const std::function<void()>& callback);

    // Call when the view's design size changes; resets the projection and viewport.
    void updateProjection();
    const Mat4& getProjectionMatrix() const { return _projection; }

    void setClearColor(const Color4F& color) {
        if (color.r != _clearColor.r || color.g != _clearColor.g || color.b != _clearColor.b ||
            color.a != _clearColor.a)
            damageAll();
        _clearColor = color;
    }

    // Asks the application loop to end after this frame.
    void end() { _ending = true; }
    bool isEnding() const { return _ending; }

    Scheduler* getScheduler() const { return _scheduler; }
    ActionManager* getActionManager() const { return _actionManager; }
    EventDispatcher* getEventDispatcher() const { return _eventDispatcher; }
    Renderer* getRenderer() const { return _renderer; }
    TextureCache* getTextureCache() const { return _textureCache; }

  private:
    Director();
    ~Director();
    void setNextScene();
    void purge();
    bool settleWatchedGeometry();
    void settleChangedNodes();
    void drawScene();
    void damageAll() {
        setNeedsWholeRedraw();
        ++_contentEpoch;
    }
    Rect pixelsToWorld(const PixelBox& box) const;
    // Where a frame is drawn: in place in a back buffer that is never swapped, into the canvas,
    // or straight into a back buffer that a swap then shows. Adds to damage what the target
    // lost since the last frame.
    enum class FrameTarget { kInPlace, kCanvas, kWindow };
    FrameTarget chooseTarget(int width, int height, DamageRegion& damage);
    // The framebuffer boxes a frame with this damage may touch; none: all of them.
    std::optional<std::vector<PixelBox>> damageBoxes(const DamageRegion& damage, int width,
                                                     int height) const;
    static std::optional<PixelBox> boundingBox(const std::vector<PixelBox>& boxes);
    // A frame is cut into at most this many boxes, and one more is made only where it spares
    // about this many pixels of filling.
    static constexpr size_t kMostBoxes = 6;
    static constexpr double kBoxWorthPixels = 96.0 * 96.0;

    static Director* s_instance;

    GLView* _view = nullptr;
    Scene* _runningScene = nullptr;
    Scene* _nextScene = nullptr;
    Scheduler* _scheduler;
    ActionManager* _actionManager;
    EventDispatcher* _eventDispatcher;
    Renderer* _renderer;
    TextureCache* _textureCache;
    std::vector<std::function<void()>> _afterDraw;
    std::vector<DrawNode*> _watchedGeometry;
    std::vector<Node*> _changedNodes;  // retained
    FrameStats _stats;
    DamageRegion _damage;
    FrameCanvas _canvas;
    SubBufferPresenter _inPlace;
    bool _inPlaceAllowed = true;
    int _inPlaceWidth = 0;
    int _inPlaceHeight = 0;
    bool _inPlaceFresh = true;  // the back buffer holds no earlier frame
    std::optional<PixelBox> _lastDamageBox;
    std::vector<PixelBox> _lastDamageBoxes;
    bool _partialRedraw = true;
    Mat4 _projection;
    Color4F _clearColor{0, 0, 0, 1};
    float _animationInterval = 1.f / 60.f;
    float _contentScaleFactor = 1.f;
    float _deltaTime = 0;
    unsigned int _totalFrames = 0;
    unsigned long long _contentEpoch = 0;
    bool _animating = true;
    bool _ending = false;
    bool _needsRedraw = true;
    bool _redrawEveryFrame = false;
};

}  // namespace engine
