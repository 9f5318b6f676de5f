#include "menus/MenuController.h"

#include <algorithm>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/ActionInterval.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Button.h"
#include "menus/AlertViewLayer.h"
#include "menus/DemoMenu.h"
#include "menus/InputRanks.h"
#include "menus/MenuBar.h"
#include "menus/MenuLayer.h"
#include "menus/PowerMeasureMenu.h"
#include "menus/PowerMenu.h"
#include "menus/SettingsMenu.h"
#include "menus/ShortcutHelpLayer.h"
#include "menus/SpectrumColorMenu.h"
#include "menus/SpectrumCursors.h"
#include "menus/SpectrumMeasureMenu.h"
#include "menus/SpectrumMenu.h"
#include "menus/TriggerMenu.h"
#include "model/SpectrumSettings.h"

using engine::Rect;
using engine::Size;
using engine::Vec2;

namespace {

int displayClass() {
    return SpectrumSettings::getInstance()->runtime.displayClass;
}

}  // namespace

MenuController::MenuController() : instrument_(*SpectrumSettings::getInstance()) {
    // The menus built so far; the others join with setMenuFactory.
    factories_[7] = [] { return static_cast<MenuLayer*>(DemoMenu::create()); };
    factories_[8] = [] { return static_cast<MenuLayer*>(SettingsMenu::create()); };
    factories_[0] = [] { return static_cast<MenuLayer*>(SpectrumMenu::create()); };
    factories_[1] = [] { return static_cast<MenuLayer*>(PowerMenu::create()); };
    factories_[2] = [] { return static_cast<MenuLayer*>(SpectrumCursors::create()); };
    factories_[3] = [] { return static_cast<MenuLayer*>(SpectrumMeasureMenu::create()); };
    factories_[4] = [] { return static_cast<MenuLayer*>(PowerMeasureMenu::create()); };
    factories_[5] = [] { return static_cast<MenuLayer*>(SpectrumColorMenu::create()); };
    factories_[6] = [] { return static_cast<MenuLayer*>(TriggerMenu::create()); };
}

MenuController* MenuController::getInstance() {
    static MenuController* instance = new MenuController();
    return instance;
}

float MenuController::barHeight(int displayClass) {
    return MenuBar::barHeightForDisplayClass(displayClass);
}

Rect MenuController::visibleRect() const {
    const engine::Director* director = engine::Director::getInstance();
    return Rect(director->getVisibleOrigin(), director->getVisibleSize());
}

// Scene and bar ----------------------------------------------------------------------------

void MenuController::setScene(engine::Scene* scene) {
    closeAll(false);
    if (help_) {
        help_->removeFromParentAndCleanup(true);
        help_->release();
        help_ = nullptr;
    }
    if (menuBar_) {
        menuBar_->removeFromParentAndCleanup(true);
        menuBar_->release();
        menuBar_ = nullptr;
    }
    scene_ = scene;
    if (!scene_)
        return;
    createMenuBar();
    if (!keyListener_) {
        // Fixed priority, after the views: the bar hears the keys no view used while nothing
        // modal is open; it ignores them while it has no scene.
        keyListener_ = engine::EventListenerKeyboard::create();
        keyListener_->onKeyPressed = [this](engine::EventKeyboard::KeyCode key,
                                            engine::Event* event) {
            if (keyPressed(key, static_cast<engine::EventKeyboard*>(event)->getModifiers()))
                event->stopPropagation();
        };
        engine::Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(
            keyListener_, 1);
    }
}

void MenuController::detach() {
    setScene(nullptr);
}

void MenuController::refreshMenuBar() {
    if (menuBar_)
        menuBar_->refresh();
}

void MenuController::createMenuBar() {
    const int dc = displayClass();
    menuBar_ = MenuBar::create(dc, this);
    if (!menuBar_)
        return;
    menuBar_->retain();
    const Rect visible = visibleRect();
    menuBar_->setContentSize(Size(visible.size.width, barHeight(dc)));
    menuBar_->setPosition(visible.origin);
    menuBar_->setConnected(SpectrumSettings::getInstance()->runtime.deviceConnected);
    scene_->addChild(menuBar_, kBarZOrder);
}

