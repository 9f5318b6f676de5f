#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/power/PowerCaptureRescale.h"
#include "views/power/PowerDelayHandle.h"
#include "views/power/PowerGroundHandles.h"
#include "views/power/PowerLevelHandle.h"
#include "views/power/PowerMeasurementPanel.h"
#include "views/power/PowerScaleGesture.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class Event;
class Label;
class LayerColor;
class Sprite;
class Touch;
namespace ui {
class Scale9Sprite;
}
}  // namespace engine

class AccessoryControl;
class Instrument;
class ScalingPopoverLayer;
class SpectrumSettings;

// What lies over the power trace: the trigger level handle, the trigger position (delay) handle
// with its bubble, one ground handle per shown trace, and the panel of up to six pulse
// measurements. One finger drags a handle; two fingers step the time base (horizontal travel)
// and the amplitude (vertical travel). Each handle and the scale gesture is a class of its own
// with its drag, keys and drawing; this layer decides which one a touch belongs to, and keeps
// the panel and the clipping. Every setting changes through the instrument; ends of drags and
// pinches send the settings again.
class PowerUIAndTouchLayer : public engine::Layer {
  public:
    static constexpr const char* kBubbleImage = PowerLevelHandle::kImage;
    static constexpr const char* kDelayImage = PowerDelayHandle::kImage;
    static constexpr const char* kDelaySidewaysImage = PowerDelayHandle::kSidewaysImage;
    static constexpr const char* kGroundImage = PowerGroundHandles::kImage;
    static constexpr float kPinchStep = PowerScaleGesture::kPinchStep;
    static constexpr int kPanelRows = PowerMeasurementPanel::kRows;

    enum TouchMode { kNoTouch = 0, kPinch = 1, kGround = 2, kLevel = 3, kDelay = 4 };

    // The layer changes settings through `instrument`, which outlives it.
    static PowerUIAndTouchLayer* createWithInstrument(Instrument* instrument);
    // A layer with an instrument of its own over `model` (tests).
    static PowerUIAndTouchLayer* createWithModel(SpectrumSettings* model,
                                                 AccessoryControl* control);
    ~PowerUIAndTouchLayer() override;

    bool init() override;
    void onEnter() override;
    void onExit() override;
    void update(float dt) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onTouchMoved(engine::Touch* touch, engine::Event* event);
    void onTouchEnded(engine::Touch* touch, engine::Event* event);
    void onTouchCancelled(engine::Touch* touch, engine::Event* event);

    // The popover a pinch drives; without one, the first ScalingPopoverLayer among the scene's
    // children is used.
    void setScalingPopover(ScalingPopoverLayer* popover) { popover_ = popover; }
    // Whether a point (world space) lies on a cursor handle of the cursors layer; such touches
    // are left to that layer.
    void setCursorHandleTest(std::function<bool(const engine::Vec2&)> test) {
        cursorHandleTest_ = std::move(test);
    }

    // Per trace t (0 live, 1 reference; anything else: false, 0, black or empty).
    bool traceShown(int t) const;
    float traceOffset(int t) const;
    void setTraceOffset(int t, float offset);
    engine::Color3B traceColor(int t) const;
    static std::string groundText(int t);

    // True while a gesture runs or ghosts and the bubble still fade: the picture changes every
    // frame without new data.
    bool isAnimating() const;

    int getTouchMode() const { return touchMode_; }
    float getDraggedLevel() const { return level_.dragged(); }
    float getDraggedDelay() const { return delay_.dragged(); }
    engine::Sprite* getLevelHandle() const { return level_.handle(); }
    engine::Sprite* getDelayHandle() const { return delay_.handle(); }
    engine::Sprite* getDelaySideways() const { return delay_.sideways(); }
    engine::ui::Scale9Sprite* getGroundHandle(int t) const { return grounds_.handle(t); }
    engine::Label* getLevelLabel() const { return level_.label(); }
    engine::Label* getBubbleLabel() const { return delay_.bubbleLabel(); }
    engine::LayerColor* getPanel() const { return panel_.box(); }
    engine::Label* getPanelName(int row) const { return panel_.name(row); }
    engine::Label* getPanelValue(int row) const { return panel_.value(row); }
    const PowerMeasurementPanel& getPanelRows() const { return panel_; }

    // Steps the time base and the amplitude by whole steps (positive: the next, larger entry),
    // as a pinch does, and shows the popover.
    void stepScalesBy(int timeSteps, int amplitudeSteps);
    // The keyboard's handle moves, under the same rules as dragging the handle (an accessory
    // attached; the level only with a power trigger and no rolling view): the trigger level by
    // `steps` dB, the trigger delay by `steps` tenths of a division (positive: later). Each is
    // sent to the accessory at once, as the end of a drag would. False when not allowed now.
    bool nudgeTriggerLevel(int steps);
    bool nudgeTriggerDelay(int steps);

  private:
    explicit PowerUIAndTouchLayer(Instrument& instrument);
    void releaseTouches();
    ScalingPopoverLayer* findPopover() const;
    void refreshAll();

    Instrument& instrument_;
    std::unique_ptr<Instrument> ownInstrument_;  // made by createWithModel
    SpectrumSettings& model_;
    ScalingPopoverLayer* popover_ = nullptr;  // not retained: the scene keeps it longer than us
    std::function<bool(const engine::Vec2&)> cursorHandleTest_;
    std::vector<engine::Touch*> touches_;  // retained
    int touchMode_ = kNoTouch;
    float lastDelta_ = 0;
    float fontSize_ = 14;
    PowerLevelHandle level_;
    PowerDelayHandle delay_;
    PowerGroundHandles grounds_;
    PowerScaleGesture scales_;
    PowerCaptureRescale rescale_;
    PowerMeasurementPanel panel_;
    ScissorClip clip_;
};
