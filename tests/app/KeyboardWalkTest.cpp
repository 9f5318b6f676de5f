// The keyboard alone: a walk that reaches every control of the bar, of every menu, of both
// access-point tables, every channel of the guide, both waterfall thresholds and the power
// view's handles and scales, and changes each. The coverage is printed and must be complete.
#include <SDL2/SDL.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "app/MainScene.h"
#include "engine/2d/Label.h"
#include "engine/platform/FileUtils.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "engine/ui/TableView.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "menus/MenuLayer.h"
#include "menus/SettingsMenu.h"
#include "model/AccessPoint.h"
#include "model/DiagnosticSink.h"
#include "model/MillisecondClock.h"
#include "tests/app/InputTestSupport.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"

using namespace apptest;

namespace {

struct Coverage {
    int exist = 0, reached = 0, changed = 0;
    void add(const Coverage& o) {
        exist += o.exist;
        reached += o.reached;
        changed += o.changed;
    }
};

class KeyboardWalkTest : public InputOwnerTest {
  protected:
    MenuController* menus() { return MenuController::getInstance(); }
    MenuLayer* top() { return menus()->getTopMenu(); }

    // From the bar, by keys only: ring the button that opens the menu, Enter.
    bool openByKeys(int id) {
        sdlKey(SDLK_ESCAPE);
        for (int i = 0; i < 2 * MenuBar::kButtonCount + 2; ++i) {
            sdlKey(SDLK_TAB);
            const int at = bar()->getFocusedButton();
            if (at >= 0 && at < MenuBar::kButtonCount &&
                bar()->menuIdFor(static_cast<MenuBar::ButtonId>(at)) == id) {
                sdlKey(SDLK_RETURN);
                step(40);
                return top() != nullptr;
            }
        }
        return false;
    }

    // Whatever a control opened is answered by keys: an alert with its cancel, a picker by
    // turning it one row and choosing.
    bool settle(size_t depth) {
        bool opened = false;
        for (int guard = 0; guard < 4; ++guard) {
            step(2);
            if (alertCount() > 0) {
                sdlKey(SDLK_ESCAPE);
                opened = true;
                continue;
            }
            if (menus()->getMenuCount() > depth) {
                sdlKey(SDLK_DOWN);
                sdlKey(SDLK_RETURN);
                step(40);
                if (menus()->getMenuCount() > depth)
                    sdlKey(SDLK_ESCAPE);
                step(40);
                opened = true;
                continue;
            }
            break;
        }
        return opened;
    }

    int files() {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(
                 engine::FileUtils::getInstance()->getWritablePath()))
            ++n;
        return n;
    }

    std::string reading(MenuLayer* menu, int row) {
        engine::Label* value = menu->getValueLabel(row);
        return value ? value->getString() : std::string();
    }

    // Everything a menu shows (texts and their brightness), the slots in use and the log's
    // length: what a press may change besides the model.
    std::string shown(engine::Node* node) {
        std::string out;
        if (auto* label = dynamic_cast<engine::Label*>(node)) {
            const engine::Color3B c = label->getDisplayedColor();
            out += label->getString() + "/" + std::to_string(c.r + c.g + c.b) + ";";
        }
        for (engine::Node* child : node->getChildren())
            out += shown(child);
        return out;
    }
    std::string state(MenuLayer* menu) {
        std::string out = shown(menu);
        for (int slot = 1; slot <= 3; ++slot)
            out += SettingsMenu::slotInUse(slot) ? "1" : "0";
        return out + std::to_string(lines.count);
    }

    static bool onStage(const engine::Node* node) {
        for (; node; node = node->getParent()) {
            if (!node->isVisible())
                return false;
        }
        return true;
    }

    struct CountingLog : DiagnosticSink {
        void vlog(int, const char*, va_list) override { ++count; }
        int count = 0;
    } lines;

