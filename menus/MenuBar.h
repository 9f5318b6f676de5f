#pragma once

#include <array>
#include <string>

#include "engine/2d/Layer.h"
#include "engine/base/EventKeyboard.h"
#include "menus/FocusRing.h"

namespace engine {
class Sprite;
class Touch;
namespace ui {
class Button;
}
}  // namespace engine

class AlertViewLayer;
class Instrument;
class MenuHost;
class SpectrumSettings;

// The strip of icon buttons along the bottom of the window: mode menu, cursors, measure,
// colours or trigger, demo and settings, run control, mode switch and the connection indicator.
// It can be dragged sideways (or flown out with the toggle at its left end) to uncover the
// status labels behind it. Two arrangements: wide windows get separate demo and settings
// buttons, narrow ones a single combined button.
class MenuBar : public engine::Layer {
  public:
    enum ButtonId {
        kModeMenuButton,
        kCursorsButton,
        kMeasureButton,
        kColorsButton,  // colours in spectrum mode, trigger in power mode
        kDemoButton,
        kSettingsButton,
        kSettingsOrDemoButton,  // narrow arrangement only
        kRunButton,
        kSwitchButton,
        kButtonCount
    };

    static constexpr float kFlyButtonWidth = 40.f;
    static constexpr float kLongPressSeconds = 1.f;

    // The bar opens menus and changes run state and mode through `host`, which outlives it.
    static MenuBar* create(int displayClass, MenuHost* host);
    // 49 points for the small class 0, 75 for classes 1 to 3.
    static float barHeightForDisplayClass(int displayClass);
    // The width all buttons need side by side; a visible width of at least this is wide.
    static float wideArrangementWidth(int displayClass);

    bool initWithDisplayClass(int displayClass, MenuHost* host);
    void setContentSize(const engine::Size& size) override;

    // Re-reads mode, connection, run state and demo state into the buttons.
    void refresh();
    // The link stopped the data log because its file could not be written: says so in an alert
    // (the reason is in the on-screen log) and shows START again.
    void alertDataLogStopped();
    // Stores the flag and refreshes when it changed.
    void setConnected(bool connected);
    bool isConnected() const { return connected_; }
    int getDisplayClass() const { return displayClass_; }
    int getRefreshCount() const { return refreshCount_; }
    bool isWide() const { return wide_; }
    bool isSettingsHold() const { return settingsHold_; }

    // How far the bar has flown out of the strip: 0 at the left edge (covering the strip), 100
    // slid right until only the fly button shows. The status labels behind it fade with it.
    float getFlyoutPercentage() const;
    float getFlyButtonWidth() const { return kFlyButtonWidth; }
    void setFlownOut(bool out, bool animated);

    // nullptr for a button the current arrangement does not have.
    engine::ui::Button* getButton(ButtonId id) const { return buttons_[id]; }
    // The menu a button opens now (MenuController ids), or -1.
    int menuIdFor(ButtonId id) const;
    void highlight(engine::ui::Button* button);
    void clearHighlights();

    // The run control's short tap.
    void runControlTapped();
    // "Switch To": the other mode when the accessory has it, else an alert.
    void switchMode();

    // The bar's keys while no modal is open: Space runs or pauses (and leaves single shot), S
    // toggles single shot, L shows or hides the on-screen log, Tab/Shift+Tab and Left/Right move
    // the ring, Enter presses the ringed control, Escape drops the ring. True when used.
    bool keyPressed(engine::EventKeyboard::KeyCode key, int modifiers);
    void runKeyPressed();
    void toggleSingleShot();
    // Keyboard: a ring moves over the fly toggle and the buttons (direction +1 or -1, wrapping);
    // Enter does what a tap on the ringed control does.
    static constexpr int kFlyTogglePosition = kButtonCount;
    void moveFocus(int direction);
    bool activateFocused();
    void clearFocus();
    // -1 without focus, kFlyTogglePosition on the toggle.
    int getFocusedButton() const { return focus_; }
    // The mode alert while it is shown, else nullptr.
    AlertViewLayer* getOpenAlert() const;
    ~MenuBar() override;

  private:
    MenuBar() = default;
    Instrument& instrument() const;
    SpectrumSettings& model() const;
    bool spectrumMode() const;
    engine::ui::Button* makeButton(ButtonId id);
    void setImages(ButtonId id, const std::string& stem, const std::string& title);
    void layout();
    void buttonEvent(ButtonId id, int type);
    void runControlEvent(int type);
    void settingsOrDemoEvent(int type);
    void longPressFired();
    void settingsHoldFired();
    bool showsSettings() const;
    void showAlert(const std::string& message);
    void dragTo(float x);
    void updateFlyIcon();
    bool onTouchBegan(engine::Touch* touch);
    void onTouchMoved(engine::Touch* touch);
    void onTouchEnded(engine::Touch* touch);

    MenuHost* host_ = nullptr;
    int displayClass_ = 0;
    bool wide_ = true;
    bool connected_ = false;
    bool settingsHold_ = false;
    bool longPressFired_ = false;
    int refreshCount_ = 0;
    float titleSize_ = 12.f;
    engine::Node* background_ = nullptr;
    engine::Sprite* connectionIcon_ = nullptr;
    engine::Sprite* flyIcon_ = nullptr;
    std::array<engine::ui::Button*, kButtonCount> buttons_{};
    std::array<std::string, kButtonCount> stems_{};  // image name without "Selected.png"
    std::array<bool, kButtonCount> highlighted_{};
    void showFocus();
    bool focusable(int position) const;

    AlertViewLayer* alert_ = nullptr;  // retained
    int focus_ = -1;
    FocusRing focusRing_;
    bool dragMoved_ = false;
    float dragStartX_ = 0;
};
