#include "menus/ShortcutHelpLayer.h"

#include <algorithm>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"

namespace {

const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";
constexpr float kFontSize = 15.f;
constexpr float kLine = 24.f;

}  // namespace

const std::vector<std::pair<std::string, std::string>>& ShortcutHelpLayer::shortcuts() {
    static const std::vector<std::pair<std::string, std::string>> keys = {
        {"Space", "Pause or run (the run button)"},
        {"S", "Single shot (or hold the run button for a second)"},
        {"Tab, Left, Right", "Move the ring between the bar's buttons"},
        {"Enter", "Open the ringed button's menu, or press the ringed control"},
        {"Tab, Up, Down", "Move the ring between a menu's controls"},
        {"Left, Right", "Move a ringed slider"},
        {"Up, Down, Page Up/Down, Home, End", "Turn a picker wheel"},
        {"Escape", "Close the top menu, or cancel its alert or picker"},
        {"Mouse wheel", "One picker row per notch; zoom where the views pinch"},
        {"Drag the bar, or click its arrow", "Uncover the readouts behind the bar"},
        {"T", "Open or close the access-point (SSID) table (spectrum view)"},
        {"U", "Open or close the access-point utilization table (spectrum view)"},
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
    float y = size.height * 0.5f + kLine * (keys.size() + 2) * 0.5f;
    if (auto* title =
            engine::Label::createWithTTF("Keyboard and mouse", kBoldFont, kFontSize + 3)) {
        title->setPosition(size.width * 0.5f, y);
        addChild(title);
    }
    y -= kLine * 1.5f;
    const float middle = size.width * 0.42f;
    for (const auto& [key, meaning] : keys) {
        if (auto* label = engine::Label::createWithTTF(key, kBoldFont, kFontSize)) {
            label->setAnchorPoint(engine::Vec2(1, 0.5f));
            label->setPosition(middle - 10, y);
            label->setColor(engine::Color3B(255, 216, 51));
            addChild(label);
        }
        if (auto* label = engine::Label::createWithTTF(meaning, kRegularFont, kFontSize)) {
            label->setAnchorPoint(engine::Vec2(0, 0.5f));
            label->setPosition(middle + 10, y);
            addChild(label);
        }
        y -= kLine;
    }
    // Modal: a click anywhere closes it and reaches nothing behind.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](engine::Touch*, engine::Event*) { return true; };
    listener->onTouchEnded = [this](engine::Touch*, engine::Event*) {
        removeFromParentAndCleanup(true);
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);
    return true;
}
