#pragma once

#include <string>
#include <vector>

#include "engine/2d/LayerColor.h"
#include "engine/base/EventKeyboard.h"
#include "menus/FocusRing.h"

namespace engine {
class EventListenerTouchOneByOne;
}  // namespace engine

class AlertViewDelegate;

// The modal message box: a title, a message and a row of buttons over a dimmed screen. While it
// is shown it owns input: every touch and key is its own. A button tells the delegate its index
// and removes the alert. Keys: Enter or Space presses the ringed button (the first at the
// start), Left, Right and Tab move the ring, Escape presses the last button (the cancel).
class AlertViewLayer : public engine::LayerColor {
  public:
    static AlertViewLayer* create(const std::vector<std::string>& buttonTitles,
                                  const std::string& title, const std::string& message,
                                  const std::string& detail = "",
                                  AlertViewDelegate* delegate = nullptr);

    bool initWithTexts(const std::vector<std::string>& buttonTitles, const std::string& title,
                       const std::string& message, const std::string& detail,
                       AlertViewDelegate* delegate);
    void onEnter() override;
    void onExit() override;
    // A key while the alert is open; every key is used (nothing behind may hear it).
    void keyPressed(engine::EventKeyboard::KeyCode key);
    int getFocusedButton() const { return focus_; }

    // What a button's touch-ended does: tell the delegate (when set), then leave the scene.
    void buttonPressed(int index);

    const std::string& getTitle() const { return title_; }
    const std::string& getMessage() const { return message_; }
    const std::string& getDetail() const { return detail_; }
    const std::vector<std::string>& getButtonTitles() const { return buttonTitles_; }
    void setDelegate(AlertViewDelegate* delegate) { delegate_ = delegate; }
    // The buttons in index order, once the box is built (after onEnter).
    const std::vector<engine::Node*>& getButtons() const { return buttons_; }

  private:
    AlertViewLayer() = default;
    void buildBox();
    void showFocus();

    std::string title_;
    std::string message_;
    std::string detail_;  // kept with the other texts; shown small under the message
    std::vector<std::string> buttonTitles_;
    AlertViewDelegate* delegate_ = nullptr;
    std::vector<engine::Node*> buttons_;  // children, in index order
    bool built_ = false;
    int focus_ = 0;
    FocusRing focusRing_;
};
