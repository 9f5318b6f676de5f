#pragma once

#include "engine/base/Types.h"

namespace engine {
class Scene;
}

class MenuBar;

// The one object that owns the menu bar and shows the menus over the scene. Created on first use
// and kept for the process. Menu ids: 0..8 the menus, 9 none open.
class MenuController {
  public:
    static constexpr int kNoMenu = 9;
    static constexpr int kBarZOrder = 70;

    static MenuController* getInstance();

    // Attaches to a scene: closes what is open, drops the old scene and creates the bar in the
    // new one. Passing the scene it already has re-creates the bar (after a resize).
    void setScene(engine::Scene* scene);
    // Removes the bar and open menus from the scene and forgets it.
    void detach();
    engine::Scene* getScene() const { return scene_; }
    MenuBar* getMenuBar() const { return menuBar_; }

    void closeAll(bool animated);
    int getCurrentMenu() const { return currentMenu_; }

    // The bar's height for a display class, also when no bar exists yet.
    static float barHeight(int displayClass);

  private:
    MenuController() = default;
    void createMenuBar();

    engine::Scene* scene_ = nullptr;  // not retained: the scene owns the controller's children
    MenuBar* menuBar_ = nullptr;      // retained
    int currentMenu_ = kNoMenu;
};
