// The SSID table layer in a real window: every column of a row, sorting through the header
// buttons, "CLEAR TABLE", the place in the list across refreshes, the wheel, and the compact
// layout of small displays. The tests play the main scene's part (sort, then refresh) by hand.
#include "views/ssid/SSIDTableLayer.h"

#include <string>
#include <vector>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Button.h"
#include "engine/ui/LoadingBar.h"
#include "engine/ui/TableView.h"
#include "model/AccessPointAgeing.h"
#include "tests/ssidtable/SSIDTableTestSupport.h"
#include "views/ssid/SSIDTableTexts.h"

using namespace ssidtabletest;
using engine::Vec2;
using Column = SSIDTableViewCell::Column;

namespace {

class SSIDTableLayerTest : public SSIDTableGlTest {
  protected:
    SSIDTableLayer* makeLayer() {
        layer = SSIDTableLayer::createWithModel(model.get(), engine::Rect(0, 75, 960, 565));
        if (layer) {
            scene->addChild(layer);
            sortAndRefresh();
        }
        return layer;
    }
    // What the main scene does when ssidTableChanged is raised.
    void sortAndRefresh() {
        AccessPointAgeing::sortForTables(*model, true, false);
        layer->refresh();
    }
    void add(const std::string& name, float rssi, int channel = 6, int is5GHz = 0) {
        model->accessPoints.push_back(makeAccessPoint(name, rssi, channel, is5GHz));
    }
    SSIDTableViewCell* cell(ssize_t row) const {
        return dynamic_cast<SSIDTableViewCell*>(layer->getTableView()->cellAtIndex(row));
    }
    std::string text(ssize_t row, Column column) const {
        SSIDTableViewCell* c = cell(row);
        return c ? c->getLabel(column)->getString() : "(no cell)";
    }
    std::vector<std::string> names(ssize_t first, ssize_t count) const {
        std::vector<std::string> out;
        for (ssize_t row = first; row < first + count; ++row)
            out.push_back(text(row, SSIDTableViewCell::kSsid));
        return out;
    }
    static Vec2 centreOf(engine::Node* node) {
        const engine::Size size = node->getContentSize();
        return node->convertToWorldSpace(Vec2(size.width * 0.5f, size.height * 0.5f));
    }
    void press(engine::Node* button) {
        ASSERT_NE(button, nullptr);
        const Vec2 at = centreOf(button);
        tap(at.x, at.y);
    }
    std::string header(Column column) const {
        return layer->getHeaderButton(column)->getTitleText();
    }
    float distanceFromTop() const {
        engine::ui::TableView* table = layer->getTableView();
        return table->getContentOffset().y - table->minContainerOffset().y;
    }

    SSIDTableLayer* layer = nullptr;
};

TEST_F(SSIDTableLayerTest, RowsShowEveryColumnUnderTheirSectionHeaders) {
    add("alpha", -75.f, 14);
    model->accessPoints.back()->seenCount = 12;
    add("bravo", -40.f, 6);
    AccessPoint& bonded = *model->accessPoints.back();
    bonded.bandwidthMHz = 40;
    bonded.secondaryChannel = 1;
    bonded.security = 0;  // open: no lock
    bonded.standards = 0x10;
    // A stranger's name with a length byte past the stored characters and a format in it.
    add("%s%n\nxx", -60.f, 1);
    model->accessPoints.back()->name[0] = 255;
    model->runtime.scanCount = 7;
    ASSERT_NE(makeLayer(), nullptr);

    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 6);
    EXPECT_EQ(layer->getTitleLabel()->getString(), "Total AP: 3 Total Scan: 7");
    ASSERT_NE(cell(0), nullptr);
    EXPECT_EQ(cell(0)->getMessageLabel()->getString(), "2.4GHz SSID List");
    EXPECT_FALSE(cell(0)->getLabel(SSIDTableViewCell::kSsid)->isVisible());
    EXPECT_EQ(cell(4)->getMessageLabel()->getString(), "5GHz SSID List");
    EXPECT_EQ(cell(5)->getMessageLabel()->getString(), "No SSID to display");

