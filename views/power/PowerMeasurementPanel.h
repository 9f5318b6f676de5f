#pragma once

#include <array>

namespace engine {
class Label;
class LayerColor;
class Node;
}  // namespace engine

class SpectrumSettings;

// The power view's panel of pulse measurements: one row for each of the six measureSlots that
// holds a measurement, with the newest capture's value and the mean, smallest and largest value
// over the captures since the statistics were last reset, under a header line and over a line
// with the number of those captures; on a dark translucent box near the top left of the plot.
// Hidden while no slot holds a measurement. The box is a child of the node given to refresh().
class PowerMeasurementPanel {
  public:
    static constexpr int kRows = 6;
    enum Column { kMean, kMin, kMax, kStatisticColumns };

    // Creates the box on first use, copies the results and lays the rows out
    // with their top edge `top` and their left edge `left` (the parent's units).
    void refresh(engine::Node& parent, SpectrumSettings& model, float fontSize, float left,
                 float top);

    engine::LayerColor* box() const { return box_; }
    engine::Label* name(int row) const { return names_[row]; }
    engine::Label* value(int row) const { return values_[row]; }
    engine::Label* statistic(int row, Column column) const { return statistics_[row][column]; }
    engine::Label* captures() const { return captures_; }

  private:
    bool create(engine::Node& parent, float fontSize);

    engine::LayerColor* box_ = nullptr;  // children of the parent node
    std::array<engine::Label*, kRows> names_{};
    std::array<engine::Label*, kRows> values_{};
    std::array<std::array<engine::Label*, kStatisticColumns>, kRows> statistics_{};
    std::array<engine::Label*, 1 + kStatisticColumns> headers_{};
    engine::Label* captures_ = nullptr;
};
