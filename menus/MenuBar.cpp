#include "menus/MenuBar.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/ActionInterval.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Scene.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuHost.h"
#include "model/SpectrumSettings.h"

using engine::Size;
using engine::Vec2;
using engine::ui::Button;
using TouchType = engine::ui::Widget::TouchEventType;

namespace {

const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
const char* const kLongPressKey = "runLongPress";
const char* const kSettingsHoldKey = "settingsHold";
constexpr int kAlertZOrder = 200;
// Icon buttons are this many bar heights wide; the mode switch is wider for its words.
constexpr float kIconWidth = 1.0f;
constexpr float kSwitchWidth = 1.3f;
constexpr float kIndicatorWidth = 0.8f;

}  // namespace

MenuBar* MenuBar::create(int displayClass, MenuHost* host) {
    auto* bar = new (std::nothrow) MenuBar();
    if (bar && bar->initWithDisplayClass(displayClass, host)) {
        bar->autorelease();
        return bar;
    }
    delete bar;
    return nullptr;
}

float MenuBar::barHeightForDisplayClass(int displayClass) {
    return displayClass == 0 ? 49.f : 75.f;
}

float MenuBar::wideArrangementWidth(int displayClass) {
    const float h = barHeightForDisplayClass(displayClass);
    // Mode, cursors, measure, colours, demo, settings, run; the switch; the indicator.
    return kFlyButtonWidth + 7 * kIconWidth * h + kSwitchWidth * h + kIndicatorWidth * h;
}

bool MenuBar::initWithDisplayClass(int displayClass, MenuHost* host) {
    // Before the layer's own init, which lays the bar out and so reads the model.
    host_ = host;
    if (!host || !Layer::init())
        return false;
    displayClass_ = displayClass;
    const engine::Director* director = engine::Director::getInstance();
    wide_ = director->getVisibleSize().width >= wideArrangementWidth(displayClass);
    titleSize_ = std::round(barHeightForDisplayClass(displayClass) / 6.f);

    background_ = engine::LayerColor::create(engine::Color4B(24, 26, 30, 255));
    addChild(background_, 0);
    flyIcon_ = engine::Sprite::create("FlyinUnselected.png");
    if (flyIcon_)
        addChild(flyIcon_, 1);
    connectionIcon_ = engine::Sprite::create("disconnectedIcon.png");
    if (connectionIcon_)
        addChild(connectionIcon_, 1);

    for (int i = 0; i < kButtonCount; ++i) {
        const auto id = static_cast<ButtonId>(i);
        const bool inArrangement =
            wide_ ? id != kSettingsOrDemoButton : id != kDemoButton && id != kSettingsButton;
        if (inArrangement)
            buttons_[i] = makeButton(id);
    }

    // Touches on the bar that no button takes drag it, or fly it in and out from the toggle.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event*) {
        return onTouchBegan(touch);
    };
    listener->onTouchMoved = [this](engine::Touch* touch, engine::Event*) { onTouchMoved(touch); };
    listener->onTouchEnded = [this](engine::Touch* touch, engine::Event*) { onTouchEnded(touch); };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);

    setContentSize(Size(director->getVisibleSize().width, barHeightForDisplayClass(displayClass)));
    refresh();
    return true;
}

Button* MenuBar::makeButton(ButtonId id) {
    auto* button = Button::create();
    if (!button)
        return nullptr;
    button->ignoreContentAdaptWithSize(false);
    button->setTitleFontName(kBoldFont);
    // Drawn at twice the size and shown at half, so small titles stay crisp.
    button->setTitleFontSize(titleSize_ * 2.f);
    button->addTouchEventListener(
        [this, id](engine::Ref*, TouchType type) { buttonEvent(id, static_cast<int>(type)); });
    addChild(button, 2);
    return button;
}

// Layout -----------------------------------------------------------------------------------

void MenuBar::setContentSize(const Size& size) {
    Layer::setContentSize(size);
    layout();
}

