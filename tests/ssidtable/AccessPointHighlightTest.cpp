// Which outline is which, in the main scene: picking a row of the SSID table (click, or Up and
// Down) highlights that access point's outline over the spectrum left in sight below the table;
// clicking an outline highlights its row; each row shows its outline's colour. E exports the
// table beside the data logs.
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/MainScene.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/platform/FileUtils.h"
#include "engine/ui/TableView.h"
#include "model/AccessPointHighlight.h"
#include "tests/ssidtable/SSIDTableTestSupport.h"
#include "views/ssid/SSIDLayer.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"

using namespace ssidtabletest;
using engine::EventKeyboard;
using engine::Vec2;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

class AccessPointHighlightTest : public SSIDTableGlTest {
  protected:
    void SetUp() override {
        SSIDTableGlTest::SetUp();
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
        model->spectrum_settings.ssidScanOn = 1;
        model->spectrum_settings.traceModes[0] = 0;  // outlines only, on black
        model->accessory.levelMin24 = -90.f;
        model->accessory.levelMax24 = -10.f;
        add("red", 1, -40.f, kRed);
        add("green", 11, -60.f, kGreen);
        main = MainScene::createWithModel(model.get());
        ASSERT_NE(main, nullptr);
        engine::Director::getInstance()->replaceScene(main);
        step(2, 0.2f);
    }
    void add(const std::string& name, int channel, float rssi, Rgb colour) {
        auto ap = makeAccessPoint(name, rssi, channel);
        ap->color[0] = colour.r;
        ap->color[1] = colour.g;
        ap->color[2] = colour.b;
        ap->color[3] = 255;
        ap->standards = 0x02;
        model->accessPoints.push_back(std::move(ap));
    }
    void key(EventKeyboard::KeyCode code) {
        EventKeyboard down(code, true);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&down);
        EventKeyboard up(code, false);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&up);
    }
    SSIDLayer* outlines() const {
        return dynamic_cast<SSIDLayer*>(main->getViewLayer(ViewLayer::kAccessPointOutlines));
    }
    // Scene x of a 2.4 GHz frequency and y of a height above the outlines' baseline.
    Vec2 at(float mhz, float height) const {
        SSIDLayer* layer = outlines();
        return layer->convertToWorldSpace(
            Vec2((mhz - 2400.f) * layer->getContentSize().width / 100.f, height));
    }
    bool highlighted(const AccessPoint& ap) const {
        return AccessPointHighlight::matches(model->runtime.highlightedBssid, ap.bssid);
    }
    SSIDTableViewCell* rowOf(const std::string& name) const {
        SSIDTableLayer* table = main->getSsidTable();
        for (ssize_t i = 0; i < 6; ++i) {
            auto* cell = dynamic_cast<SSIDTableViewCell*>(table->getTableView()->cellAtIndex(i));
            if (cell && cell->getLabel(SSIDTableViewCell::kSsid)->getString() == name)
                return cell;
        }
        return nullptr;
    }
    int colourIn(const engine::Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += pixelAt(image, x, y) == colour;
        return n;
    }

    MainScene* main = nullptr;
};

