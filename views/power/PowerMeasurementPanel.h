#pragma once

#include <array>

namespace engine {
class Label;
class LayerColor;
class Node;
}  // namespace engine

class SpectrumSettings;

// The power view's panel of pulse measurements: one row (name and value) for each of the six
// measureSlots that holds a measurement, on a dark translucent box near the top left of the
// plot. Hidden while no slot holds one. The box is a child of the node given to refresh().
class PowerMeasurementPanel {
  public:
    static constexpr int kRows = 6;

    // Creates the box on first use, copies the results under traceLock and lays the rows out
    // with their top edge `top` and their left edge `left` (the parent's units).
    void refresh(engine::Node& parent, SpectrumSettings& model, float fontSize, float left,
                 float top);

    engine::LayerColor* box() const { return box_; }
    engine::Label* name(int row) const { return names_[row]; }
    engine::Label* value(int row) const { return values_[row]; }

  private:
    bool create(engine::Node& parent, float fontSize);

    engine::LayerColor* box_ = nullptr;  // children of the parent node
    std::array<engine::Label*, kRows> names_{};
    std::array<engine::Label*, kRows> values_{};
};