void MenuController::setMenuFactory(int id, MenuFactory factory) {
    factories_[id] = std::move(factory);
}

// Opening ----------------------------------------------------------------------------------

void MenuController::openMenuFromButton(int id, engine::Node* button) {
    if (currentMenu_ != kNoMenu || !stack_.empty()) {
        closeAll(true);
        return;
    }
    auto factory = factories_.find(id);
    if (factory == factories_.end() || !factory->second || !button)
        return;
    MenuLayer* menu = factory->second();
    if (!menu)
        return;
    const Rect box = button->getBoundingBox();
    const engine::Node* parent = button->getParent();
    const Vec2 origin = parent ? parent->convertToWorldSpace(box.origin) : box.origin;
    currentMenu_ = id;
    showMenu(menu, Rect(origin, box.size));
    if (menuBar_)
        menuBar_->highlight(dynamic_cast<engine::ui::Button*>(button));
}

void MenuController::createBackground() {
    const Rect visible = visibleRect();
    const float bar = barHeight(displayClass());
    // Over everything but the bar: a tap on the bar must reach its buttons (closing all).
    background_ =
        engine::LayerColor::create(engine::Color4B(25, 25, 25, kDimOpacity), visible.size.width,
                                   std::max(0.f, visible.size.height - bar));
    background_->retain();
    background_->setPosition(visible.origin.x, visible.origin.y + bar);
    background_->setOpacity(0);
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    auto* background = background_;
    listener->onTouchBegan = [background](engine::Touch* touch, engine::Event*) {
        const Vec2 local = background->convertToNodeSpace(touch->getLocation());
        const Size size = background->getContentSize();
        return background->isVisible() && local.x >= 0 && local.y >= 0 && local.x <= size.width &&
               local.y <= size.height;
    };
    listener->onTouchEnded = [this, background](engine::Touch*, engine::Event*) {
        // Taps during a fade are swallowed but do not pop a second menu.
        if (background->getNumberOfRunningActions() == 0)
            popMenu(true);
    };
    background_->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                              background_);
    // The open menus own the keyboard and the pointer; the bar stays clickable beside them (a
    // click on it closes them).
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode key, engine::Event* event) {
        event->stopPropagation();
        keyPressed(key, static_cast<engine::EventKeyboard*>(event)->getModifiers());
    };
    background_->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, background_);
    scene_->addChild(background_, kBackgroundZOrder);
    background_->getEventDispatcher()->pushModal(background_, InputRanks::kMenu, menuBar_);
}

void MenuController::showMenu(MenuLayer* menu, const Rect& anchor) {
    if (!menu)
        return;
    menu->setHost(this);
    if (!scene_)
        return;
    if (stack_.empty()) {
        removeBackground();  // one still fading out from the last close
        createBackground();
    }
    const int dc = displayClass();
    const Rect visible = visibleRect();
    const float bar = barHeight(dc);
    // A menu never wider than the window, so the clamping below always has room.
    const float width = std::max(1.f, std::min(menu->preferredWidth(dc), visible.size.width - 4.f));
    menu->setMetrics(MenuMetrics::forDisplayClass(dc));
    menu->setContentSize(Size(width, std::max(0.f, visible.size.height - bar)));

    if (anchor.size.width > 0 || anchor.size.height > 0)
        anchor_ = anchor;
    float x = anchor_.getMidX() - width * 0.5f;
    x = std::clamp(x, visible.origin.x + 2.f, visible.getMaxX() - 2.f - width);
    const float y = std::max(anchor_.getMaxY(), visible.origin.y + bar);
    menu->setPosition(background_->convertToNodeSpace(Vec2(x, y)));
    menu->retain();
    background_->addChild(menu, kMenuZOrder);

    menu->setOpacity(0);
    menu->runAction(engine::FadeTo::create(kFadeTime, 255));
    if (!stack_.empty()) {
        MenuLayer* below = stack_.back();
        below->stopAllActions();
        below->runAction(engine::Sequence::create(
            engine::FadeTo::create(kFadeTime, 0),
            engine::CallFunc::create([below] { below->setVisible(false); })));
    } else {
        background_->runAction(engine::FadeTo::create(kFadeTime, kDimOpacity));
    }
    stack_.push_back(menu);
}

// Closing ----------------------------------------------------------------------------------

