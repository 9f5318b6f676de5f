#include "menus/ShortcutHelpLayer.h"

#include <algorithm>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "menus/InputRanks.h"

namespace {

const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";
constexpr float kFontSize = 15.f;
constexpr float kLine = 24.f;
// Width the longest key and meaning need at full size.
constexpr float kWidthNeeded = 1000.f;

}  // namespace

const std::vector<std::pair<std::string, std::string>>& ShortcutHelpLayer::shortcuts() {
    static const std::vector<std::pair<std::string, std::string>> keys = {
        {"Space", "Pause or run; from single shot, back to run"},
        {"S", "Single shot, or back to run from single shot"},
        {"Tab, Shift+Tab, Left, Right", "Ring the bar's arrow and buttons (the arrow: readouts)"},
        {"Enter", "Press the ringed control (a bar button opens its menu)"},
        {"Tab, Up, Down", "Ring a menu's controls; Left, Right move a ringed slider"},
        {"Up, Down, Page Up/Down, Home, End", "Turn a picker wheel; Enter chooses"},
        {"Escape", "Close the top alert, picker, menu, table or popover"},
        {"T, U", "Open or close the access-point table, the utilization table"},
        {"In a table: Tab, Up, Down", "Ring its buttons (sort, EDIT, close), move over rows"},
        {"G; comma, period; Enter", "Channel guide: expand, ring a channel, choose it"},
        {"H; + and -", "Ring a handle (thresholds, trigger level, delay); move it"},
        {"[ and ]", "Zoom: waterfall time scale, power time base (Shift: amplitude)"},
        {"Arrows (cursors on)", "Move the cursors (Shift: ten times as far)"},
        {"L", "Show or hide the on-screen log"},
        {"Mouse wheel", "Scroll a list or picker; one zoom step per notch"},
        {"Ctrl+Q", "Quit (the settings are saved)"},
        {"R", "Reset the measurement panel's statistics (power view)"},
        {"P", "Power-meter demonstration, when this one has none (power view)"},
        {"K", "Open or close the peak table (spectrum view)"},
        {"E", "Export the table on screen as CSV and JSON"},
        {"Up, Down (SSID table)", "Highlight the previous or next access point"},
        {"F1", "This help"},
    };
    return keys;
}

ShortcutHelpLayer* ShortcutHelpLayer::create() {
    auto* layer = new (std::nothrow) ShortcutHelpLayer();
    if (layer && layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool ShortcutHelpLayer::init() {
    if (!initWithColor(engine::Color4B(0, 0, 0, 210)))
        return false;
    const engine::Size size = engine::Director::getInstance()->getVisibleSize();
    const auto& keys = shortcuts();
    // Small windows get smaller lines, so every key stays on screen.
    const float scale = std::clamp(
        std::min(size.height / (kLine * (keys.size() + 3)), size.width / kWidthNeeded), 0.4f, 1.f);
    const float line = kLine * scale;
    const float fontSize = std::max(6.f, std::round(kFontSize * scale));
    float y = size.height * 0.5f + line * (keys.size() + 2) * 0.5f;
    if (auto* title = engine::Label::createWithTTF("Keyboard and mouse", kBoldFont, fontSize + 3)) {
        title->setPosition(size.width * 0.5f, y);
        addChild(title);
    }
    y -= line * 1.5f;
    const float middle = size.width * 0.42f;
    for (const auto& [key, meaning] : keys) {
        if (auto* label = engine::Label::createWithTTF(key, kBoldFont, fontSize)) {
            label->setAnchorPoint(engine::Vec2(1, 0.5f));
            label->setPosition(middle - 10, y);
            label->setColor(engine::Color3B(255, 216, 51));
            addChild(label);
        }
        if (auto* label = engine::Label::createWithTTF(meaning, kRegularFont, fontSize)) {
            label->setAnchorPoint(engine::Vec2(0, 0.5f));
            label->setPosition(middle + 10, y);
            addChild(label);
        }
        y -= line;
    }
    // Modal: a click anywhere closes it and reaches nothing behind.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](engine::Touch*, engine::Event*) { return true; };
    listener->onTouchEnded = [this](engine::Touch*, engine::Event*) {
        removeFromParentAndCleanup(true);
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);
    auto* anyKey = engine::EventListenerKeyboard::create();
    anyKey->onKeyPressed = [this](engine::EventKeyboard::KeyCode, engine::Event* event) {
        event->stopPropagation();
        removeFromParentAndCleanup(true);
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(anyKey, this);
    return true;
}

void ShortcutHelpLayer::onEnter() {
    LayerColor::onEnter();
    _eventDispatcher->pushModal(this, InputRanks::kHelp);
}

void ShortcutHelpLayer::onExit() {
    _eventDispatcher->removeModal(this);
    LayerColor::onExit();
}
