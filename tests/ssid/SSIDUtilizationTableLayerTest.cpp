// The utilization table in a real GL context: sections by selection, grades and
// recommendations, edit mode with its alerts, and edit mode ending with the table.
#include <cstring>

#include "engine/2d/Label.h"
#include "engine/ui/Button.h"
#include "engine/ui/TableView.h"
#include "model/AccessPointSelection.h"
#include "model/UtilizationGrading.h"
#include "tests/ssid/SsidTestSupport.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"
#include "views/ssid/UtilizationTableRows.h"
#include "views/ssid/UtilizationTableViewCell.h"

namespace {

using namespace ssidtest;

// Asks for a header or empty row's one text instead of a column.
constexpr auto kTextRow = static_cast<SSIDTableColumn::Id>(-1);

struct Alert {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    std::function<void(int)> answer;
};

class UtilizationTableTest : public SsidLayerTest {
  protected:
    void SetUp() override {
        SsidLayerTest::SetUp();
        model->runtime.displayClass = 3;
        model->accessory.rawPoints24 = 256;
        std::vector<float> idle(256, -90.0f);
        for (int i = 0; i < 100; ++i) {
            model->band24.appendSweep(idle.data(), 256);
        }
    }
    SSIDUtilizationTableLayer* addLayer() {
        auto* layer = SSIDUtilizationTableLayer::createWithModel(
            model.get(), engine::Size(kWidth - 40, kHeight - 40));
        EXPECT_NE(layer, nullptr);
        layer->setPosition(20, 20);
        layer->presentAlert = [this](const std::string& t, const std::string& m,
                                     const std::vector<std::string>& b,
                                     const std::function<void(int)>& answer) {
            alerts.push_back(Alert{t, m, b, answer});
        };
        scene->addChild(layer);
        layer->refresh();
        return layer;
    }
    AccessPoint& add(const std::string& name, int channel, float rssi, int is5GHz = 0) {
        auto ap = std::make_unique<AccessPoint>();
        std::memcpy(ap->name + 1, name.data(), std::min<size_t>(name.size(), 31));
        ap->name[0] = static_cast<uint8_t>(name.size());
        ap->bssid[0] = 0xA0;
        ap->bssid[4] = static_cast<uint8_t>((model->accessPoints.size() + 1) >> 8);
        ap->bssid[5] = static_cast<uint8_t>(model->accessPoints.size() + 1);
        ap->channel = static_cast<uint16_t>(channel);
        ap->rssi = rssi;
        ap->is5GHz = is5GHz;
        ap->bandwidthMHz = 20;
        model->accessPoints.push_back(std::move(ap));
        return *model->accessPoints.back();
    }
    std::string text(SSIDUtilizationTableLayer* layer, ssize_t row, SSIDTableColumn::Id id) {
        auto* c = static_cast<UtilizationTableViewCell*>(layer->getTableView()->cellAtIndex(row));
        if (!c) {
            return "<no cell>";
        }
        if (id == kTextRow) {
            return c->getTextLabel()->getString();
        }
        return c->labelFor(id) ? c->labelFor(id)->getString() : "<none>";
    }
    // A touched row as the table reports it (rows out of view included).
    void touchRow(SSIDUtilizationTableLayer* layer, ssize_t row) {
        engine::ui::TableViewCell* cell = engine::ui::TableViewCell::create();
        cell->setIdx(row);
        layer->tableCellTouched(layer->getTableView(), cell);
    }

    std::vector<Alert> alerts;
};

}  // namespace

TEST(UtilizationTableRows, SelectedFirstOnlyTwoPointFour) {
    std::vector<std::unique_ptr<AccessPoint>> list;
    for (int i = 0; i < 4; ++i) {
        list.push_back(std::make_unique<AccessPoint>());
        list.back()->bssid[5] = static_cast<uint8_t>(i + 1);
    }
    list[2]->is5GHz = 1;
    ScanStatistics statistics;
    UtilizationTableRows rows;
    rows.rebuild(list, statistics);
    ASSERT_EQ(rows.rowCount(), 6u);  // header, "Press Edit", header, three
    EXPECT_EQ(rows.row(1).kind, UtilizationTableRows::Kind::kEmpty);
    EXPECT_EQ(rows.row(5).index, 3u);
    AccessPointSelection::add(statistics, list[3]->bssid);
    rows.rebuild(list, statistics);
    ASSERT_EQ(rows.rowCount(), 5u);
    EXPECT_EQ(rows.row(1).index, 3u);
    EXPECT_TRUE(rows.row(1).selectedSection);
    EXPECT_FALSE(rows.row(3).selectedSection);
    EXPECT_EQ(rows.row(5).kind, UtilizationTableRows::Kind::kInvalid);
}

