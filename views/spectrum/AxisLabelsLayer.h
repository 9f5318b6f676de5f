#pragma once

#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "model/AxisScale.h"

namespace engine {
class DrawNode;
class Label;
}  // namespace engine

class SpectrumSettings;

// The scales of the plot, always shown: the values of the grid's major divisions along the
// bottom and the left edge, each on a dark plate so it reads over traces and the waterfall.
// Lies on the grid's rectangle, so each label sits on its grid line. Fewer labels (every
// second, fifth, ... division) when the window leaves no room; labels never overlap. Follows
// the model's scales every frame but only rebuilds when a text or the size changed.
class AxisLabelsLayer : public engine::Layer {
  public:
    enum class View { kSpectrum, kWaterfall, kPower };

    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr float kMinFontSize = 10.0f;
    static constexpr float kMaxFontSize = 24.0f;

    static AxisLabelsLayer* createWithModel(SpectrumSettings* model, View view, int band);
    ~AxisLabelsLayer() override;

    bool init() override;
    void update(float dt) override;

    // A label as placed: which axis, which division, its text and box in layer units.
    struct Placed {
        bool vertical = false;
        int division = 0;
        std::string text;
        engine::Rect box;
    };
    const std::vector<Placed>& getPlaced() const { return placed_; }
    // A height at the top of the left edge to keep clear (the channel guide's button sits
    // there); the left scale ends below it.
    void setTopLeftReserve(float height) { topLeftReserve_ = height; }
    // The axes shown now (horizontal, vertical).
    AxisScale::Axis horizontalAxis() const;
    AxisScale::Axis verticalAxis() const;
    // Font size for a plot of this size: readable from 480 x 320 to 3840 x 2160.
    static float fontSizeFor(const engine::Size& size);

  private:
    AxisLabelsLayer() = default;
    void relayout(const AxisScale::Axis& across, const AxisScale::Axis& up);
    std::vector<Placed> placeAcross(const AxisScale::Axis& axis, float fontSize);
    std::vector<Placed> placeUp(const AxisScale::Axis& axis, float fontSize, float floor);
    float measure(const std::string& text, float fontSize);
    engine::Label* labelAt(size_t index, float fontSize);

    SpectrumSettings* model_ = nullptr;
    View view_ = View::kSpectrum;
    int band_ = 0;
    float topLeftReserve_ = 0;
    std::string lastKey_;
    std::vector<Placed> placed_;
    engine::DrawNode* plates_ = nullptr;  // child
    std::vector<engine::Label*> labels_;  // children, retained
    engine::Label* probe_ = nullptr;      // retained, measures texts
};
