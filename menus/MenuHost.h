#pragma once

#include "engine/base/Types.h"

namespace engine {
class Node;
class Scene;
}  // namespace engine

class Instrument;
class MenuLayer;

// What the bar and the menus may ask of the one object that shows them (the menu controller).
// It hands itself down as this interface when it creates the bar and when it shows a menu, so no
// child looks the controller up, and neither the bar nor a menu includes the controller's header.
class MenuHost {
  public:
    // Menu ids: 0..8 the menus, 9 none open.
    static constexpr int kNoMenu = 9;

    virtual ~MenuHost() = default;

    // How the bar and the menus change settings and run state.
    virtual Instrument& getInstrument() = 0;
    // The scene the menus are shown over; null when detached.
    virtual engine::Scene* getScene() const = 0;

    // Pushes a menu anchored above a rectangle in world space; an empty rectangle reuses the
    // last anchor (a picker opened from a menu takes that menu's place).
    virtual void showMenu(MenuLayer* menu, const engine::Rect& anchor) = 0;
    // Fades out the top menu; the one below comes back.
    virtual void popMenu(bool animated) = 0;
    virtual void closeAll(bool animated) = 0;
    virtual MenuLayer* getTopMenu() const = 0;
    // The open menu's id, kNoMenu with none open.
    virtual int getCurrentMenu() const = 0;

    // A bar button was released: opens its menu, or closes what is open.
    virtual void openMenuFromButton(int id, engine::Node* button) = 0;
    // The bar re-reads mode, connection and run state (after a configuration load).
    virtual void refreshMenuBar() = 0;
    // Hides the menus and the bar for a screenshot and brings them back.
    virtual void setMenusHiddenForCapture(bool hidden) = 0;
};
