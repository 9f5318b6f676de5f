#pragma once

#include <functional>

#include "engine/2d/Node.h"

namespace engine {
class Event;
class EventListenerTouchOneByOne;
class Touch;
}  // namespace engine

namespace engine::ui {

// Base of the UI widgets: a node with a touch listener of its own, an enabled state (disabled
// widgets let touches through to whatever lies below), a bright state (false shows the
// disabled look) and a highlighted state (true while a touch that began on it is inside it).
// Colour and opacity cascade to the widget's images and title, which are ordinary children
// below local Z 0.
class Widget : public Node {
  public:
    enum class TouchEventType { BEGAN, MOVED, ENDED, CANCELED };
    // Images are files found through FileUtils; there are no sprite sheets.
    enum class TextureResType { LOCAL };
    using ccWidgetTouchCallback = std::function<void(Ref*, TouchEventType)>;

    CREATE_FUNC(Widget)
    ~Widget() override;
    bool init() override;

    // Disabling also dims (setBright(false)); enabling brightens again.
    virtual void setEnabled(bool enabled);
    bool isEnabled() const { return _enabled; }
    void setBright(bool bright);
    bool isBright() const { return _bright; }
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return _highlight; }

    void setTouchEnabled(bool enabled);
    bool isTouchEnabled() const { return _touchEnabled; }
    void setSwallowTouches(bool swallow);
    bool isSwallowTouches() const { return _swallowTouches; }
    // BEGAN when a touch lands on the widget, MOVED while it moves, ENDED when it is lifted
    // inside the widget, CANCELED when it is lifted outside or the system cancels it. The
    // callback may remove or release the widget.
    void addTouchEventListener(const ccWidgetTouchCallback& callback) {
        _touchEventCallback = callback;
    }

    // The keyboard's press: BEGAN then ENDED, as a tap that never moved, when the widget takes
    // touches and could be touched now. False when it could not.
    bool activate();

    // True when the world point lies on the widget's content rectangle.
    virtual bool hitTest(const Vec2& worldPoint) const;
    const Vec2& getTouchBeganPosition() const { return _touchBeganPosition; }
    const Vec2& getTouchMovePosition() const { return _touchMovePosition; }
    const Vec2& getTouchEndPosition() const { return _touchEndPosition; }

    // Widgets showing an image take the image's size unless told otherwise; with adaptation
    // off (or nine-slice on) setContentSize decides and the images are fitted to it.
    void setContentSize(const Size& size) override;
    void ignoreContentAdaptWithSize(bool ignore);
    bool isIgnoreContentAdaptWithSize() const { return _ignoreSize; }
    const Size& getCustomSize() const { return _customSize; }

    void onEnter() override;
    // A touch in progress is dropped: the widget will not hear of its end.
    void onExit() override;

    virtual bool onTouchBegan(Touch* touch, Event* event);
    virtual void onTouchMoved(Touch* touch, Event* event);
    virtual void onTouchEnded(Touch* touch, Event* event);
    virtual void onTouchCancelled(Touch* touch, Event* event);

  protected:
    Widget();

    virtual void onPressStateChangedToNormal() {}
    virtual void onPressStateChangedToPressed() {}
    virtual void onPressStateChangedToDisabled() {}
    // The natural size of what the widget shows (its image or text).
    virtual Size getVirtualRendererSize() const { return _contentSize; }
    // Called after the content size changed, to fit the images.
    virtual void onSizeChanged() {}
    void updateContentSizeWithTextureSize(const Size& textureSize);
    void refreshPressState();
    void fireTouchEvent(TouchEventType type);
    // The touch is usable: the widget and every ancestor are visible, it and every ancestor
    // widget are enabled, and no clipping ancestor cuts the point off.
    bool isTouchable(const Vec2& worldPoint) const;

    bool _enabled = true;
    bool _bright = true;
    bool _highlight = false;
    bool _touchEnabled = false;
    bool _swallowTouches = true;
    bool _ignoreSize = false;
    Size _customSize;
    EventListenerTouchOneByOne* _touchListener = nullptr;
    ccWidgetTouchCallback _touchEventCallback;
    Vec2 _touchBeganPosition;
    Vec2 _touchMovePosition;
    Vec2 _touchEndPosition;
};

}  // namespace engine::ui
