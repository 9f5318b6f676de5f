#pragma once

#include <array>
#include <string>

#include "engine/ui/TableViewCell.h"

namespace engine {
class DrawNode;
class Label;
class Sprite;
}  // namespace engine

// One row of the peak table, in the SSID table's style: a grey separator along its bottom, a
// square of the trace's colour, then the trace, rank, frequency and level texts.
class PeakTableViewCell : public engine::ui::TableViewCell {
  public:
    static constexpr int kColumns = 4;
    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr const char* kSeparatorImage = "LineBar-grey.png";

    struct Layout {
        float fontSize = 14;
        float rowHeight = 24;
        float width = 0;
        float swatchSize = 0;
        std::array<float, kColumns> x{};  // left edge of each text
    };
    // Columns sized by their widest texts, the room left over given to the frequency.
    static Layout measure(float fontSize, float rowHeight, float width);

    static PeakTableViewCell* create(const Layout& layout);

    void show(const std::array<std::string, kColumns>& texts, const uint8_t (&rgb)[3]);
    void showMessage(const std::string& text);

    engine::Label* getLabel(int column) const { return labels_[static_cast<size_t>(column)]; }
    engine::DrawNode* getSwatch() const { return swatch_; }

  private:
    PeakTableViewCell() = default;
    bool initWithLayout(const Layout& layout);

    Layout layout_;
    std::array<engine::Label*, kColumns> labels_{};  // children
    engine::DrawNode* swatch_ = nullptr;
    engine::Sprite* separator_ = nullptr;
};