    // Strongest first (the default order): bravo, the stranger, alpha.
    EXPECT_EQ(text(1, SSIDTableViewCell::kSecurity), "OPEN");
    EXPECT_FALSE(cell(1)->getLockIcon()->isVisible());
    EXPECT_EQ(text(1, SSIDTableViewCell::kMode), "ac");
    EXPECT_EQ(text(1, SSIDTableViewCell::kChannel), "6L");
    EXPECT_EQ(text(1, SSIDTableViewCell::kFrequency), "2.437");
    EXPECT_EQ(text(2, SSIDTableViewCell::kSsid), "%s%n?xx");
    EXPECT_EQ(text(3, SSIDTableViewCell::kSecurity), "WPA2");
    EXPECT_TRUE(cell(3)->getLockIcon()->isVisible());
    EXPECT_EQ(text(3, SSIDTableViewCell::kMode), "b/g/n");
    EXPECT_EQ(text(3, SSIDTableViewCell::kSsid), "alpha");
    EXPECT_EQ(text(3, SSIDTableViewCell::kRssi), "-75 dBm");
    EXPECT_EQ(text(3, SSIDTableViewCell::kBssid),
              SSIDTableTexts::bssidText(model->accessPoints[2]->bssid));
    EXPECT_EQ(text(3, SSIDTableViewCell::kBssid).substr(0, 4), "[02:");
    EXPECT_EQ(text(3, SSIDTableViewCell::kChannel), "14");
    EXPECT_EQ(text(3, SSIDTableViewCell::kFrequency), "2.484");
    EXPECT_EQ(text(3, SSIDTableViewCell::kCount), "12");

    // alpha's bar: 30 % filled in orange, the rest of the bar's box not.
    engine::ui::LoadingBar* bar = cell(3)->getLevelBar();
    EXPECT_NEAR(bar->getPercent(), 30.f, 1e-3);
    const engine::Image image = renderFrame();
    const engine::Rect box = bar->getBoundingBox();
    const Vec2 filled =
        cell(3)->convertToWorldSpace(Vec2(box.origin.x + box.size.width * 0.15f, box.getMidY()));
    const Vec2 empty =
        cell(3)->convertToWorldSpace(Vec2(box.origin.x + box.size.width * 0.7f, box.getMidY()));
    const Rgb orange = pixelAt(image, static_cast<int>(filled.x), static_cast<int>(filled.y));
    EXPECT_GT(orange.r, 200) << orange;
    EXPECT_NEAR(orange.g, 127, 30) << orange;
    EXPECT_LT(orange.b, 60) << orange;
    const Rgb after = pixelAt(image, static_cast<int>(empty.x), static_cast<int>(empty.y));
    EXPECT_FALSE(after.r > 200 && after.g > 90 && after.g < 160 && after.b < 60) << after;
}

TEST_F(SSIDTableLayerTest, HeaderButtonsChooseTheOrderAndShowItsDirection) {
    add("bravo", -50.f);
    add("Alpha", -80.f);
    add("charlie", -65.f);
    ASSERT_NE(makeLayer(), nullptr);
    EXPECT_EQ(header(SSIDTableViewCell::kRssi), "RSSI-");
    EXPECT_EQ(header(SSIDTableViewCell::kSsid), "SSID");
    EXPECT_EQ(names(1, 3), (std::vector<std::string>{"bravo", "charlie", "Alpha"}));

    press(layer->getHeaderButton(SSIDTableViewCell::kSsid));
    EXPECT_EQ(model->spectrum_settings.ssidSortCriterion, 2);
    EXPECT_EQ(model->spectrum_settings.ssidSortDescending, 0);
    EXPECT_TRUE(model->runtime.ssidTableChanged);
    sortAndRefresh();
    EXPECT_EQ(header(SSIDTableViewCell::kSsid), "SSID+");
    EXPECT_EQ(header(SSIDTableViewCell::kRssi), "RSSI");
    EXPECT_EQ(names(1, 3), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));

    press(layer->getHeaderButton(SSIDTableViewCell::kSsid));
    sortAndRefresh();
    EXPECT_EQ(header(SSIDTableViewCell::kSsid), "SSID-");
    EXPECT_EQ(names(1, 3), (std::vector<std::string>{"charlie", "bravo", "Alpha"}));

    // RSSI from another column: strongest first; again: weakest first.
    press(layer->getHeaderButton(SSIDTableViewCell::kRssi));
    sortAndRefresh();
    EXPECT_EQ(header(SSIDTableViewCell::kRssi), "RSSI-");
    EXPECT_EQ(names(1, 3), (std::vector<std::string>{"bravo", "charlie", "Alpha"}));
    press(layer->getHeaderButton(SSIDTableViewCell::kRssi));
    sortAndRefresh();
    EXPECT_EQ(header(SSIDTableViewCell::kRssi), "RSSI+");
    EXPECT_EQ(names(1, 3), (std::vector<std::string>{"Alpha", "charlie", "bravo"}));

    // A tap on a row is not a sort.
    const Vec2 row = centreOf(cell(2));
    tap(row.x, row.y);
    EXPECT_FALSE(model->runtime.ssidTableChanged);
}

