#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/base/EventKeyboard.h"
#include "engine/base/Ref.h"
#include "engine/base/Types.h"

union SDL_Event;

namespace engine {

class Touch;

struct GLContextAttrs {
    int redBits = 8;
    int greenBits = 8;
    int blueBits = 8;
    int alphaBits = 8;
    int depthBits = 24;
    int stencilBits = 8;
};

enum class ResolutionPolicy {
    EXACT_FIT,  // design area stretched to the window
    NO_BORDER,  // uniform scale filling the window; parts of the design area may be cut off
    SHOW_ALL,   // uniform scale showing the whole design area, letterboxed
    UNKNOWN,    // no design size: it follows the window's size
};

// What the engine needs of a window, whatever opens it: the mapping from design units to window
// pixels (frame size, design resolution, viewport, scissor) and the translation of touches, keys,
// pointer motion and scrolls into events for the dispatcher. A platform subclass (GLViewImpl)
// owns the window, its GL context and event loop and feeds input through the handle* calls.
// Until a design resolution is set, one design unit is one window point and the design size follows
// resizes.
class GLView : public Ref {
  public:
    static void setGLContextAttrs(const GLContextAttrs& attrs);
    static GLContextAttrs getGLContextAttrs();

    ~GLView() override;

    // Window life cycle, implemented by the platform.
    virtual void end();
    virtual bool isOpenGLReady() const = 0;
    virtual void pollEvents() = 0;
    virtual void swapBuffers() = 0;
    // One platform input event (the desktop's are SDL events), as the event loop delivers it.
    virtual void handleEvent(const SDL_Event& event) = 0;
    bool windowShouldClose() const { return _shouldClose; }
    void setWindowShouldClose(bool close) { _shouldClose = close; }

    Size getFrameSize() const { return _frameSize; }
    virtual void setFrameSize(float width, float height);
    float getFrameZoomFactor() const { return _frameZoomFactor; }
    // UNKNOWN goes back to a design size that follows the window.
    void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    Size getDesignResolutionSize() const { return _designSize; }
    ResolutionPolicy getResolutionPolicy() const { return _policy; }
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;
    float getScaleX() const { return _scaleX; }
    float getScaleY() const { return _scaleY; }
    // Framebuffer pixels per window point (above 1 on high-density screens).
    float getRetinaFactor() const { return _retinaFactor; }
    Rect getViewPortRect() const { return _viewport; }

    // Rectangles in design units, converted to framebuffer pixels.
    void setViewPortInPoints(float x, float y, float w, float h);
    void setScissorInPoints(float x, float y, float w, float h);
    bool isScissorEnabled() const;
    Rect getScissorRect() const;

    // True once after the window (and with it, perhaps, the design size) changed size.
    bool checkAndResetSizeChanged();

    // Input. Window coordinates are points with the origin at the top-left.
    void handleTouchesBegin(int num, const intptr_t ids[], const float xs[], const float ys[]);
    void handleTouchesMove(int num, const intptr_t ids[], const float xs[], const float ys[]);
    void handleTouchesEnd(int num, const intptr_t ids[], const float xs[], const float ys[]);
    void handleTouchesCancel(int num, const intptr_t ids[], const float xs[], const float ys[]);
    size_t getActiveTouchCount() const { return _touches.size(); }
    // Cancels every touch still down (the window lost focus, so their ends will never come).
    virtual void cancelAllTouches();
    // The pointer's last position in window points (top-left origin), as the wheel and hover
    // report it.
    Vec2 getPointerInView() const { return _pointer; }

  protected:
    GLView() = default;
    void updateDesignResolution();
    // Asks the platform for the framebuffer-to-window ratio before the scales are worked out.
    virtual void refreshRetinaFactor() {}
    Vec2 windowToDesign(float x, float y) const;
    enum class Phase { BEGIN, MOVE, END, CANCEL };
    void handleTouches(Phase phase, int num, const intptr_t ids[], const float xs[],
                       const float ys[]);
    // The window's new size in points, as the platform reports it.
    void handleFrameResized(float width, float height);
    void handleKey(EventKeyboard::KeyCode code, bool pressed, int rawCode, int modifiers);
    void handlePointerMoved(float x, float y, int modifiers);
    // A scroll of (dx, dy) steps with the pointer at (x, y); no event for a zero scroll.
    void handleScroll(float x, float y, float dx, float dy, int modifiers);

    bool _shouldClose = false;
    bool _sizeChanged = false;
    Size _frameSize;
    Size _designSize;
    ResolutionPolicy _policy = ResolutionPolicy::UNKNOWN;
    float _frameZoomFactor = 1;
    float _scaleX = 1;
    float _scaleY = 1;
    float _retinaFactor = 1;
    Rect _viewport;
    std::map<intptr_t, Touch*> _touches;
    Vec2 _pointer;
};

}  // namespace engine
