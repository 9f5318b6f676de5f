// The SSID table in a real GL context: sections and cell texts for crafted records, the sort
// header, clearing, and a snapshot.
#include <cstring>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Button.h"
#include "engine/ui/LoadingBar.h"
#include "engine/ui/TableView.h"
#include "tests/ssid/SsidTestSupport.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDTableViewCell.h"

namespace {

using namespace ssidtest;

class SSIDTableLayerTest : public SsidLayerTest {
  protected:
    void SetUp() override {
        SsidLayerTest::SetUp();
        model->runtime.displayClass = 3;
    }
    SSIDTableLayer* addLayer() {
        SSIDTableLayer* layer =
            SSIDTableLayer::createWithModel(model.get(), engine::Size(kWidth - 40, kHeight - 40));
        EXPECT_NE(layer, nullptr);
        layer->setPosition(20, 20);
        scene->addChild(layer);
        layer->refresh();
        return layer;
    }
    AccessPoint& add(const std::string& name, uint8_t nameLength, int channel, float rssi,
                     int is5GHz = 0) {
        auto ap = std::make_unique<AccessPoint>();
        std::memcpy(ap->name + 1, name.data(), std::min<size_t>(name.size(), 31));
        ap->name[0] = nameLength;
        ap->bssid[0] = 0xA0;
        ap->bssid[5] = static_cast<uint8_t>(model->accessPoints.size() + 1);
        ap->channel = static_cast<uint16_t>(channel);
        ap->rssi = rssi;
        ap->is5GHz = is5GHz;
        ap->standards = 0x07;
        ap->bandwidthMHz = 20;
        ap->security = 4;
        ap->seenCount = 12;
        model->accessPoints.push_back(std::move(ap));
        return *model->accessPoints.back();
    }
    SSIDTableViewCell* cell(SSIDTableLayer* layer, ssize_t row) {
        return static_cast<SSIDTableViewCell*>(layer->getTableView()->cellAtIndex(row));
    }
    std::string text(SSIDTableLayer* layer, ssize_t row, SSIDTableColumn::Id id) {
        SSIDTableViewCell* c = cell(layer, row);
        return c && c->labelFor(id) ? c->labelFor(id)->getString() : "<none>";
    }
};

}  // namespace

TEST_F(SSIDTableLayerTest, CellTextsOfCraftedRecords) {
    AccessPoint& fourteen = add("%s%n", 4, 14, -75.0f);
    fourteen.security = 0;
    AccessPoint& wide = add(std::string(31, 'W'), 255, 6, -45.0f);
    wide.bandwidthMHz = 40;
    wide.secondaryChannel = 1;
    add(std::string("bell\x07\x1b", 6), 6, 11, -95.0f);
    add("five", 4, 36, -60.0f, 1);
    SSIDTableLayer* layer = addLayer();
    step(1);
    ASSERT_EQ(layer->getTableView()->getNumberOfRows(), 6);
    EXPECT_EQ(cell(layer, 0)->getTextLabel()->getString(), "2.4GHz SSID List");
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kSsid), "%s%n");
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kFrequency), "2.484");
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kSecurity), "OPEN");
    EXPECT_FALSE(cell(layer, 1)->getLockIcon()->isVisible());
    EXPECT_EQ(text(layer, 1, SSIDTableColumn::kRssi), "-75 dBm");
    EXPECT_FLOAT_EQ(cell(layer, 1)->getLevelBar()->getPercent(), 30.0f);
    EXPECT_EQ(cell(layer, 1)->getLevelBar()->getColor(), engine::Color3B(255, 127, 0));
    EXPECT_EQ(text(layer, 2, SSIDTableColumn::kSsid), std::string(31, 'W'));
    EXPECT_EQ(text(layer, 2, SSIDTableColumn::kChannel), "6L");
    EXPECT_EQ(text(layer, 2, SSIDTableColumn::kMode), "b/g/n");
    EXPECT_TRUE(cell(layer, 2)->getLockIcon()->isVisible());
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kSsid), "bell??");
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kBssid), "[a0:00:00:00:00:03]");
    EXPECT_EQ(text(layer, 3, SSIDTableColumn::kSeen), "12");
    EXPECT_EQ(cell(layer, 4)->getTextLabel()->getString(), "5GHz SSID List");
    EXPECT_EQ(text(layer, 5, SSIDTableColumn::kFrequency), "5.180");
    EXPECT_EQ(layer->getTitle()->getString(), "Total AP: 4 Total Scan: 0");
    EXPECT_TRUE(renderFrame().saveToFile("ssid-table.png"));
}

