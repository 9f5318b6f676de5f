#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/2d/LayerColor.h"

// The keyboard and mouse habits of the desktop build over a dimmed window, opened with F1. Any
// click or key closes it; while shown it owns input.
class ShortcutHelpLayer : public engine::LayerColor {
  public:
    static ShortcutHelpLayer* create();
    bool init() override;
    void onEnter() override;
    void onExit() override;

    // Key and what it does, in the order shown.
    static const std::vector<std::pair<std::string, std::string>>& shortcuts();

  private:
    ShortcutHelpLayer() = default;
};
