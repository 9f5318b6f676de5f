#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/2d/LayerColor.h"

// The keyboard and mouse habits of the desktop build over a dimmed window, opened with F1. Any
// click or key closes it (the menu controller routes keys to it first).
class ShortcutHelpLayer : public engine::LayerColor {
  public:
    static ShortcutHelpLayer* create();
    bool init() override;

    // Key and what it does, in the order shown.
    static const std::vector<std::pair<std::string, std::string>>& shortcuts();

  private:
    ShortcutHelpLayer() = default;
};
