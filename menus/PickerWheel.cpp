#include "menus/PickerWheel.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Scale9Sprite.h"

using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
// Travel that turns a touch into a drag rather than a tap.
constexpr float kDragThreshold = 6.f;
// Two fingers spreading this far turn the wheel by one row.
constexpr float kSpreadPerNotch = 50.f;
// Fraction of the remaining distance covered per second while snapping.
constexpr float kSnapRate = 18.f;

}  // namespace

PickerWheel* PickerWheel::create(float rowHeight, float fontSize) {
    auto* wheel = new (std::nothrow) PickerWheel();
    if (wheel && wheel->initWithRowHeight(rowHeight, fontSize)) {
        wheel->autorelease();
        return wheel;
    }
    delete wheel;
    return nullptr;
}

PickerWheel::~PickerWheel() {
    for (engine::Touch* touch : touches_)
        touch->release();
}

bool PickerWheel::initWithRowHeight(float rowHeight, float fontSize) {
    if (!Layout::init())
        return false;
    rowHeight_ = std::max(1.f, rowHeight);
    fontSize_ = fontSize;
    setClippingEnabled(true);
    setCascadeOpacityEnabled(true);
    setBackGroundImage("wheel.png");
    setBackGroundImageScale9Enabled(true);
    if (auto* image = getBackGroundImage())
        image->setCascadeOpacityEnabled(true);

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* t, engine::Event*) { return touchBegan(t); };
    listener->onTouchMoved = [this](engine::Touch* t, engine::Event*) { touchMoved(t); };
    listener->onTouchEnded = [this](engine::Touch* t, engine::Event*) { touchEnded(t); };
    listener->onTouchCancelled = [this](engine::Touch* t, engine::Event*) { touchCancelled(t); };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);

    // A wheel notch turns one row, as a notch of a physical wheel would.
    auto* wheel = engine::EventListenerMouse::create();
    wheel->onScroll = [this](engine::EventMouse* event) {
        for (const engine::Node* node = this; node; node = node->getParent()) {
            if (!node->isVisible())
                return false;
        }
        if (!hitTest(event->getLocation()) || rowCount_ == 0)
            return false;
        const int notches = static_cast<int>(event->getScrollY());
        if (notches != 0)
            selectRow(getSelectedRow() - notches, true);
        return true;
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(wheel, this);
    return true;
}

void PickerWheel::onSizeChanged() {
    Layout::onSizeChanged();
    // Labels for the rows in view and one beyond each edge.
    const size_t needed = static_cast<size_t>(getVisibleRowCount()) + 3;
    while (labels_.size() < needed) {
        engine::Label* label = engine::Label::createWithTTF("", kFont, fontSize_);
        if (!label)
            break;
        addChild(label, 1);
        labels_.push_back(label);
        labelRows_.push_back(-1);
    }
    layoutLabels();
}

int PickerWheel::getVisibleRowCount() const {
    return std::max(1, static_cast<int>(_contentSize.height / rowHeight_));
}

void PickerWheel::reload(int rowCount, TitleFunction title) {
    rowCount_ = std::max(0, rowCount);
    title_ = std::move(title);
    std::fill(labelRows_.begin(), labelRows_.end(), -1);
    const float last = static_cast<float>(std::max(0, rowCount_ - 1));
    offset_ = std::clamp(offset_, 0.f, last);
    target_ = std::clamp(std::round(target_), 0.f, last);
    layoutLabels();
}

int PickerWheel::getSelectedRow() const {
    if (rowCount_ == 0)
        return -1;
    return std::clamp(static_cast<int>(std::lround(turning_ ? target_ : offset_)), 0,
                      rowCount_ - 1);
}

void PickerWheel::selectRow(int row, bool animated) {
    if (rowCount_ == 0)
        return;
    const float target = static_cast<float>(std::clamp(row, 0, rowCount_ - 1));
    if (animated) {
        turnTo(target);
        return;
    }
    offset_ = target_ = target;
    turning_ = false;
    unscheduleUpdate();
    layoutLabels();
}

void PickerWheel::turnTo(float target) {
    target_ = target;
    if (!turning_) {
        turning_ = true;
        scheduleUpdate();
    }
}