void MenuBar::layout() {
    const float h = _contentSize.height;
    if (background_)
        background_->setContentSize(_contentSize);
    int icons = 0;
    for (int i = 0; i < kButtonCount; ++i)
        icons += buttons_[i] && i != kSwitchButton ? 1 : 0;
    // A narrow window gets narrower buttons (the compact bar), so the switch and the indicator
    // stay on screen and nothing overlaps.
    const float room = _contentSize.width - kFlyButtonWidth;
    const float full = h * (icons * kIconWidth + kSwitchWidth + kIndicatorWidth);
    const float squeeze = full > room && full > 0 ? std::max(0.f, room / full) : 1.f;
    const float unit = h * squeeze;
    if (flyIcon_) {
        const Size image = flyIcon_->getContentSize();
        if (image.height > 0)
            flyIcon_->setScale(h / image.height);
        flyIcon_->setPosition(kFlyButtonWidth * 0.5f, h * 0.5f);
    }
    if (connectionIcon_) {
        const Size image = connectionIcon_->getContentSize();
        if (image.height > 0)
            connectionIcon_->setScale(std::min(h * 0.5f, unit * kIndicatorWidth * 0.8f) /
                                      image.height);
        connectionIcon_->setPosition(_contentSize.width - unit * kIndicatorWidth * 0.5f, h * 0.5f);
    }
    // Icon buttons from the toggle on; the switch and indicator at the right end.
    float x = kFlyButtonWidth;
    for (int i = 0; i < kButtonCount; ++i) {
        Button* button = buttons_[i];
        if (!button || i == kSwitchButton)
            continue;
        button->setContentSize(Size(unit * kIconWidth, h));
        button->setPosition(x + unit * kIconWidth * 0.5f, h * 0.5f);
        x += unit * kIconWidth;
    }
    if (Button* button = buttons_[kSwitchButton]) {
        const float w = unit * kSwitchWidth;
        button->setContentSize(Size(std::max(1.f, w - 6.f), h * 0.5f));
        button->setPosition(
            std::max(x + w * 0.5f, _contentSize.width - unit * kIndicatorWidth - w * 0.5f),
            h * 0.5f);
    }
    refresh();
}

void MenuBar::setImages(ButtonId id, const std::string& stem, const std::string& title) {
    Button* button = buttons_[id];
    if (!button)
        return;
    stems_[id] = stem;
    const bool blank = stem == "BlankIcon";
    const std::string selected = blank ? "BlankIcon.png" : stem + "Selected.png";
    const std::string unselected = blank ? "BlankIcon.png" : stem + "Unselected.png";
    button->loadTextures(highlighted_[id] ? selected : unselected, selected, "");
    button->setTitleText(title);

    const Size size = button->getContentSize();
    const float h = size.height;
    if (id == kSwitchButton) {
        button->setScale9Enabled(true);
        button->setContentSize(size);
    } else {
        // The icon above, the title in the lower quarter; a compact button keeps it square.
        const float icon = std::min(h * 0.6f, size.width * 0.8f);
        for (engine::ui::Scale9Sprite* image :
             {button->getRendererNormal(), button->getRendererClicked(),
              button->getRendererDisabled()}) {
            image->setContentSize(Size(icon, icon));
            image->setPosition(size.width * 0.5f, title.empty() ? h * 0.5f : h * 0.62f);
        }
    }
    if (engine::Label* label = button->getTitleRenderer()) {
        // Half size, or less where a compact button is narrower than its title.
        const float text = label->getContentSize().width;
        label->setScale(text > 0 ? std::min(0.5f, size.width * 0.95f / text) : 0.5f);
        label->setPosition(size.width * 0.5f, id == kSwitchButton ? h * 0.5f : h * 0.25f);
    }
}

// State ------------------------------------------------------------------------------------

Instrument& MenuBar::instrument() const {
    return host_->getInstrument();
}

SpectrumSettings& MenuBar::model() const {
    return instrument().model();
}

bool MenuBar::spectrumMode() const {
    return model().common_settings.spectrumMode != CommonSettings::kPowerMode;
}

bool MenuBar::showsSettings() const {
    return settingsHold_ || connected_;
}

void MenuBar::refresh() {
    ++refreshCount_;
    const bool spectrum = spectrumMode();
    setImages(kModeMenuButton, spectrum ? "SpectrumIcon" : "SidekikIcon",
              spectrum ? "Spectrum" : "Power");
    setImages(kCursorsButton, "CursorIcon", "Cursors");
    setImages(kMeasureButton, "MeasureIcon", "Measure");
    setImages(kColorsButton, spectrum ? "ColorIcon" : "TriggerIcon",
              spectrum ? "Colors" : "Trigger");
    if (connected_)
        setImages(kDemoButton, "BlankIcon", "");
    else
        setImages(kDemoButton, "DemoIcon", "Demo");
    setImages(kSettingsButton, "SettingsIcon", "Settings");
    if (showsSettings())
        setImages(kSettingsOrDemoButton, "SettingsIcon", "Settings");
    else
        setImages(kSettingsOrDemoButton, "DemoIcon", "Demo");
    switch (model().runtime.runState.load()) {
        case SpectrumSettings::kRunning:
            setImages(kRunButton, "PauseIcon", "Pause");
            break;
        case SpectrumSettings::kPaused:
            setImages(kRunButton, "PlayIcon", "Play");
            break;
        default:
            setImages(kRunButton, "SingleShotIcon", "Single");
            break;
    }
    setImages(kSwitchButton, "Button", "Switch To");
    if (Button* demo = buttons_[kDemoButton])
        demo->setTouchEnabled(!connected_);
    if (connectionIcon_) {
        auto* texture = engine::Director::getInstance()->getTextureCache()->addImage(
            connected_ ? "connectedIcon.png" : "disconnectedIcon.png");
        if (texture)
            connectionIcon_->setTexture(texture);
    }
    updateFlyIcon();
    showFocus();
}