TEST_F(SSIDTableLayerTest, ClearTableEmptiesTheListScansAndSelection) {
    add("one", -50.f);
    add("two", -60.f, 36, 1);
    model->runtime.scanCount = 9;
    model->scanStatistics.selection[0][0] = 0x02;
    ASSERT_NE(makeLayer(), nullptr);
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 4);

    EXPECT_EQ(layer->getClearButton()->getTitleText(), "CLEAR TABLE");
    press(layer->getClearButton());
    EXPECT_TRUE(model->accessPoints.empty());
    EXPECT_EQ(model->runtime.scanCount, 0);
    EXPECT_EQ(model->scanStatistics.selection[0][0], 0);
    EXPECT_TRUE(model->runtime.ssidTableChanged);
    EXPECT_TRUE(model->runtime.utilizationChanged);
    sortAndRefresh();
    EXPECT_EQ(layer->getTitleLabel()->getString(), "Total AP: 0 Total Scan: 0");
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 4);
    EXPECT_EQ(cell(1)->getMessageLabel()->getString(), "No SSID to display");
}

TEST_F(SSIDTableLayerTest, RefreshKeepsThePlaceInTheList) {
    for (int i = 0; i < 60; ++i)
        add("ap" + std::to_string(100 + i), -30.f - i);  // already strongest first
    ASSERT_NE(makeLayer(), nullptr);
    engine::ui::TableView* table = layer->getTableView();
    const float row = layer->getCellLayout().rowHeight;
    // At the top after opening.
    EXPECT_EQ(table->getContentOffset().y, table->minContainerOffset().y);

    table->setContentOffset(Vec2(0, table->minContainerOffset().y + 20 * row + 3));
    ASSERT_NE(cell(21), nullptr);
    const std::string shown = text(21, SSIDTableViewCell::kSsid);
    const float shownAt = cell(21)->convertToWorldSpace(Vec2::ZERO).y;
    const float place = distanceFromTop();

    // Ten weaker access points join at the end: the same rows stay where they were.
    for (int i = 0; i < 10; ++i)
        add("late" + std::to_string(i), -95.f);
    model->runtime.ssidTableChanged = true;
    sortAndRefresh();
    EXPECT_FLOAT_EQ(distanceFromTop(), place);
    ASSERT_NE(cell(21), nullptr);
    EXPECT_EQ(text(21, SSIDTableViewCell::kSsid), shown);
    EXPECT_FLOAT_EQ(cell(21)->convertToWorldSpace(Vec2::ZERO).y, shownAt);

    // The same rule from the offsets alone, whatever the reload did to the view.
    const Vec2 before = table->getContentOffset();
    const Vec2 beforeMin = table->minContainerOffset();
    table->jumpToTop();
    SSIDTableLayer::restorePlace(table, before, beforeMin);
    EXPECT_EQ(table->getContentOffset(), before);

    // Shrinking to a screenful lands on what is left.
    model->accessPoints.resize(3);
    sortAndRefresh();
    EXPECT_EQ(table->getContentOffset().y, table->minContainerOffset().y);
    EXPECT_EQ(text(1, SSIDTableViewCell::kSsid), "ap100");
}

