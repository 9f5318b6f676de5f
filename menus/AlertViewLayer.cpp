#include "menus/AlertViewLayer.h"

#include <algorithm>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/ui/Button.h"
#include "menus/AlertViewDelegate.h"
#include "menus/InputRanks.h"

using engine::Vec2;

namespace {

constexpr float kBoxWidth = 360.f;
constexpr float kBoxHeight = 200.f;
constexpr float kButtonWidth = 120.f;
constexpr float kButtonHeight = 40.f;
constexpr float kTitleSize = 16.f;
constexpr float kMessageSize = 14.f;
const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";

// The engine breaks lines only at '\n': longer messages are broken between words here so that
// they stay inside the box.
std::string wrapMessage(const std::string& text, float maxWidth) {
    auto width = [](const std::string& line) {
        engine::Label* probe = engine::Label::createWithTTF(line, kRegularFont, kMessageSize);
        return probe ? probe->getContentSize().width : 0.f;
    };
    std::string wrapped;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line;
        size_t word = start;
        while (word < end) {
            size_t next = text.find(' ', word);
            if (next == std::string::npos || next > end)
                next = end;
            const std::string piece = text.substr(word, next - word);
            const std::string candidate = line.empty() ? piece : line + " " + piece;
            if (!line.empty() && width(candidate) > maxWidth) {
                wrapped += line + "\n";
                line = piece;
            } else {
                line = candidate;
            }
            word = next + 1;
        }
        wrapped += line;
        if (end >= text.size())
            break;
        wrapped += "\n";
        start = end + 1;
    }
    return wrapped;
}

}  // namespace

AlertViewLayer* AlertViewLayer::create(const std::vector<std::string>& buttonTitles,
                                       const std::string& title, const std::string& message,
                                       const std::string& detail, AlertViewDelegate* delegate) {
    auto* alert = new (std::nothrow) AlertViewLayer();
    if (alert && alert->initWithTexts(buttonTitles, title, message, detail, delegate)) {
        alert->autorelease();
        return alert;
    }
    delete alert;
    return nullptr;
}

bool AlertViewLayer::initWithTexts(const std::vector<std::string>& buttonTitles,
                                   const std::string& title, const std::string& message,
                                   const std::string& detail, AlertViewDelegate* delegate) {
    if (!initWithColor(engine::Color4B(0, 0, 0, 127)))
        return false;
    buttonTitles_ = buttonTitles;
    title_ = title;
    message_ = message;
    detail_ = detail;
    delegate_ = delegate;

    // Nothing behind the alert may be touched while it is shown.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](engine::Touch*, engine::Event*) { return true; };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode key, engine::Event* event) {
        event->stopPropagation();
        keyPressed(key);
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(keys, this);
    return true;
}

void AlertViewLayer::onEnter() {
    LayerColor::onEnter();
    if (!built_)
        buildBox();
    _eventDispatcher->pushModal(this, InputRanks::kAlert);
}

void AlertViewLayer::onExit() {
    _eventDispatcher->removeModal(this);
    LayerColor::onExit();
}

void AlertViewLayer::keyPressed(engine::EventKeyboard::KeyCode key) {
    using K = engine::EventKeyboard::KeyCode;
    const int count = static_cast<int>(buttonTitles_.size());
    switch (key) {
        case K::KEY_ENTER:
        case K::KEY_SPACE:
            if (count > 0)
                buttonPressed(std::clamp(focus_, 0, count - 1));
            break;
        case K::KEY_ESCAPE:
            if (count > 0)
                buttonPressed(count - 1);
            break;
        case K::KEY_TAB:
        case K::KEY_RIGHT_ARROW:
        case K::KEY_LEFT_ARROW:
            if (count > 0) {
                focus_ = (focus_ + (key == K::KEY_LEFT_ARROW ? count - 1 : 1)) % count;
                showFocus();
            }
            break;
        default:
            break;
    }
}