void PickerWheel::update(float dt) {
    if (!turning_)
        return;
    const float remaining = target_ - offset_;
    if (std::abs(remaining) < 0.01f) {
        offset_ = target_;
        turning_ = false;
        unscheduleUpdate();
    } else {
        offset_ += remaining * std::min(1.f, dt * kSnapRate);
    }
    layoutLabels();
}

engine::Vec2 PickerWheel::rowCentreInWorld(int row) const {
    const float y = _contentSize.height * 0.5f + (offset_ - row) * rowHeight_;
    return convertToWorldSpace(Vec2(_contentSize.width * 0.5f, y));
}

void PickerWheel::layoutLabels() {
    if (labels_.empty())
        return;
    const int first = static_cast<int>(std::floor(offset_)) - static_cast<int>(labels_.size()) / 2;
    const int selected = getSelectedRow();
    for (size_t i = 0; i < labels_.size(); ++i) {
        const int row = first + static_cast<int>(i);
        engine::Label* label = labels_[i];
        if (row < 0 || row >= rowCount_) {
            label->setVisible(false);
            labelRows_[i] = -1;
            continue;
        }
        if (labelRows_[i] != row) {
            // Shown literally: a title is never a format.
            label->setString(title_ ? title_(row) : std::string());
            labelRows_[i] = row;
        }
        label->setVisible(true);
        label->setPosition(_contentSize.width * 0.5f,
                           _contentSize.height * 0.5f + (offset_ - row) * rowHeight_);
        label->setColor(row == selected ? engine::Color3B(255, 255, 255)
                                        : engine::Color3B(127, 127, 127));
    }
}

// Touches ----------------------------------------------------------------------------------

float PickerWheel::spread() const {
    if (touches_.size() < 2)
        return 0;
    return touches_[0]->getLocation().distance(touches_[1]->getLocation());
}

bool PickerWheel::touchBegan(engine::Touch* touch) {
    for (const engine::Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible())
            return false;
    }
    if (!hitTest(touch->getLocation()) || touches_.size() >= 2)
        return false;
    touch->retain();
    touches_.push_back(touch);
    if (touches_.size() == 1) {
        dragged_ = false;
        pair_ = false;
    } else {
        spreadAtStart_ = spread();
        notchesTaken_ = 0;
        pair_ = true;  // a pair is never a tap, and its notches already chose the row
    }
    return true;
}

void PickerWheel::touchMoved(engine::Touch* touch) {
    if (touches_.size() == 2) {
        // Spreading is the wheel turned up: earlier rows come down under the band.
        const int notches =
            static_cast<int>(std::trunc((spread() - spreadAtStart_) / kSpreadPerNotch));
        if (notches != notchesTaken_) {
            const int base = getSelectedRow();
            selectRow(base - (notches - notchesTaken_), true);
            notchesTaken_ = notches;
        }
        return;
    }
    if (pair_ || touches_.size() != 1 || touches_[0] != touch)
        return;
    if (touch->getLocation().distance(touch->getStartLocation()) > kDragThreshold)
        dragged_ = true;
    if (!dragged_ || rowCount_ == 0)
        return;
    turning_ = false;
    unscheduleUpdate();
    // Finger up turns later rows into view.
    offset_ = std::clamp(offset_ + touch->getDelta().y / rowHeight_, -0.5f,
                         static_cast<float>(rowCount_) - 0.5f);
    target_ = offset_;
    layoutLabels();
}

void PickerWheel::touchEnded(engine::Touch* touch) {
    const bool last = touches_.size() == 1;
    const bool pair = pair_;
    touchCancelled(touch);
    if (rowCount_ == 0 || !last || pair)
        return;
    if (dragged_) {
        turnTo(std::clamp(std::round(offset_), 0.f, static_cast<float>(rowCount_ - 1)));
        return;
    }
    const Vec2 local = convertToNodeSpace(touch->getLocation());
    const int row = static_cast<int>(
        std::lround(offset_ + (_contentSize.height * 0.5f - local.y) / rowHeight_));
    if (row < 0 || row >= rowCount_)
        return;
    if (row == getSelectedRow() && !turning_) {
        if (onRowTapped)
            onRowTapped(row);
    } else {
        selectRow(row, true);
    }
}

void PickerWheel::touchCancelled(engine::Touch* touch) {
    auto it = std::find(touches_.begin(), touches_.end(), touch);
    if (it == touches_.end())
        return;
    touches_.erase(it);
    touch->release();
}