TEST_F(SSIDTableLayerTest, WheelScrollsTheRowsAndNothingElse) {
    for (int i = 0; i < 60; ++i)
        add("ap" + std::to_string(i), -40.f - i);
    ASSERT_NE(makeLayer(), nullptr);
    engine::ui::TableView* table = layer->getTableView();
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    const Vec2 middle = centreOf(table);
    const float top = table->minContainerOffset().y;

    // One notch down shows what lies below; one up goes back.
    view->synthesizePinch(middle.x, kHeight - middle.y, true,
                          -engine::GLView::PINCH_POINTS_PER_NOTCH);
    EXPECT_EQ(table->getContentOffset().y, top + 2 * engine::GLView::PINCH_POINTS_PER_NOTCH);
    view->synthesizePinch(middle.x, kHeight - middle.y, true,
                          engine::GLView::PINCH_POINTS_PER_NOTCH);
    EXPECT_EQ(table->getContentOffset().y, top);
    // Over the title strip the wheel leaves the rows alone, and the sort too.
    const Vec2 title = centreOf(layer->getTitleLabel());
    view->synthesizePinch(title.x, kHeight - title.y, true,
                          -engine::GLView::PINCH_POINTS_PER_NOTCH);
    EXPECT_EQ(table->getContentOffset().y, top);
    EXPECT_FALSE(model->runtime.ssidTableChanged);
}

// Names are text: a Chinese name is drawn from an installed font that has it (the picture is
// for a person to look at), bytes that are not UTF-8 show as U+FFFD.
TEST_F(SSIDTableLayerTest, NamesInAnyScriptShowAsTheirCharacters) {
    add("\xe5\x92\x96\xe5\x95\xa1\xe9\xa6\x86 Caf\xc3\xa9", -50.f);  // 咖啡馆 Café
    add("caf\xe9", -60.f);
    ASSERT_NE(makeLayer(), nullptr);
    EXPECT_TRUE(renderFrame().saveToFile("ssid-table-names.png"));
    EXPECT_EQ(text(1, SSIDTableViewCell::kSsid),
              "\xe5\x92\x96\xe5\x95\xa1\xe9\xa6\x86 Caf\xc3\xa9");
    EXPECT_EQ(text(2, SSIDTableViewCell::kSsid), "caf\xef\xbf\xbd");
}

TEST_F(SSIDTableLayerTest, SmallDisplaysGetTallRowsAndFewerColumns) {
    model->runtime.displayClass = 0;
    add("one", -50.f);
    add("a name of thirty-one characters", -70.f, 36, 1);
    ASSERT_NE(makeLayer(), nullptr);
    EXPECT_TRUE(renderFrame().saveToFile("ssid-table-compact.png"));
    EXPECT_EQ(layer->getCellLayout().rowHeight, 52);
    EXPECT_TRUE(layer->getCellLayout().compact);
    for (Column column : {SSIDTableViewCell::kMode, SSIDTableViewCell::kBssid,
                          SSIDTableViewCell::kFrequency, SSIDTableViewCell::kCount})
        EXPECT_EQ(layer->getHeaderButton(column), nullptr) << column;
    for (Column column : {SSIDTableViewCell::kSecurity, SSIDTableViewCell::kSsid,
                          SSIDTableViewCell::kRssi, SSIDTableViewCell::kChannel})
        EXPECT_NE(layer->getHeaderButton(column), nullptr) << column;
    ASSERT_NE(cell(1), nullptr);
    EXPECT_FALSE(cell(1)->getLabel(SSIDTableViewCell::kMode)->isVisible());
    EXPECT_TRUE(cell(1)->getLabel(SSIDTableViewCell::kSsid)->isVisible());
    EXPECT_EQ(cell(1)->getContentSize().height, 52);
    // The full layout's columns fit the same width.
    const auto& l = layer->getCellLayout();
    EXPECT_LE(l.x[SSIDTableViewCell::kChannel] + l.columnWidth[SSIDTableViewCell::kChannel],
              l.width + 0.01f);
}

}  // namespace
