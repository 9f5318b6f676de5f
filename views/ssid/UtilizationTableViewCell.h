#pragma once

#include <string>
#include <vector>

#include "engine/ui/TableViewCell.h"
#include "views/ssid/SSIDTableLayout.h"

namespace engine {
class Label;
class Sprite;
namespace ui {
class LoadingBar;
}
}  // namespace engine

struct AccessPoint;

// One row of the utilization table: a label per column, the lock icon, the level bar and a
// separator line. Header and empty rows show one text and hide the rest.
class UtilizationTableViewCell : public engine::ui::TableViewCell {
  public:
    static constexpr const char* kSeparator = "LineBar-grey.png";
    static constexpr const char* kLockIcon = "WifiIcon_lock.png";
    static constexpr const char* kLevelBar = "sliderwhite.png";

    static UtilizationTableViewCell* create();

    // Builds the labels for a layout; does nothing when the cell already has it.
    void build(const SSIDTableLayout& layout);
    int builtGeneration() const { return generation_; }

    // `selected`: the access point is in the utilization selection (its channel shows the
    // recommendation).
    void showAccessPoint(const AccessPoint& ap, bool selected = false);
    // A header ("2.4GHz SSID List", bold), "No SSID to display" or "!".
    void showText(const std::string& text, bool header);

    engine::Label* labelFor(SSIDTableColumn::Id id) const;
    engine::Label* getTextLabel() const { return text_; }
    engine::Sprite* getLockIcon() const { return lock_; }
    engine::ui::LoadingBar* getLevelBar() const { return bar_; }

  private:
    UtilizationTableViewCell() = default;
    void clearChildren();

    int generation_ = -1;
    std::vector<SSIDTableColumn::Id> ids_;
    std::vector<engine::Label*> labels_;  // children, by column
    std::vector<float> widths_;
    engine::Label* text_ = nullptr;
    engine::Sprite* lock_ = nullptr;
    engine::ui::LoadingBar* bar_ = nullptr;
    engine::Sprite* separator_ = nullptr;
};
