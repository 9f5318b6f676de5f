#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Event;
class Label;
class Sprite;
class Touch;
}  // namespace engine

class Instrument;
class ScalingPopoverLayer;
class SpectrumSettings;

// The two colour-threshold handles of the waterfall at the right edge, with value labels that
// fade after a drag, and the waterfall's touches: dragging a handle moves its threshold (the
// other follows when they would cross), a two-finger pinch or a wheel notch steps the time
// scale. Thresholds and time scale change through the instrument.
class WaterfallThresholdAndTouchLayer : public engine::Layer {
  public:
    static constexpr const char* kHandleImage = "WhiteBubbleTextureMap.png";
    static constexpr float kPinchStep = 100.f;  // vertical finger travel per time-scale step

    enum TouchMode { kNoTouch = 0, kPinch = 1, kDragLow = 2, kDragHigh = 3 };

    static WaterfallThresholdAndTouchLayer* create();
    // A layer over another model with an instrument of its own (tests); create() uses the
    // process-wide model.
    static WaterfallThresholdAndTouchLayer* createWithModel(SpectrumSettings* model);
    static WaterfallThresholdAndTouchLayer* createWithInstrument(Instrument* instrument);
    ~WaterfallThresholdAndTouchLayer() override;

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

    // Steps the time scale (positive: longer), clamped to its three steps, and shows the popover.
    void stepTimeScale(int steps);
    // Moves a threshold by `dbm` (the other follows when they would cross), as a handle drag.
    void moveThreshold(bool high, float dbm);

    // The popover a pinch drives; without one, the first ScalingPopoverLayer among the scene's
    // children is used.
    void setScalingPopover(ScalingPopoverLayer* popover) { popover_ = popover; }

    // The label text of a threshold: "-85.00dBm", or watts in engineering notation.
    static std::string thresholdText(float dbm, bool watts);

    bool showBand24 = true;
    bool showBand5 = true;

    int getTouchMode() const { return touchMode_; }
    float getLabelFade() const { return labelFade_; }
    float getLabelFontSize() const { return labelFontSize_; }
    engine::Sprite* getLowHandle() const { return lowHandle_; }
    engine::Sprite* getHighHandle() const { return highHandle_; }
    engine::Label* getLowLabel() const { return lowLabel_; }
    engine::Label* getHighLabel() const { return highLabel_; }
    engine::DrawNode* getHandleNode() const { return handleNode_; }

  private:
    WaterfallThresholdAndTouchLayer() = default;
    // The shown level range of the band (offset included) and its scale in units per dB.
    void levelRange(float& bottom, float& top) const;
    void placeHandle(engine::Sprite* handle, float y);
    void drawLabelBox(float y, float boxBottom, const engine::Color4F& colour);
    // Handles, label boxes and threshold texts from the model and the touch state.
    void placeHandlesAndLabels();
    void releaseTouches();
    ScalingPopoverLayer* findPopover() const;

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;  // how thresholds and time scale change; never null
    std::unique_ptr<Instrument> ownInstrument_;
    float lastDelta_ = 0;
    float labelFontSize_ = 10;
    float labelFade_ = 0;
    std::vector<engine::Touch*> touches_;  // retained
    engine::Size labelBoxSize_;
    int touchMode_ = kNoTouch;
    float pinchHorizontal_ = 0;
    float pinchVertical_ = 0;
    engine::Sprite* lowHandle_ = nullptr;  // children
    engine::Sprite* highHandle_ = nullptr;
    engine::Label* lowLabel_ = nullptr;
    engine::Label* highLabel_ = nullptr;
    engine::DrawNode* handleNode_ = nullptr;
    ScalingPopoverLayer* popover_ = nullptr;  // not retained: the scene keeps it longer than us
    ScissorClip clip_;
};