TEST_F(SSIDTableLayerTest, HeadersSortAndClearEmpties) {
    add("a", 1, 1, -70.0f);
    SSIDTableLayer* layer = addLayer();
    model->spectrum_settings.ssidSortCriterion = 2;
    model->runtime.ssidTableChanged = false;
    layer->headerReleased(3);
    EXPECT_EQ(model->spectrum_settings.ssidSortCriterion, 3);
    EXPECT_EQ(model->spectrum_settings.ssidSortDescending, 1);
    EXPECT_TRUE(model->runtime.ssidTableChanged);
    layer->refresh();
    const auto& headers = layer->getHeaderButtons();
    ASSERT_EQ(headers.size(), 8u);
    EXPECT_EQ(headers[3]->getTitleText(), "RSSI-");
    EXPECT_EQ(headers[2]->getTitleText(), "SSID");
    layer->headerReleased(3);
    layer->refresh();
    EXPECT_EQ(headers[3]->getTitleText(), "RSSI+");

    model->runtime.scanCount = 5;
    layer->clearReleased();
    EXPECT_TRUE(model->accessPoints.empty());
    EXPECT_EQ(model->runtime.scanCount, 0);
    layer->refresh();
    EXPECT_EQ(layer->getTableView()->getNumberOfRows(), 4);

    // The compact layout keeps four columns.
    model->runtime.displayClass = 0;
    layer->refresh();
    EXPECT_EQ(layer->getHeaderButtons().size(), 4u);
    EXPECT_FLOAT_EQ(layer->getLayout().rowHeight, 52.0f);
}

TEST_F(SSIDTableLayerTest, CloseButtonAsksTheSceneToRemoveIt) {
    SSIDTableLayer* layer = addLayer();
    int closed = 0;
    layer->onClose = [&] { ++closed; };
    step(1);
    const engine::Vec2 at = layer->getCloseButton()->getPosition() + layer->getPosition();
    tap(at.x, at.y);
    EXPECT_EQ(closed, 1);
}

TEST_F(SSIDTableLayerTest, WheelScrollsAndARefreshKeepsThePlace) {
    for (int i = 0; i < 40; ++i) {
        const std::string name = "ap" + std::to_string(i);
        add(name, static_cast<uint8_t>(name.size()), 1 + i % 13, -50.0f - static_cast<float>(i));
    }
    SSIDTableLayer* layer = addLayer();
    step(1);
    engine::ui::TableView* table = layer->getTableView();
    const float top = table->minContainerOffset().y;
    EXPECT_EQ(table->getContentOffset().y, top);
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    view->synthesizePinch(kWidth / 2.0f, kHeight / 2.0f, true,
                          -3 * engine::GLView::PINCH_POINTS_PER_NOTCH);
    const float scrolled = table->getContentOffset().y - top;
    EXPECT_GT(scrolled, 0.0f);

    // A new scan adds rows; the view stays the same distance from the top of the list.
    for (int i = 0; i < 5; ++i) {
        add("new" + std::to_string(i), 4, 6, -40.0f);
    }
    layer->refresh();
    EXPECT_FLOAT_EQ(table->getContentOffset().y - table->minContainerOffset().y, scrolled);
    EXPECT_EQ(layer->getTitle()->getString(), "Total AP: 45 Total Scan: 0");
}