TEST_F(AccessPointHighlightTest, RowAndOutlinePickEachOther) {
    key(EventKeyboard::KeyCode::KEY_T);
    ASSERT_TRUE(main->isSsidTableShown());
    SSIDTableLayer* table = main->getSsidTable();
    ASSERT_NE(outlines(), nullptr);
    // The table leaves the lower part of the spectrum in sight.
    const engine::Rect view = main->viewArea();
    EXPECT_GT(table->getPositionY(), view.origin.y + view.size.height * 0.3f);

    // Each row carries its outline's colour in a swatch.
    step(1);
    SSIDTableViewCell* red = rowOf("red");
    ASSERT_NE(red, nullptr);
    engine::Image image = renderFrame();
    const Vec2 swatch = red->convertToWorldSpace(
        Vec2(red->getContentSize().width * 0.0f, red->getContentSize().height * 0.5f));
    EXPECT_GT(colourIn(image, static_cast<int>(swatch.x), static_cast<int>(swatch.y) - 3,
                       static_cast<int>(swatch.x) + 400, static_cast<int>(swatch.y) + 3, kRed),
              10);

    // A click on the green outline (channel 11, low in the view) highlights it and its row.
    const AccessPoint& greenAp = *model->accessPoints[1];
    const AccessPoint& redAp = *model->accessPoints[0];
    const Vec2 click = at(2462.f, 50.f);
    ASSERT_LT(click.y, table->getPositionY());
    tap(click.x, click.y);
    step(2, 0.1f);
    EXPECT_TRUE(highlighted(greenAp));
    ASSERT_NE(rowOf("green"), nullptr);
    EXPECT_TRUE(rowOf("green")->isHighlighted());
    EXPECT_FALSE(rowOf("red")->isHighlighted());
    // Drawn filled: green inside the trapezoid, not only on its edges.
    image = renderFrame();
    const Vec2 inside = at(2462.f, 40.f);
    const Rgb fill = pixelAt(image, static_cast<int>(inside.x) + 3, static_cast<int>(inside.y));
    EXPECT_GT(fill.g, 40) << fill;
    EXPECT_EQ(fill.r, 0);

    // Down moves the highlight to the next row, whichever outline that is; Up goes back.
    key(EventKeyboard::KeyCode::KEY_UP_ARROW);
    step(1);
    EXPECT_TRUE(highlighted(redAp));
    key(EventKeyboard::KeyCode::KEY_DOWN_ARROW);
    step(1);
    EXPECT_TRUE(highlighted(greenAp));

    // Clicking the red row picks red; clicking it again lets it go.
    table->pickRow(rowOf("red")->getIdx());
    step(1);
    EXPECT_TRUE(highlighted(redAp));
    table->pickRow(rowOf("red")->getIdx());
    step(1);
    EXPECT_FALSE(AccessPointHighlight::isSet(model->runtime.highlightedBssid));
    // Outside every outline a click highlights nothing.
    const Vec2 empty = at(2490.f, 5.f);
    tap(empty.x, empty.y);
    step(1);
    EXPECT_FALSE(AccessPointHighlight::isSet(model->runtime.highlightedBssid));
}

TEST_F(AccessPointHighlightTest, ExportKeyWritesTheShownTableBesideTheLogs) {
    namespace fs = std::filesystem;
    const std::string dir = engine::FileUtils::getInstance()->getWritablePath();
    auto exports = [&](const char* prefix = "Tarno_SSID_") {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir))
            n += entry.path().filename().string().rfind(prefix, 0) == 0;
        return n;
    };
    const int before = exports();
    key(EventKeyboard::KeyCode::KEY_E);  // no table shown: nothing
    EXPECT_EQ(exports(), before);
    key(EventKeyboard::KeyCode::KEY_T);
    key(EventKeyboard::KeyCode::KEY_E);
    EXPECT_EQ(exports(), before + 2);  // CSV and JSON
    std::string csv;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Tarno_SSID_", 0) == 0 && entry.path().extension() == ".csv") {
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            csv = text.str();
        }
    }
    EXPECT_EQ(csv.rfind("SSID,BSSID,RSSI (dBm)", 0), 0u) << csv;
    EXPECT_NE(csv.find("red,02:00:00:00:00:"), std::string::npos) << csv;

    // With the utilization table shown, E exports that one: its own pair of files.
    const int utilization = exports("Tarno_Utilization_");
    key(EventKeyboard::KeyCode::KEY_U);
    ASSERT_NE(main->getUtilizationTable(), nullptr);
    key(EventKeyboard::KeyCode::KEY_E);
    EXPECT_EQ(exports("Tarno_Utilization_"), utilization + 2);
}

}  // namespace
