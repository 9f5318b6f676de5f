#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "menus/AlertViewDelegate.h"

namespace engine {
class Node;
}

// The delegate of alerts whose answer is a function. Whoever asked may be gone by the time the
// user presses a button (a table closed meanwhile), so the function, not a pointer to the asker,
// is what is kept; it decides what a late answer means. The owner must outlive the alerts'
// buttons, which holds when it is the alerts' parent or lives with it.
class AlertAnswers : public AlertViewDelegate {
  public:
    using Answer = std::function<void(int buttonIndex)>;

    AlertAnswers() = default;
    AlertAnswers(const AlertAnswers&) = delete;
    AlertAnswers& operator=(const AlertAnswers&) = delete;
    ~AlertAnswers() override;

    // Shows an alert on `parent`; a pressed button calls `answer` with its index, once.
    AlertViewLayer* show(engine::Node* parent, int zOrder, const std::string& title,
                         const std::string& message, const std::vector<std::string>& buttons,
                         Answer answer);

    // The newest alert still shown, or null.
    AlertViewLayer* openAlert();
    // Presses a button of the newest alert still shown (keyboard: Enter the first, Escape the
    // last); false when none is shown.
    bool pressOnOpenAlert(bool first);

    void alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) override;

  private:
    // Forgets alerts that left the screen without an answer.
    void prune();

    std::vector<std::pair<AlertViewLayer*, Answer>> pending_;  // alerts retained
};
