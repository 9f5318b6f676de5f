#pragma once

#include "engine/2d/Layer.h"

namespace engine {
class LayerColor;
class Sprite;
}  // namespace engine

// The strip along the bottom of the window. This is the part the main scene relies on: the
// bar's height by display class, its connected flag and connection indicator, the fly-out
// position the status labels fade with, and refresh(). The menu buttons join it with the menus.
class MenuBar : public engine::Layer {
  public:
    static constexpr float kFlyButtonWidth = 40.f;

    static MenuBar* create(int displayClass);
    // 49 points for the small class 0, 75 for classes 1 to 3.
    static float barHeightForDisplayClass(int displayClass);

    bool initWithDisplayClass(int displayClass);
    void setContentSize(const engine::Size& size) override;

    // Re-reads connection (and, once they exist, mode, run and demo state) into the buttons.
    void refresh();
    // Stores the flag and refreshes when it changed.
    void setConnected(bool connected);
    bool isConnected() const { return connected_; }
    int getDisplayClass() const { return displayClass_; }
    int getRefreshCount() const { return refreshCount_; }

    // How far the bar has flown out of the strip: 0 at the left edge (covering the strip), 100
    // slid right until only the fly button shows. The status labels behind it fade with it.
    float getFlyoutPercentage() const;
    float getFlyButtonWidth() const { return kFlyButtonWidth; }

  private:
    MenuBar() = default;
    void layout();

    int displayClass_ = 0;
    bool connected_ = false;
    int refreshCount_ = 0;
    engine::LayerColor* background_ = nullptr;
    engine::Sprite* connectionIcon_ = nullptr;
    engine::Sprite* flyIcon_ = nullptr;
};
