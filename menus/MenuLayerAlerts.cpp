// A menu's alerts, and how a menu leaves the screen.
#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuLayer.h"

namespace {

constexpr int kAlertZOrder = 200;

}  // namespace

AlertViewLayer* MenuLayer::showAlert(const std::vector<std::string>& buttons,
                                     const std::string& title, const std::string& message,
                                     AlertViewDelegate* delegate, const std::string& detail) {
    dropAlert();
    engine::Scene* scene = getScene();
    if (!scene)
        scene = engine::Director::getInstance()->getRunningScene();
    if (!scene)
        return nullptr;
    AlertViewLayer* alert = AlertViewLayer::create(buttons, title, message, detail, delegate);
    if (!alert)
        return nullptr;
    alert->retain();
    alert_ = alert;
    scene->addChild(alert, kAlertZOrder);
    return alert;
}

void MenuLayer::dropAlert() {
    if (!alert_)
        return;
    AlertViewLayer* alert = alert_;
    alert_ = nullptr;
    alert->setDelegate(nullptr);
    if (alert->getParent())
        alert->removeFromParentAndCleanup(true);
    alert->release();
}

void MenuLayer::onExit() {
    dropAlert();
    Layer::onExit();
}

void MenuLayer::close() {
    if (host_ && host_->getTopMenu() == this)
        host_->popMenu(true);
    else if (_parent)
        removeFromParentAndCleanup(true);
}

AlertViewLayer* MenuLayer::getOpenAlert() const {
    return alert_ && alert_->getParent() ? alert_ : nullptr;
}