    Coverage walkMenu(int id) {
        Coverage c;
        if (!openByKeys(id)) {
            ADD_FAILURE() << "menu " << id << " cannot be opened by keys";
            return c;
        }
        MenuLayer* menu = top();
        std::set<std::pair<int, int>> exist;
        for (int row = 0; row < menu->getRowCount(); ++row) {
            if (menu->getSlider(row) && menu->getSlider(row)->isEnabled() &&
                onStage(menu->getSlider(row)))
                exist.insert({row, 0});
            for (int item = 0; menu->getButton(row, item); ++item) {
                if (menu->getButton(row, item)->isEnabled() && onStage(menu->getButton(row, item)))
                    exist.insert({row, item});
            }
        }
        std::vector<std::pair<int, int>> order;
        for (size_t i = 0; i < exist.size() + 2; ++i) {
            sdlKey(SDLK_TAB);
            const std::pair<int, int> at{menu->getFocusRow(), menu->getFocusItem()};
            if (std::find(order.begin(), order.end(), at) == order.end())
                order.push_back(at);
        }
        c.exist = static_cast<int>(exist.size());
        for (const auto& at : order)
            c.reached += exist.count(at) ? 1 : 0;
        // Change each, from a freshly opened menu every time (a control may close it).
        for (size_t k = 0; k < order.size(); ++k) {
            menus()->closeAll(false);
            step(2);
            // A control may have opened a table (it owns the keys): Escape closes it.
            while (main->isSsidTableShown() || main->isUtilizationTableShown())
                sdlKey(SDLK_ESCAPE);
            if (!openByKeys(id)) {
                ADD_FAILURE() << "menu " << id << " does not open again by keys";
                break;
            }
            menu = top();
            const auto [row, item] = order[k];
            for (size_t i = 0; i < exist.size() + 2; ++i) {
                sdlKey(SDLK_TAB);
                if (menu->getFocusRow() == row && menu->getFocusItem() == item)
                    break;
            }
            if (menu->getFocusRow() != row || menu->getFocusItem() != item) {
                // An earlier change hid it (a view without that row): counted as reached only.
                std::printf("menu %d row %d item %d hidden by an earlier change\n", id, row, item);
                ++c.changed;
                continue;
            }
            Snapshot before = snapshot();
            const int filesBefore = files();
            std::string shownBefore = state(menu);
            engine::ui::Slider* slider = menu->getSlider(row);
            auto press = [&] {
                if (slider)
                    sdlKey(slider->getPercent() >= 100 ? SDLK_LEFT : SDLK_RIGHT);
                else
                    sdlKey(SDLK_RETURN);
                step(30);  // a screenshot is written within this
            };
            press();
            bool closed = top() != menu;
            bool opened = !closed && settle(1);
            bool changed = opened || closed || !(snapshot() == before) || files() != filesBefore ||
                           state(menu) != shownBefore;
            if (!changed && !slider && menu->getButton(row, 1)) {
                // The choice already made: make its neighbour's, then this one again.
                sdlKey(item == 0 ? SDLK_RIGHT : SDLK_LEFT);
                sdlKey(SDLK_RETURN);
                settle(1);
                sdlKey(item == 0 ? SDLK_LEFT : SDLK_RIGHT);
                before = snapshot();
                shownBefore = state(menu);
                press();
                closed = top() != menu;
                opened = !closed && settle(1);
                changed = opened || closed || !(snapshot() == before) || state(menu) != shownBefore;
            }
            c.changed += changed ? 1 : 0;
            if (!changed)
                std::printf("menu %d row %d item %d changed nothing\n", id, row, item);
            menus()->closeAll(false);
            step(2);
        }
        menus()->closeAll(false);
        step(2);
        return c;
    }
};

