#pragma once

#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/base/EventKeyboard.h"
#include "menus/FocusRing.h"
#include "menus/MenuHost.h"
#include "menus/MenuMetrics.h"
#include "menus/MenuRow.h"

namespace engine {
class Label;
namespace ui {
class Button;
class ScrollView;
class Scale9Sprite;
class Slider;
}  // namespace ui
}  // namespace engine

class AlertViewDelegate;
class AlertViewLayer;
class Instrument;

// The base of every fly-up menu. The layer spans from the top of the menu bar to the top of the
// window; its panel sits at the bottom, as tall as its rows need (scrolling when they do not fit)
// and swallows the touches that land on it, so a click on an empty part of a menu never reaches
// the dimmed background (which would close it) or the views below. Rows are declared as data
// (MenuRow) and refreshed from their getters on the next draw after markForRefresh().
class MenuLayer : public engine::Layer {
  public:
    ~MenuLayer() override;

    // The panel's width for a display-size class.
    virtual float preferredWidth(int displayClass) const;
    void setMetrics(const MenuMetrics& metrics);
    const MenuMetrics& getMetrics() const { return metrics_; }
    // Lays the rows out again.
    void setContentSize(const engine::Size& size) override;

    // The row's index. Rows are laid out in the order they are added.
    int addRow(MenuRow row);
    int getRowCount() const { return static_cast<int>(rows_.size()); }

    void markForRefresh() {
        refreshPending_ = true;
        markStale();  // refreshed while visited: a frame must come
    }
    bool isRefreshPending() const { return refreshPending_; }
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // A key while this menu is on top; true when the menu used it. Escape is left to the
    // controller, which closes the top menu, unless a menu takes it first. Tab and the arrows
    // move a focus ring over the controls (left and right move a focused slider), Enter or Space
    // presses the focused button, Page Up/Down scroll.
    virtual bool keyPressed(engine::EventKeyboard::KeyCode key);
    // The focused control: row and index in the row (a slider is index 0); -1 without focus.
    int getFocusRow() const { return focusRow_; }
    int getFocusItem() const { return focusItem_; }

    // Shows an alert over the whole scene with this menu as its delegate. The alert goes when
    // the menu goes, so its delegate never outlives it.
    AlertViewLayer* showAlert(const std::vector<std::string>& buttons, const std::string& title,
                              const std::string& message, AlertViewDelegate* delegate,
                              const std::string& detail = "");
    AlertViewLayer* getOpenAlert() const;

    // Leaves the screen: the host pops it when it is the host's top menu, otherwise it simply
    // leaves its parent.
    void close();

    // Who shows this menu; the controller hands itself down when it shows the menu.
    void setHost(MenuHost* host) { host_ = host; }
    MenuHost* getHost() const { return host_; }

    // The controls of a row, for subclasses and tests. nullptr where the row has none.
    engine::ui::Button* getButton(int row, int index) const;
    engine::ui::Slider* getSlider(int row) const;
    engine::Label* getValueLabel(int row) const;
    engine::Label* getCaptionLabel(int row) const;
    engine::Node* getRowNode(int row) const;
    engine::ui::ScrollView* getScrollView() const { return scroll_; }
    // The panel in the layer's coordinates.
    engine::Rect getPanelRect() const { return panelRect_; }

    void onExit() override;

  protected:
    MenuLayer() = default;
    bool init() override;

    // How a menu changes settings and run state: its host's instrument. Only a menu shown by a
    // host has rows that change settings.
    Instrument& instrument() const { return host_->getInstrument(); }

    // Runs the getters of every row into its controls; shows and hides rows and lays them out
    // again when that changed. Subclasses add what their rows cannot say in onRefresh().
    void refresh();
    virtual void onRefresh() {}
    // Room at the top of the panel for content that is not a row (a picker's wheel).
    virtual float headerHeight() const { return 0; }
    virtual void layoutHeader(const engine::Rect& /*area*/) {}
    void layout();

  private:
    struct RowView {
        MenuRow row;
        engine::Node* node = nullptr;
        engine::Label* caption = nullptr;
        std::vector<engine::ui::Button*> buttons;
        engine::ui::Slider* slider = nullptr;
        engine::Label* value = nullptr;
        bool shown = true;
    };

    void buildRow(RowView& view);
    void refreshRow(RowView& view);
    void layoutRow(RowView& view, float width, float captionWidth);
    engine::ui::Button* makeButton(const std::string& title);
    void connect(engine::ui::Button* button, int rowIndex, int item);
    void buttonTapped(int rowIndex, int item);
    bool touchOnPanel(const engine::Vec2& worldPoint) const;
    engine::Node* focusable(int row, int item) const;
    // Moves the focus to the next usable control in reading order (direction +1 or -1), or
    // within the focused row only.
    bool moveFocus(int direction, bool withinRow);
    void showFocus();
    bool pressFocused();
    // Left/Right on a ringed slider: to the next value of its row, not merely the next percent.
    void stepSlider(RowView& view, int direction);
    void dropAlert();

    MenuHost* host_ = nullptr;  // not retained: the controller outlives every menu
    MenuMetrics metrics_;
    std::vector<RowView> rows_;
    engine::ui::Scale9Sprite* panel_ = nullptr;
    engine::ui::ScrollView* scroll_ = nullptr;
    engine::Rect panelRect_;
    bool refreshPending_ = true;
    AlertViewLayer* alert_ = nullptr;  // retained while shown
    int focusRow_ = -1;
    int focusItem_ = -1;
    FocusRing focusRing_;  // moves to the focused row
};