void MenuBar::setConnected(bool connected) {
    if (connected == connected_)
        return;
    connected_ = connected;
    refresh();
}

int MenuBar::menuIdFor(ButtonId id) const {
    const bool spectrum = spectrumMode();
    switch (id) {
        case kModeMenuButton:
            return spectrum ? 0 : 1;
        case kCursorsButton:
            return 2;
        case kMeasureButton:
            return spectrum ? 3 : 4;
        case kColorsButton:
            return spectrum ? 5 : 6;
        case kDemoButton:
            return connected_ ? -1 : 7;
        case kSettingsButton:
            return 8;
        case kSettingsOrDemoButton:
            return showsSettings() ? 8 : 7;
        default:
            return -1;
    }
}

void MenuBar::highlight(Button* button) {
    for (int i = 0; i < kButtonCount; ++i)
        highlighted_[i] = highlighted_[i] || (button && buttons_[i] == button);
    refresh();
}

void MenuBar::clearHighlights() {
    highlighted_.fill(false);
    refresh();
}

// Buttons ----------------------------------------------------------------------------------

void MenuBar::buttonEvent(ButtonId id, int type) {
    if (id == kRunButton) {
        runControlEvent(type);
        return;
    }
    if (id == kSettingsOrDemoButton) {
        settingsOrDemoEvent(type);
        return;
    }
    if (type != static_cast<int>(TouchType::ENDED))
        return;
    if (id == kSwitchButton) {
        switchMode();
        return;
    }
    const int menu = menuIdFor(id);
    if (menu >= 0 || host_->getCurrentMenu() != MenuHost::kNoMenu)
        host_->openMenuFromButton(menu, buttons_[id]);
}

void MenuBar::settingsOrDemoEvent(int type) {
    switch (static_cast<TouchType>(type)) {
        case TouchType::BEGAN:
            scheduleOnce([this](float) { settingsHoldFired(); }, kLongPressSeconds,
                         kSettingsHoldKey);
            break;
        case TouchType::ENDED:
            unschedule(kSettingsHoldKey);
            host_->openMenuFromButton(menuIdFor(kSettingsOrDemoButton),
                                      buttons_[kSettingsOrDemoButton]);
            break;
        case TouchType::CANCELED:
            unschedule(kSettingsHoldKey);
            break;
        default:
            break;
    }
}

void MenuBar::settingsHoldFired() {
    settingsHold_ = !settingsHold_;
    refresh();
}

void MenuBar::runControlEvent(int type) {
    switch (static_cast<TouchType>(type)) {
        case TouchType::BEGAN:
            longPressFired_ = false;
            scheduleOnce([this](float) { longPressFired(); }, kLongPressSeconds, kLongPressKey);
            break;
        case TouchType::ENDED:
            unschedule(kLongPressKey);
            if (!longPressFired_) {
                runControlTapped();
                break;
            }
            // The hold already chose the state; now ask for it.
            instrument().runControl().releaseAfterHold();
            break;
        case TouchType::CANCELED:
            unschedule(kLongPressKey);
            break;
        default:
            break;
    }
}

void MenuBar::longPressFired() {
    longPressFired_ = true;
    instrument().runControl().holdFired();
    refresh();
}

void MenuBar::runControlTapped() {
    instrument().runControl().tap();
    refresh();
}

void MenuBar::switchMode() {
    const AccessoryDescription& accessory = model().accessory;
    if (spectrumMode()) {
        if (!connected_ || accessory.hasPowerMeter)
            instrument().setSpectrumMode(CommonSettings::kPowerMode);
        else
            showAlert("Power Mode is unavailable with this hardware.");
    } else {
        if (!connected_ || accessory.hasSpectrum24 || accessory.hasSpectrum5)
            instrument().setSpectrumMode(CommonSettings::kSpectrumMode);
        else
            showAlert("Spectrum Mode is unavailable with this hardware.");
    }
    // Also when the mode stays: a capture's rescale view does not survive the attempt.
    instrument().forgetCaptureRescale();
    refresh();
}

MenuBar::~MenuBar() {
    if (alert_)
        alert_->release();
}

AlertViewLayer* MenuBar::getOpenAlert() const {
    return alert_ && alert_->getParent() ? alert_ : nullptr;
}

void MenuBar::alertDataLogStopped() {
    showAlert(
        "The data log stopped: its file could not be written. The rows before the failure "
        "are kept; the log on screen says why.");
    refresh();
}

void MenuBar::showAlert(const std::string& message) {
    engine::Scene* scene = getScene();
    if (!scene)
        return;
    if (alert_) {
        alert_->release();
        alert_ = nullptr;
    }
    // No delegate: "OK" only dismisses it, so it may outlive the bar safely.
    if (auto* alert = AlertViewLayer::create({"OK"}, "", message)) {
        alert_ = alert;
        alert_->retain();
        scene->addChild(alert, kAlertZOrder);
    }
}
