#include "menus/MenuController.h"

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "menus/MenuBar.h"
#include "model/SpectrumSettings.h"

MenuController* MenuController::getInstance() {
    static MenuController* instance = new MenuController();
    return instance;
}

float MenuController::barHeight(int displayClass) {
    return MenuBar::barHeightForDisplayClass(displayClass);
}

void MenuController::setScene(engine::Scene* scene) {
    closeAll(false);
    if (menuBar_) {
        menuBar_->removeFromParentAndCleanup(true);
        menuBar_->release();
        menuBar_ = nullptr;
    }
    scene_ = scene;
    if (scene_)
        createMenuBar();
}

void MenuController::detach() {
    setScene(nullptr);
}

void MenuController::createMenuBar() {
    const int displayClass = SpectrumSettings::getInstance()->runtime.displayClass;
    menuBar_ = MenuBar::create(displayClass);
    if (!menuBar_)
        return;
    menuBar_->retain();
    const engine::Director* director = engine::Director::getInstance();
    menuBar_->setContentSize(
        engine::Size(director->getVisibleSize().width, barHeight(displayClass)));
    // Until the menu buttons exist the bar rests flown out, showing the status strip behind it.
    const engine::Vec2 origin = director->getVisibleOrigin();
    menuBar_->setPosition(origin.x + director->getVisibleSize().width - MenuBar::kFlyButtonWidth,
                          origin.y);
    menuBar_->setConnected(SpectrumSettings::getInstance()->runtime.deviceConnected);
    scene_->addChild(menuBar_, kBarZOrder);
}

void MenuController::closeAll(bool /*animated*/) {
    // No menu can be open yet; the id goes back to "none" as every close-all does.
    currentMenu_ = kNoMenu;
}