void AlertViewLayer::showFocus() {
    if (!focusRing_.attachTo(this, 5))
        return;
    focusRing_.clear();
    if (focus_ < 0 || focus_ >= static_cast<int>(buttons_.size()))
        return;
    focusRing_.surround(buttons_[focus_]->getBoundingBox(), 3.f);
}

void AlertViewLayer::buildBox() {
    built_ = true;
    const engine::Size size = _contentSize;
    const Vec2 centre(size.width * 0.5f, size.height * 0.5f);

    auto* background = engine::Sprite::create("AlertViewBackground.png");
    if (background) {
        background->setPosition(centre);
        const engine::Size image = background->getContentSize();
        if (image.width > 0 && image.height > 0)
            background->setScale(kBoxWidth / image.width, kBoxHeight / image.height);
        addChild(background, 1);
    }
    auto* spotlight = engine::Sprite::create("AlertViewSpotlight.png");
    if (spotlight) {
        // A glow hanging from the inside of the box's top edge, behind the title.
        const engine::Size image = spotlight->getContentSize();
        float scale = image.width > 0 ? kBoxWidth * 0.9f / image.width : 1.f;
        spotlight->setScale(scale);
        spotlight->setPosition(centre.x,
                               centre.y + kBoxHeight * 0.5f - 2.f - image.height * scale * 0.5f);
        addChild(spotlight, 2);
    }

    float top = centre.y + kBoxHeight * 0.5f;
    if (auto* label = engine::Label::createWithTTF(title_, kBoldFont, kTitleSize)) {
        label->setPosition(centre.x, top - 28.f);
        addChild(label, 3);
    }
    if (auto* label = engine::Label::createWithTTF(
            wrapMessage(message_, kBoxWidth - 40.f), kRegularFont, kMessageSize,
            engine::Size(kBoxWidth - 40.f, 70.f), engine::TextHAlignment::CENTER)) {
        label->setPosition(centre.x, top - 88.f);
        addChild(label, 3);
    }
    if (!detail_.empty()) {
        if (auto* label = engine::Label::createWithTTF(detail_, kRegularFont, kMessageSize - 2)) {
            label->setPosition(centre.x, top - 128.f);
            label->setColor(engine::Color3B(180, 180, 180));
            addChild(label, 3);
        }
    }

    // Buttons side by side along the bottom of the box; the first is the default and gets the
    // accented image.
    const int count = static_cast<int>(buttonTitles_.size());
    const float gap = 12.f;
    const float rowWidth = count * kButtonWidth + std::max(0, count - 1) * gap;
    float x = centre.x - rowWidth * 0.5f + kButtonWidth * 0.5f;
    const float y = centre.y - kBoxHeight * 0.5f + kButtonHeight * 0.5f + 14.f;
    for (int i = 0; i < count; ++i) {
        const bool primary = i == 0;
        auto* button = engine::ui::Button::create(
            primary ? "AlertButtonUnselected.png" : "ButtonUnselected.png",
            primary ? "AlertButtonSelected.png" : "ButtonSelected.png");
        if (!button)
            continue;
        button->setScale9Enabled(true);
        button->setContentSize(engine::Size(kButtonWidth, kButtonHeight));
        button->setTitleFontName(kBoldFont);
        button->setTitleFontSize(kMessageSize);
        button->setTitleText(buttonTitles_[i]);
        button->setPosition(x, y);
        button->setTag(i);
        button->addTouchEventListener(
            [this](engine::Ref* sender, engine::ui::Widget::TouchEventType type) {
                if (type == engine::ui::Widget::TouchEventType::ENDED)
                    buttonPressed(static_cast<engine::Node*>(sender)->getTag());
            });
        addChild(button, 4);
        buttons_.push_back(button);
        x += kButtonWidth + gap;
    }
    // Only with a choice to make: a lone OK needs no ring.
    if (count > 1)
        showFocus();
}

void AlertViewLayer::buttonPressed(int index) {
    // Keep this alive through the delegate call and the removal.
    retain();
    if (delegate_)
        delegate_->alertViewButtonPressed(this, index);
    if (_parent)
        removeFromParentAndCleanup(true);
    release();
}
