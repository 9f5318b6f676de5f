#pragma once

#include <string>

#include "engine/2d/Layer.h"

namespace engine {
class EventListenerTouchOneByOne;
class Label;
}  // namespace engine

class SpectrumSettings;

// The scale of the plot while a finger is on it: the levels at the bottom and top edge on the
// right and, in the spectrum view, the band's first and last frequency in the bottom corners.
// The labels fade in quickly while touched and fade out slowly afterwards.
class OverlayLayer : public engine::Layer {
  public:
    static constexpr float kFadeInRate = 4.f;  // labelAlpha per second while touched
    static constexpr float kFadeOutRate = 0.5f;

    static OverlayLayer* create();
    // An overlay over another model (tests); create() uses the process-wide one.
    static OverlayLayer* createWithModel(SpectrumSettings* model);

    bool init() override;
    void onEnter() override;
    void onExit() override;
    void update(float dt) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // "-12.34dBm"; watts as "0.00W" after the dBm to milliwatts conversion; empty for NaN.
    static std::string levelText(float dbm, bool watts);

    bool showFrequencyLabels = true;  // spectrum view
    bool band24 = true;

    int getTouchCount() const { return touchCount_; }
    float getLabelAlpha() const { return labelAlpha_; }
    engine::Label* getBottomLevelLabel() const { return bottomLevelLabel_; }
    engine::Label* getTopLevelLabel() const { return topLevelLabel_; }
    engine::Label* getStartFrequencyLabel() const { return startFrequencyLabel_; }
    engine::Label* getEndFrequencyLabel() const { return endFrequencyLabel_; }

  private:
    OverlayLayer() = default;
    void updateLabels();

    SpectrumSettings* model_ = nullptr;
    int touchCount_ = 0;
    float labelAlpha_ = 0;
    float lastDelta_ = 0;
    engine::Label* bottomLevelLabel_ = nullptr;  // children
    engine::Label* topLevelLabel_ = nullptr;
    engine::Label* startFrequencyLabel_ = nullptr;
    engine::Label* endFrequencyLabel_ = nullptr;
};