void MenuController::removeMenu(MenuLayer* menu) {
    auto it = std::find(leaving_.begin(), leaving_.end(), menu);
    if (it == leaving_.end())
        return;
    leaving_.erase(it);
    menu->removeFromParentAndCleanup(true);
    menu->release();
}

void MenuController::popMenu(bool animated) {
    if (stack_.empty())
        return;
    if (stack_.size() == 1) {
        // Nothing left to show: the background must not stay behind swallowing clicks.
        closeAll(animated);
        return;
    }
    MenuLayer* top = stack_.back();
    stack_.pop_back();
    leaving_.push_back(top);
    top->stopAllActions();
    if (animated) {
        top->runAction(
            engine::Sequence::create(engine::FadeTo::create(kFadeTime, 0),
                                     engine::CallFunc::create([this, top] { removeMenu(top); })));
    } else {
        removeMenu(top);
    }
    MenuLayer* below = stack_.back();
    below->stopAllActions();
    below->setVisible(true);
    if (animated) {
        below->runAction(engine::FadeTo::create(kFadeTime, 255));
    } else {
        below->setOpacity(255);
    }
}

void MenuController::closeAll(bool animated) {
    currentMenu_ = kNoMenu;
    // Fading out, the menus own nothing any more.
    if (background_)
        background_->getEventDispatcher()->removeModal(background_);
    if (menuBar_)
        menuBar_->clearHighlights();
    for (MenuLayer* menu : stack_)
        leaving_.push_back(menu);
    stack_.clear();
    if (!background_) {
        while (!leaving_.empty())
            removeMenu(leaving_.back());
        return;
    }
    if (!animated) {
        removeBackground();
        return;
    }
    for (MenuLayer* menu : leaving_) {
        menu->stopAllActions();
        menu->runAction(engine::FadeTo::create(kFadeTime, 0));
    }
    background_->stopAllActions();
    background_->runAction(
        engine::Sequence::create(engine::FadeTo::create(kFadeTime, 0),
                                 engine::CallFunc::create([this] { removeBackground(); })));
}

void MenuController::removeBackground() {
    while (!leaving_.empty())
        removeMenu(leaving_.back());
    if (!background_)
        return;
    engine::LayerColor* background = background_;
    background_ = nullptr;
    background->removeFromParentAndCleanup(true);
    background->release();
}

bool MenuController::isShortcutHelpShown() const {
    return help_ && help_->getParent() && help_->getParent() == scene_;
}

void MenuController::showShortcutHelp() {
    if (!scene_ || isShortcutHelpShown())
        return;
    if (help_)
        help_->release();
    help_ = ShortcutHelpLayer::create();
    if (!help_)
        return;
    help_->retain();
    scene_->addChild(help_, kHelpZOrder);
}

void MenuController::setMenusHiddenForCapture(bool hidden) {
    // Captures overlap when clicks come fast: the menus come back only after the last one.
    capturesHiding_ = std::max(0, capturesHiding_ + (hidden ? 1 : -1));
    hidden = capturesHiding_ > 0;
    for (MenuLayer* menu : stack_) {
        menu->stopAllActions();
        menu->setOpacity(hidden ? 0 : 255);
    }
    // Only the top menu is shown; the ones below stay hidden.
    for (size_t i = 0; i + 1 < stack_.size(); ++i)
        stack_[i]->setOpacity(0);
    if (background_) {
        background_->stopAllActions();
        background_->setOpacity(hidden ? 0 : kDimOpacity);
    }
    if (menuBar_)
        menuBar_->setVisible(!hidden);
}

// Keys -------------------------------------------------------------------------------------

bool MenuController::keyPressed(engine::EventKeyboard::KeyCode key, int modifiers) {
    using K = engine::EventKeyboard::KeyCode;
    if (!scene_)
        return false;
    if (key == K::KEY_F1) {
        showShortcutHelp();
        return true;
    }
    if (MenuLayer* top = getTopMenu()) {
        if (top->keyPressed(key))
            return true;
        if (key == K::KEY_ESCAPE) {
            popMenu(true);
            return true;
        }
        return false;
    }
    if (!menuBar_)
        return false;
    return menuBar_->keyPressed(key, modifiers);
}
