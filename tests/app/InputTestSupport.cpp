#include "tests/app/InputTestSupport.h"

#include <cstdint>

#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/ui/Button.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "menus/ScreenLog.h"

namespace apptest {

struct InputOwnerTest::Saved {
    uint32_t graticule, alerts;
    AccessoryDescription accessory;
    CursorSettings cursors;
    CommonSettings common;
    SpectrumViewSettings spectrum;
    PowerSettings power;
    DemoSelection demo;
    int displayClass, runState;
    bool connected;
};

void InputOwnerTest::SetUp() {
    AppGlTest::SetUp();
    SpectrumSettings& m = model();
    saved_ = new Saved{m.graticule,
                       m.alerts,
                       m.accessory,
                       m.cursors,
                       m.common_settings,
                       m.spectrum_settings,
                       m.power_setting,
                       m.demo,
                       m.runtime.displayClass,
                       m.runtime.runState.load(),
                       m.runtime.deviceConnected.load()};
    m.runtime.displayClass = 3;
    m.runtime.runState = SpectrumSettings::kRunning;
    m.runtime.deviceConnected = false;
    m.common_settings.spectrumMode = 1;
    m.spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    m.spectrum_settings.band = 0;
    m.cursors.cursorsShown = 0;
    control.isIdentified = true;
    main = MainScene::createWithModel(&m);
    ASSERT_NE(main, nullptr);
    engine::Director::getInstance()->replaceScene(main);
    step(1, 0);
    main->setAccessoryControl(&control);
    step(2);
}

void InputOwnerTest::TearDown() {
    MenuController::getInstance()->closeAll(false);
    MenuController::getInstance()->setAccessoryControl(nullptr);
    SpectrumSettings& m = model();
    if (log_) {
        m.runtime.screenLog = nullptr;
        log_->removeFromParentAndCleanup(true);
        log_->release();
        log_ = nullptr;
    }
    AppGlTest::TearDown();
    m.graticule = saved_->graticule;
    m.alerts = saved_->alerts;
    m.accessory = saved_->accessory;
    m.cursors = saved_->cursors;
    m.common_settings = saved_->common;
    m.spectrum_settings = saved_->spectrum;
    m.power_setting = saved_->power;
    m.demo = saved_->demo;
    m.runtime.displayClass = saved_->displayClass;
    m.runtime.runState = saved_->runState;
    m.runtime.deviceConnected = saved_->connected;
    m.accessPoints.clear();
    m.scanStatistics.clear();
    m.runtime.scanPaused = false;
    delete saved_;
}

MenuBar* InputOwnerTest::bar() const {
    return MenuController::getInstance()->getMenuBar();
}

void InputOwnerTest::openMenu(int id) {
    MenuController* controller = MenuController::getInstance();
    controller->closeAll(false);
    controller->openMenuFromButton(id, bar()->getButton(MenuBar::kModeMenuButton));
    step(40);
}

void InputOwnerTest::closeMenus() {
    MenuController::getInstance()->closeAll(false);
    step(2);
}

int InputOwnerTest::alertCount() const {
    int n = 0;
    for (engine::Node* child : main->getChildren())
        n += dynamic_cast<AlertViewLayer*>(child) != nullptr;
    return n;
}

AlertViewLayer* InputOwnerTest::openAlert() const {
    AlertViewLayer* alert = nullptr;
    for (engine::Node* child : main->getChildren()) {
        if (auto* a = dynamic_cast<AlertViewLayer*>(child))
            alert = a;
    }
    return alert;
}

ScreenLog* InputOwnerTest::installLog() {
    log_ = ScreenLog::create();
    if (!log_)
        return nullptr;
    log_->retain();
    // A stopped clock: the lines must not age out while a slow (sanitizer) build looks at them.
    log_->setWallClock([] { return uint64_t{1000}; });
    const engine::Rect view = main->viewArea();
    log_->setPosition(engine::Vec2(view.origin.x, 0));
    log_->setContentSize(engine::Size(view.size.width, view.getMaxY()));
    log_->setBottomMargin(view.origin.y);
    // As the application installs it.
    main->addChild(log_, 55);
    model().runtime.screenLog = log_;
    return log_;
}

Snapshot InputOwnerTest::snapshot() const {
    const SpectrumSettings& m = model();
    Snapshot s;
    auto add = [&s](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        s.bytes.insert(s.bytes.end(), b, b + n);
    };
    add(&m.graticule, sizeof m.graticule);
    add(&m.alerts, sizeof m.alerts);
    add(&m.cursors, sizeof m.cursors);
    add(&m.common_settings, sizeof m.common_settings);
    add(&m.spectrum_settings, sizeof m.spectrum_settings);
    add(&m.power_setting, sizeof m.power_setting);
    add(&m.demo, sizeof m.demo);
    s.requests = control.totalRequests();
    s.runState = m.runtime.runState.load();
    return s;
}

engine::Vec2 InputOwnerTest::centreOf(const engine::Node* node) {
    const engine::Size size = node->getContentSize();
    return node->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
}

engine::Rect InputOwnerTest::worldRect(const engine::Node* node, const engine::Rect& local) {
    const engine::Vec2 a = node->convertToWorldSpace(local.origin);
    const engine::Vec2 b =
        node->convertToWorldSpace(engine::Vec2(local.getMaxX(), local.getMaxY()));
    return engine::Rect(a.x, a.y, b.x - a.x, b.y - a.y);
}

}  // namespace apptest
