#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/power/PowerMeasurementPanel.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
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
// and the amplitude (vertical travel). Every setting changes through the instrument; ends of
// drags and pinches send the settings again.
class PowerUIAndTouchLayer : public engine::Layer {
  public:
    static constexpr const char* kBubbleImage = "WhiteBubbleTextureMap.png";
    static constexpr const char* kDelayImage = "PositionAndDelayIcon.png";
    static constexpr const char* kDelaySidewaysImage = "PositionAndDelayIconSideways.png";
    static constexpr const char* kGroundImage = "groundLabel.png";
    static constexpr float kPinchStep = 100.f;  // finger travel per scale step
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
    float getDraggedLevel() const { return draggedLevel_; }
    float getDraggedDelay() const { return draggedDelay_; }
    engine::Sprite* getLevelHandle() const { return levelHandle_; }
    engine::Sprite* getDelayHandle() const { return delayHandle_; }
    engine::Sprite* getDelaySideways() const { return delaySideways_; }
    engine::ui::Scale9Sprite* getGroundHandle(int t) const;
    engine::Label* getLevelLabel() const { return levelLabel_; }
    engine::Label* getBubbleLabel() const { return bubbleLabel_; }
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
    PowerUIAndTouchLayer() = default;
    bool held() const;
    float secondsPerDivision() const;
    float levelY(float level) const;
    float delayX(float delay) const;
    void fillCaptureRecord();
    void releaseTouches();
    void stepScales(bool spreading);
    ScalingPopoverLayer* findPopover() const;
    void refreshLevelHandle();
    void refreshDelayHandle();
    void refreshGroundHandles();
    void refreshPanel();
    void refreshAll();

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;
    std::unique_ptr<Instrument> ownInstrument_;  // made by createWithModel
    ScalingPopoverLayer* popover_ = nullptr;     // not retained: the scene keeps it longer than us
    std::function<bool(const engine::Vec2&)> cursorHandleTest_;
    std::vector<engine::Touch*> touches_;  // retained
    int touchMode_ = kNoTouch;
    float draggedLevel_ = 0;
    float draggedDelay_ = 0;
    float pinchHorizontal_ = 0;
    float pinchVertical_ = 0;
    float levelGhostFade_ = 0;
    float delayGhostFade_ = 0;
    float bubbleFade_ = 0;
    float lastDelta_ = 0;
    float fontSize_ = 14;
    engine::Vec2 bubbleTarget_{-1, -1};
    // Children, kept by the layer.
    engine::Sprite* levelHandle_ = nullptr;
    engine::Sprite* levelGhost_ = nullptr;
    engine::Sprite* delayHandle_ = nullptr;
    engine::Sprite* delayGhost_ = nullptr;
    engine::Sprite* delaySideways_ = nullptr;
    engine::ui::Scale9Sprite* groundHandles_[2] = {nullptr, nullptr};
    engine::Label* groundLabels_[2] = {nullptr, nullptr};
    engine::DrawNode* levelBand_ = nullptr;
    engine::Label* levelLabel_ = nullptr;
    engine::LayerColor* bubble_ = nullptr;
    engine::Label* bubbleLabel_ = nullptr;
    PowerMeasurementPanel panel_;
    ScissorClip clip_;
};
