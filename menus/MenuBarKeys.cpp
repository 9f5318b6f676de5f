#include <algorithm>

#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "menus/MenuBar.h"
#include "menus/MenuHost.h"
#include "menus/ScreenLog.h"
#include "model/SpectrumSettings.h"

// The bar's keyboard: its shortcuts and the focus ring over its buttons and the fly toggle.

using engine::Vec2;
using K = engine::EventKeyboard::KeyCode;

bool MenuBar::keyPressed(engine::EventKeyboard::KeyCode key, int modifiers) {
    switch (key) {
        case K::KEY_SPACE:
            runKeyPressed();
            return true;
        case K::KEY_S:
            toggleSingleShot();
            return true;
        case K::KEY_L:
            if (auto* log = dynamic_cast<ScreenLog*>(model().runtime.screenLog.load()))
                log->setShown(!log->isShown(), true);
            return true;
        case K::KEY_TAB:
            moveFocus((modifiers & engine::EventKeyboard::kShift) ? -1 : +1);
            return true;
        case K::KEY_RIGHT_ARROW:
            moveFocus(+1);
            return true;
        case K::KEY_LEFT_ARROW:
            moveFocus(-1);
            return true;
        case K::KEY_ENTER:
            return activateFocused();
        case K::KEY_ESCAPE:
            if (focus_ < 0)
                return false;
            clearFocus();
            return true;
        default:
            return false;
    }
}

void MenuBar::runKeyPressed() {
    instrument().runControl().runKey();
    refresh();
}

void MenuBar::toggleSingleShot() {
    instrument().runControl().toggleSingleShot();
    refresh();
}

bool MenuBar::focusable(int position) const {
    if (position == kFlyTogglePosition)
        return true;
    // While flown out only the toggle is on screen.
    return getFlyoutPercentage() < 50.f && buttons_[position] &&
           buttons_[position]->isTouchEnabled() && buttons_[position]->isVisible();
}

void MenuBar::moveFocus(int direction) {
    // The fly toggle comes first, then the buttons left to right.
    constexpr int kPositions = kButtonCount + 1;
    auto ringIndex = [](int position) { return position == kFlyTogglePosition ? 0 : position + 1; };
    auto positionAt = [](int index) { return index == 0 ? kFlyTogglePosition : index - 1; };
    int index = focus_ < 0 ? (direction > 0 ? -1 : kPositions) : ringIndex(focus_);
    for (int step = 1; step <= kPositions; ++step) {
        index = ((index + direction) % kPositions + kPositions) % kPositions;
        if (focusable(positionAt(index))) {
            focus_ = positionAt(index);
            break;
        }
    }
    showFocus();
}

void MenuBar::clearFocus() {
    focus_ = -1;
    showFocus();
}

void MenuBar::showFocus() {
    if (!focusRing_.attachTo(this, 3))
        return;
    focusRing_.clear();
    // Inside the control: the bar's edges would cut a ring around it.
    if (focus_ == kFlyTogglePosition) {
        focusRing_.surround(engine::Rect(0, 0, kFlyButtonWidth, _contentSize.height), -2.f);
        return;
    }
    if (focus_ < 0 || !buttons_[focus_])
        return;
    focusRing_.surround(buttons_[focus_]->getBoundingBox(), -2.f);
}

bool MenuBar::activateFocused() {
    if (focus_ == kFlyTogglePosition) {
        setFlownOut(getFlyoutPercentage() < 50.f, true);
        return true;
    }
    if (focus_ < 0 || !buttons_[focus_] || !buttons_[focus_]->isTouchEnabled())
        return false;
    const auto id = static_cast<ButtonId>(focus_);
    switch (id) {
        case kRunButton:
            runKeyPressed();
            break;
        case kSwitchButton:
            switchMode();
            break;
        default:
            host_->openMenuFromButton(menuIdFor(id), buttons_[id]);
            break;
    }
    return true;
}