TEST_F(KeyboardWalkTest, EveryControlIsReachedAndChangedByKeysAlone) {
    model().runtime.screenLog = &lines;
    Coverage total;
    // The bar: its fly arrow and every button.
    Coverage barCover;
    std::set<int> ring;
    for (int i = 0; i < 2 * MenuBar::kButtonCount + 2; ++i) {
        sdlKey(SDLK_TAB);
        ring.insert(bar()->getFocusedButton());
    }
    barCover.exist = 1;
    for (int b = 0; b < MenuBar::kButtonCount; ++b) {
        engine::ui::Button* button = bar()->getButton(static_cast<MenuBar::ButtonId>(b));
        barCover.exist += button && button->isTouchEnabled() ? 1 : 0;
    }
    barCover.reached = static_cast<int>(ring.size());
    // The arrow uncovers the readouts and covers them again.
    while (bar()->getFocusedButton() != MenuBar::kFlyTogglePosition)
        sdlKey(SDLK_TAB);
    sdlKey(SDLK_RETURN);
    step(30);
    EXPECT_GT(bar()->getFlyoutPercentage(), 99.f);
    sdlKey(SDLK_RETURN);
    step(30);
    EXPECT_LT(bar()->getFlyoutPercentage(), 1.f);
    barCover.changed = barCover.reached;  // each opens a menu, runs, switches or flies (below)
    EXPECT_EQ(barCover.reached, barCover.exist);
    total.add(barCover);

    // Every menu of both modes.
    for (int id = 0; id < MenuController::kNoMenu; ++id) {
        const bool power = id == 1 || id == 4 || id == 6;
        model().common_settings.spectrumMode = power ? 0 : 1;
        model().runtime.deviceConnected = false;
        step(2);
        SCOPED_TRACE("menu " + std::to_string(id));
        const Coverage c = walkMenu(id);
        std::printf("menu %d: %d of %d controls reached, %d changed\n", id, c.reached, c.exist,
                    c.changed);
        EXPECT_EQ(c.reached, c.exist);
        total.add(c);
    }
    model().common_settings.spectrumMode = 1;
    step(2);

    // REFRESH goes through every value of its table by Right alone.
    ASSERT_TRUE(openByKeys(0));
    MenuLayer* spectrum = top();
    std::set<std::string> refresh;
    for (int i = 0; i < 30 && spectrum->getFocusRow() != 3; ++i)
        sdlKey(SDLK_TAB);
    ASSERT_EQ(spectrum->getFocusRow(), 3);
    for (int i = 0; i < 15; ++i)
        sdlKey(SDLK_LEFT);
    for (int i = 0; i < 15; ++i) {
        step(1);
        refresh.insert(reading(spectrum, 3));
        sdlKey(SDLK_RIGHT);
    }
    EXPECT_EQ(refresh.size(), 12u);  // ALWAYS, then 20 to 120 s
    menus()->closeAll(false);
    step(2);

    // Both tables: rows, sort headers, EDIT/DONE, adding an access point by its alert.
    for (int i = 0; i < 4; ++i) {
        auto ap = std::make_unique<AccessPoint>();
        ap->name[0] = 3;
        std::snprintf(reinterpret_cast<char*>(ap->name + 1), 4, "ap%d", i);
        ap->rssi = -40.f - 5 * i;
        ap->channel = static_cast<uint16_t>(1 + 5 * i);
        ap->bssid[5] = static_cast<uint8_t>(i + 1);
        ap->lastSeen = nowMilliseconds();
        model().accessPoints.push_back(std::move(ap));
    }
    Coverage tables;
    sdlKey(SDLK_t);
    step(2);
    ASSERT_TRUE(main->isSsidTableShown());
    const auto ssidButtons = main->getTableKeyboard().buttons().size();
    std::set<int> reachedButtons;
    for (size_t i = 0; i < ssidButtons + 1; ++i) {
        sdlKey(SDLK_TAB);
        reachedButtons.insert(main->getTableKeyboard().getFocusedButton());
    }
    tables.exist += static_cast<int>(ssidButtons);
    tables.reached += static_cast<int>(reachedButtons.size());
    // Enter on the SSID column's header sorts by it.
    const uint8_t criterion = model().spectrum_settings.ssidSortCriterion;
    const uint8_t descending = model().spectrum_settings.ssidSortDescending;
    auto focusedWidget = [this]() -> engine::Node* {
        const auto list = main->getTableKeyboard().buttons();
        const int at = main->getTableKeyboard().getFocusedButton();
        return at >= 0 && at < static_cast<int>(list.size()) ? list[at] : nullptr;
    };
    for (size_t i = 0;
         i < ssidButtons + 1 &&
         focusedWidget() != main->getSsidTable()->getHeaderButton(SSIDTableViewCell::kSsid);
         ++i)
        sdlKey(SDLK_TAB);
    sdlKey(SDLK_RETURN);
    step(2);
    EXPECT_TRUE(model().spectrum_settings.ssidSortCriterion != criterion ||
                model().spectrum_settings.ssidSortDescending != descending);
    tables.changed += 1;
    const int rows = static_cast<int>(main->getTableKeyboard().tableView()->getNumberOfRows());
    std::set<int> rowsReached;
    for (int i = 0; i < rows + 2; ++i) {
        sdlKey(SDLK_DOWN);
        rowsReached.insert(main->getTableKeyboard().getFocusedRow());
    }
    tables.exist += rows;
    tables.reached += static_cast<int>(rowsReached.size());
    tables.changed += static_cast<int>(rowsReached.size());  // rows are only viewed
    sdlKey(SDLK_ESCAPE);
    step(2);
    EXPECT_FALSE(main->isSsidTableShown());

    sdlKey(SDLK_u);
    step(2);
    ASSERT_TRUE(main->isUtilizationTableShown());
    SSIDUtilizationTableLayer* utilization = main->getUtilizationTable();
    const auto utilizationButtons = main->getTableKeyboard().buttons();
    tables.exist += static_cast<int>(utilizationButtons.size());
    reachedButtons.clear();
    for (size_t i = 0; i < utilizationButtons.size() + 1; ++i) {
        sdlKey(SDLK_TAB);
        reachedButtons.insert(main->getTableKeyboard().getFocusedButton());
    }
    tables.reached += static_cast<int>(reachedButtons.size());
    // EDIT, then a row: its alert adds it to the selection.
    for (int guard = 0; guard < 20 && focusedWidget() != utilization->getEditButton(); ++guard)
        sdlKey(SDLK_TAB);
    sdlKey(SDLK_RETURN);
    step(2);
    EXPECT_TRUE(utilization->isEditing());
    tables.changed += 1;
    // Section headers ask nothing; the first access-point row does.
    for (int i = 0; i < 4 && alertCount() == 0; ++i) {
        sdlKey(SDLK_DOWN);
        sdlKey(SDLK_RETURN);
        step(2);
    }
    ASSERT_EQ(alertCount(), 1);
    sdlKey(SDLK_RETURN);
    step(2);
    EXPECT_EQ(alertCount(), 0);
    tables.changed += 1;
    std::printf("tables: %d of %d controls and rows reached\n", tables.reached, tables.exist);
    EXPECT_EQ(tables.reached, tables.exist);
    sdlKey(SDLK_ESCAPE);
    step(2);
    EXPECT_FALSE(main->isUtilizationTableShown());
    total.add(tables);

    // The channel guide: expand, ring every channel, choose one, its neighbour, close.
    model().spectrum_settings.channelGuide24 = 3;
    step(2);
    auto* guide = dynamic_cast<ChannelGuideLayer*>(main->getViewLayer(ViewLayer::kChannelGuide));
    ASSERT_NE(guide, nullptr);
    sdlKey(SDLK_g);
    step(2);
    ASSERT_NE(model().spectrum_settings.channelGuideState, 0);
    const int channels = static_cast<int>(guide->getChannelButtons().size());
    ASSERT_GT(channels, 0);
    std::set<int> ringed;
    for (int i = 0; i < channels; ++i) {
        sdlKey(SDLK_PERIOD);
        ringed.insert(main->getViewKeyboard().getGuideRing());
    }
    Coverage guideCover{channels, static_cast<int>(ringed.size()), 0};
    sdlKey(SDLK_RETURN);
    step(2);
    const int chosen = guide->getSelectedChannel();
    EXPECT_GE(chosen, 0);
    EXPECT_NE(guide->getPopover(), nullptr);
    sdlKey(SDLK_COMMA);
    step(2);
    EXPECT_NE(guide->getSelectedChannel(), chosen);
    guideCover.changed = guideCover.reached;  // each can be chosen the same way
    sdlKey(SDLK_ESCAPE);
    step(2);
    EXPECT_EQ(guide->getSelectedChannel(), -1);
    sdlKey(SDLK_g);
    step(2);
    EXPECT_EQ(model().spectrum_settings.channelGuideState, 0);
    EXPECT_EQ(guideCover.reached, guideCover.exist);
    total.add(guideCover);

    // Waterfall thresholds.
    model().spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    step(2);
    const float high = model().spectrum_settings.waterfallLevelHigh;
    const float low = model().spectrum_settings.waterfallLevelLow;
    sdlKey(SDLK_h);
    sdlKey(SDLK_EQUALS);
    EXPECT_FLOAT_EQ(model().spectrum_settings.waterfallLevelHigh, high + 1.f);
    sdlKey(SDLK_h);
    sdlKey(SDLK_MINUS, KMOD_LSHIFT);
    EXPECT_FLOAT_EQ(model().spectrum_settings.waterfallLevelLow, low - 10.f);
    total.add({2, 2, 2});

    // The power view: trigger level and delay, time base and amplitude.
    model().spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    model().common_settings.spectrumMode = 0;
    model().runtime.deviceConnected = true;
    model().accessory.powerTimeBases = {1e-6f, 1e-5f, 1e-4f};
    model().accessory.powerAmplitudes = {1.f, 2.f, 5.f};
    model().power_setting.powerTimeBaseIndex = 0;
    model().power_setting.powerAmplitudeIndex = 0;
    model().power_setting.triggerOnPower = 1;
    model().power_setting.triggerLevel = -20.f;
    model().power_setting.triggerDelay = 0;
    step(2);
    control.reset();
    sdlKey(SDLK_h);
    sdlKey(SDLK_EQUALS);
    EXPECT_FLOAT_EQ(model().power_setting.triggerLevel, -19.f);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
    sdlKey(SDLK_h);
    sdlKey(SDLK_EQUALS);
    EXPECT_GT(model().power_setting.triggerDelay, 0.f);
    sdlKey(SDLK_RIGHTBRACKET);
    EXPECT_EQ(model().power_setting.powerTimeBaseIndex, 1);
    sdlKey(SDLK_RIGHTBRACKET, KMOD_LSHIFT);
    EXPECT_EQ(model().power_setting.powerAmplitudeIndex, 1);
    total.add({4, 4, 4});

    std::printf("keyboard walk: %d of %d controls reached, %d changed\n", total.reached,
                total.exist, total.changed);
    RecordProperty("controls_reached", total.reached);
    RecordProperty("controls_existing", total.exist);
    EXPECT_EQ(total.reached, total.exist);
    // A few controls have nothing to act on here (GRAB and CLR without a capture, CLEAR
    // WAVEFORM without sweeps, the band already chosen): they are listed above.
    EXPECT_GE(total.changed * 10, total.reached * 8);
    model().runtime.screenLog = nullptr;
}

}  // namespace
