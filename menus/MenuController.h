#pragma once

#include <functional>
#include <map>
#include <vector>

#include "engine/base/EventKeyboard.h"
#include "engine/base/Types.h"
#include "instrument/Instrument.h"
#include "menus/MenuHost.h"

namespace engine {
class EventListenerKeyboard;
class LayerColor;
class Node;
class Scene;
}  // namespace engine

class AccessoryControl;
class MenuBar;
class MenuLayer;
class ShortcutHelpLayer;

// The one object that owns the menu bar and shows the menus over the scene: a stack of open
// menus above a dimmed background that covers everything but the bar. Created on first use and
// kept for the process. Menu ids: 0..8 the menus, 9 none open.
class MenuController : public MenuHost {
  public:
    static constexpr int kBarZOrder = 70;
    static constexpr int kBackgroundZOrder = 75;
    static constexpr int kMenuZOrder = 80;
    static constexpr int kHelpZOrder = 210;
    static constexpr uint8_t kDimOpacity = 217;
    static constexpr float kFadeTime = 0.5f;

    using MenuFactory = std::function<MenuLayer*()>;

    static MenuController* getInstance();

    // Attaches to a scene: closes what is open, drops the old scene and creates the bar in the
    // new one. Passing the scene it already has re-creates the bar (after a resize).
    void setScene(engine::Scene* scene);
    // Removes the bar and open menus from the scene and forgets it.
    void detach();
    engine::Scene* getScene() const override { return scene_; }
    MenuBar* getMenuBar() const { return menuBar_; }

    // How the bar and the menus steer the accessory; may be null (nothing to steer).
    void setAccessoryControl(AccessoryControl* control) {
        instrument_.setAccessoryControl(control);
    }
    AccessoryControl* getAccessoryControl() const { return instrument_.accessoryControl(); }
    // The funnel through which the bar and the menus change the process-wide model.
    Instrument& getInstrument() override { return instrument_; }

    // The menu a bar button opens; an id without a factory opens nothing.
    void setMenuFactory(int id, MenuFactory factory);

    // A bar button was released: with nothing open the button's menu opens above it; with
    // anything open everything closes and nothing opens.
    void openMenuFromButton(int id, engine::Node* button) override;
    // Pushes a menu anchored above a rectangle in world space; an empty rectangle reuses the
    // last anchor (a picker opened from a menu takes that menu's place).
    void showMenu(MenuLayer* menu, const engine::Rect& anchor) override;
    // Fades out the top menu; the one below comes back. The last one closes everything.
    void popMenu(bool animated) override;
    void closeAll(bool animated) override;

    int getCurrentMenu() const override { return currentMenu_; }
    MenuLayer* getTopMenu() const override { return stack_.empty() ? nullptr : stack_.back(); }
    void refreshMenuBar() override;
    size_t getMenuCount() const { return stack_.size(); }
    engine::LayerColor* getBackground() const { return background_; }

    // Hides the menus, the dimmed background and the bar for a screenshot, and brings them back
    // once every capture that hid them has called back.
    void setMenusHiddenForCapture(bool hidden) override;
    bool areMenusHiddenForCapture() const { return capturesHiding_ > 0; }

    // Keys that reach the controller: those of the open menus (the top menu, then Escape closes
    // it), or with none open, the bar's. F1 shows the help. True when used.
    bool keyPressed(engine::EventKeyboard::KeyCode key, int modifiers = 0);
    void showShortcutHelp();
    bool isShortcutHelpShown() const;

    // The bar's height for a display class, also when no bar exists yet.
    static float barHeight(int displayClass);

  private:
    MenuController();
    void createMenuBar();
    void createBackground();
    void removeBackground();
    void removeMenu(MenuLayer* menu);
    engine::Rect visibleRect() const;

    engine::Scene* scene_ = nullptr;  // not retained: the scene owns the controller's children
    MenuBar* menuBar_ = nullptr;      // retained
    engine::LayerColor* background_ = nullptr;  // retained while menus are open
    engine::EventListenerKeyboard* keyListener_ = nullptr;
    ShortcutHelpLayer* help_ = nullptr;  // retained while shown or kept for showing
    std::vector<MenuLayer*> stack_;      // retained
    std::vector<MenuLayer*> leaving_;    // fading out, retained until removed
    std::map<int, MenuFactory> factories_;
    Instrument instrument_;
    int currentMenu_ = kNoMenu;
    int capturesHiding_ = 0;
    engine::Rect anchor_;
};
