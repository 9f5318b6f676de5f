#pragma once

#include <cmath>
#include <vector>

#include "engine/2d/Layer.h"

namespace engine {
class Label;
class Sprite;
namespace ui {
class Scale9Sprite;
}
}  // namespace engine

class SpectrumSettings;

// The indicator shown while a pinch changes a scale: a magnifying glass with a row of boxes for
// the horizontal steps and a column for the vertical ones, the old and the new step marked, and
// a text. Callers set the step fields, needsLayout and touchHeld; it fades in while the gesture
// is held and out by itself afterwards.
class ScalingPopoverLayer : public engine::Layer {
  public:
    static constexpr const char* kGlassImage = "magnifying-glass.png";
    static constexpr const char* kBackgroundImage = "ScalingPopoverBackground.png";
    static constexpr const char* kBoxImage = "ScalingPopoverBox.png";
    static constexpr int kFadeInStep = 40;  // opacity per frame while held
    static constexpr int kFadeOutStep = 6;

    // Which quarter of the box image a step shows.
    enum class BoxState { kPlain, kNew, kOld };

    static ScalingPopoverLayer* create();
    // A popover over another model (tests); create() uses the process-wide one.
    static ScalingPopoverLayer* createWithModel(SpectrumSettings* model);
    ~ScalingPopoverLayer() override;

    bool init() override;
    // Everything is laid out around the centre, so a new size lays it out again.
    void setContentSize(const engine::Size& size) override;
    void onEnter() override;
    void onExit() override;
    // Asks for frames while a layout waits or the fade has not reached its end.
    void update(float dt) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // The box state of a step: new for the new step and every step strictly between the old
    // and the new one, old for the old step.
    static BoxState boxState(int step, int oldStep, int newStep);

    bool needsLayout = true;
    bool touchHeld = false;
    int verticalSteps = 6;
    int verticalNew = 2;
    int verticalOld = 0;
    int horizontalSteps = 16;
    int horizontalNew = 10;
    int horizontalOld = 9;
    // Set by the power view: the time its "T:" text shows; NaN when there is none.
    float powerTimeValue = NAN;

    engine::Sprite* getGlass() const { return glass_; }
    engine::Label* getALabel() const { return aLabel_; }
    engine::Label* getTLabel() const { return tLabel_; }
    const std::vector<engine::Sprite*>& getBoxes() const { return boxes_; }
    engine::ui::Scale9Sprite* getBackground() const { return background_; }

  private:
    ScalingPopoverLayer() = default;
    void updateLabels();
    void layout();
    engine::Sprite* boxAt(size_t index);

    SpectrumSettings* model_ = nullptr;
    engine::Sprite* glass_ = nullptr;  // children, kept by the layer
    engine::ui::Scale9Sprite* background_ = nullptr;
    engine::Label* aLabel_ = nullptr;
    engine::Label* tLabel_ = nullptr;
    std::vector<engine::Sprite*> boxes_;  // retained
    engine::Size boxSize_;
    float boxGap_ = 0;
    engine::Size margin_{10, 10};
};
