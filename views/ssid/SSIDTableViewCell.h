#pragma once

#include <array>
#include <string>

#include "engine/ui/TableViewCell.h"
#include "model/AccessPoint.h"

namespace engine {
class DrawNode;
class Label;
class Sprite;
namespace ui {
class LoadingBar;
}
}  // namespace engine

// One row of the SSID table: a grey separator along its bottom, one label per column, the lock
// icon beside the security text, the level bar beside the RSSI text and, before the name, a
// swatch of the outline's colour; the highlighted access point's row is shaded. Header and
// "No SSID to display" rows show a single message label instead.
class SSIDTableViewCell : public engine::ui::TableViewCell {
  public:
    enum Column { kSecurity, kMode, kSsid, kRssi, kBssid, kChannel, kFrequency, kCount };
    static constexpr int kColumnCount = 8;

    struct ColumnInfo {
        const char* name;        // header text
        int criterion;           // SSIDSortCriteria of its header button
        bool compact;            // also in the compact layout
        const char* sizingText;  // the widest text the column must hold (null: header only)
    };
    static constexpr std::array<ColumnInfo, kColumnCount> kColumns{{
        {"SEC.", 8, true, nullptr},
        {"MODE", 5, false, "a/n/ac"},
        {"SSID", 2, true, "ZZZZZZZZZZZZZZZZZZZ"},
        {"RSSI", 3, true, " -XXX dBm"},
        {"BSSID", 1, false, "[XX:XX:XX:XX:XX:XX]"},
        {"CH.", 4, true, "6L"},
        {"FREQ", 6, false, "5.999"},
        {"CNT.", 7, false, "999"},
    }};

    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr const char* kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
    static constexpr const char* kSeparatorImage = "LineBar-grey.png";
    static constexpr const char* kLockImage = "WifiIcon_lock.png";
    static constexpr const char* kBarImage = "sliderwhite.png";

    // Where the columns sit; the header buttons use the same boxes.
    struct Layout {
        float fontSize = 16;
        float rowHeight = 26;
        float width = 0;  // the table's width
        bool compact = false;
        std::array<bool, kColumnCount> shown{};
        std::array<float, kColumnCount> x{};
        std::array<float, kColumnCount> columnWidth{};
        float iconSize = 0;    // lock icon edge
        float swatchSize = 0;  // outline colour square before the name
        float barWidth = 0;    // level bar beside the RSSI text
        float lockX = 0;       // left edges of the icon and the bar, just after the widest texts
        float barX = 0;
    };
    // The column boxes for a font and table width: each column as wide as the larger of its
    // sizing text and its header with an arrow, the room left over shared out evenly. Measures
    // with real labels, so the font must be loadable.
    static Layout measure(float fontSize, float rowHeight, bool compact, float tableWidth);

    static SSIDTableViewCell* create(const Layout& layout);

    // Rebuilds the labels when the font size changed since they were made, else moves them.
    void applyLayout(const Layout& layout);
    void showAccessPoint(const AccessPoint& ap, bool highlighted = false);
    // Header and empty-section rows: the other labels, icon and bar are hidden.
    void showMessage(const std::string& text, bool header);

    engine::Label* getLabel(Column column) const { return labels_[column]; }
    engine::Label* getMessageLabel() const { return message_; }
    engine::Sprite* getLockIcon() const { return lock_; }
    engine::ui::LoadingBar* getLevelBar() const { return bar_; }
    engine::DrawNode* getSwatch() const { return swatch_; }
    bool isHighlighted() const { return highlighted_; }
    float getFontSize() const { return layout_.fontSize; }

  private:
    SSIDTableViewCell() = default;
    bool initWithLayout(const Layout& layout);
    void buildLabels();
    void placeChildren();
    void setRowVisible(bool visible);
    void fitLabel(engine::Label* label, float width);

    Layout layout_;
    std::array<engine::Label*, kColumnCount> labels_{};  // children
    engine::Label* message_ = nullptr;
    engine::Sprite* separator_ = nullptr;
    engine::Sprite* lock_ = nullptr;
    engine::ui::LoadingBar* bar_ = nullptr;
    engine::DrawNode* swatch_ = nullptr;  // row shade and colour square
    bool highlighted_ = false;
};