TEST_F(UtilizationTableTest, GradesRecommendationsAndEditing) {
    add("mine", 3, -60.0f);
    add("%s%n", 6, -20.0f);
    add("five", 36, -50.0f, 1);
    add("late", 11, -70.0f);
    SSIDUtilizationTableLayer* layer = addLayer();
    step(1);
    // Not graded yet: "--".
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kGradePercent), "--");

    layer->editReleased();
    EXPECT_TRUE(model->runtime.scanPaused);
    EXPECT_EQ(layer->getEditButton()->getTitleText(), "DONE");
    touchRow(layer, 3);  // "mine" in "SSID List"
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].title, "Add Access Point!");
    EXPECT_EQ(alerts[0].message, "Do you want to optimize \"mine\"?");
    EXPECT_EQ(alerts[0].buttons, (std::vector<std::string>{"Add", "Cancel"}));
    alerts[0].answer(0);
    { ASSERT_TRUE(UtilizationGrading::run(*model, true)); }
    layer->refresh();
    step(1);
    EXPECT_EQ(text(layer, 0, kTextRow), "Selected for Optimization");
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kSsid), "mine");
    // Channel 1 is clear of both neighbours: 95 against 94.5 on 11 and 92 on 6.
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kRecommendedChannel), "3->1");
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kGradePercent), "90%");  // J 80 from channel 6
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kGradeLetter), "A");
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kSsid), "%s%n");
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kGradePercent), "100%");
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kRecommendedChannel), "6");
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 5);  // the 5 GHz one is not listed
    EXPECT_TRUE(renderFrame().saveToFile("utilization-table.png"));

    // Removing asks first; header rows open nothing.
    touchRow(layer, 0);
    touchRow(layer, 1);
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[1].title, "Remove Access Point!");
    EXPECT_EQ(alerts[1].message, "Do you want to remove \"mine\"?");
    alerts[1].answer(1);  // "Cancel"
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 5);
    alerts[1].answer(0);
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 6);

    // Closing the table mid-edit thaws the list.
    layer->removeFromParent();
    EXPECT_FALSE(model->runtime.scanPaused);
}

TEST_F(UtilizationTableTest, TheTwentyFirstSelectionIsRefused) {
    for (int i = 0; i < 21; ++i) {
        add("ap" + std::to_string(i), 1 + i % 11, -60.0f);
    }
    SSIDUtilizationTableLayer* layer = addLayer();
    layer->editReleased();
    for (int i = 0; i < 21; ++i) {
        // The first of "SSID List" each time: row 2 + selected count, header included.
        touchRow(layer, 2 + (i == 0 ? 1 : i));
        ASSERT_EQ(alerts.size(), static_cast<size_t>(i + 1));
        alerts.back().answer(0);
    }
    ASSERT_EQ(alerts.size(), 22u);
    EXPECT_EQ(alerts.back().title, "Unable to add SSID!");
    EXPECT_EQ(alerts.back().buttons, (std::vector<std::string>{"OK"}));
    layer->editReleased();
    EXPECT_FALSE(model->runtime.scanPaused);
    EXPECT_EQ(layer->getEditButton()->getTitleText(), "EDIT");
}

TEST_F(UtilizationTableTest, AnAlertAnsweredAfterTheTableWentDoesNothing) {
    add("mine", 3, -60.0f);
    SSIDUtilizationTableLayer* layer = addLayer();
    layer->editReleased();
    touchRow(layer, 3);
    ASSERT_EQ(alerts.size(), 1u);
    layer->removeFromParent();
    step(1);  // the pool lets the layer go
    alerts[0].answer(0);
    EXPECT_FALSE(
        AccessPointSelection::contains(model->scanStatistics, model->accessPoints[0]->bssid));
}
