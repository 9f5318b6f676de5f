// Access-point outlines in a real GL context: shapes where the geometry says, the gliding level,
// labels pinned to the top, nothing on a band without an axis, and a snapshot of the outlines
// over the demonstration's spectrum.
#include <cstring>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "model/UtilizationGradingHook.h"
#include "tests/ssid/SsidTestSupport.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/RssiLayer.h"
#include "views/ssid/SSIDLayer.h"

namespace {

using namespace ssidtest;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// The layer at (0, 0), 400 × 160: 4 px per MHz on 2.4 GHz; -90 .. -10 dBm, 2 px per dB.
class SSIDLayerTest : public SsidLayerTest {
  protected:
    SSIDLayer* addLayer() {
        SSIDLayer* layer = SSIDLayer::createWithModel(model.get());
        EXPECT_NE(layer, nullptr);
        layer->setContentSize(engine::Size(400, 160));
        scene->addChild(layer);
        return layer;
    }
    AccessPoint& add(const char* name, int channel, float rssi, uint8_t standards, Rgb colour,
                     int bandwidth = 20, int secondary = 0) {
        auto ap = std::make_unique<AccessPoint>();
        ap->name[0] = static_cast<uint8_t>(std::strlen(name));
        std::memcpy(ap->name + 1, name, ap->name[0]);
        ap->bssid[5] = static_cast<uint8_t>(model->accessPoints.size() + 1);
        ap->channel = static_cast<uint16_t>(channel);
        ap->rssi = ap->previousRssi = ap->levelA = ap->levelB = rssi;
        ap->standards = standards;
        ap->bandwidthMHz = bandwidth;
        ap->secondaryChannel = secondary;
        ap->color[0] = colour.r;
        ap->color[1] = colour.g;
        ap->color[2] = colour.b;
        ap->color[3] = 255;
        model->accessPoints.push_back(std::move(ap));
        return *model->accessPoints.back();
    }
};

}  // namespace

TEST_F(SSIDLayerTest, OutlinesSitOnTheirChannelsAtTheirLevels) {
    addLayer();
    add("", 6, -50.0f, 0x01, kRed);           // ellipse at 37 MHz: x 148, 88 px wide
    add("", 6, -30.0f, 0x04, kGreen, 40, 1);  // trapezoid centred at 47 MHz: x 188
    const engine::Image image = renderFrame();
    // The ellipse's top at the level's height (80), its feet 44 px either side of the centre.
    EXPECT_GT(countColour(image, 146, 78, 151, 82, kRed), 0);
    EXPECT_EQ(countColour(image, 146, 84, 151, 100, kRed), 0);
    EXPECT_GT(countColour(image, 102, 0, 107, 6, kRed), 0);
    EXPECT_GT(countColour(image, 189, 0, 194, 6, kRed), 0);
    // The trapezoid's top from 188 - 84 to 188 + 84 at height 120, its feet 88 px out.
    EXPECT_GT(countColour(image, 110, 118, 266, 122, kGreen), 150);
    EXPECT_EQ(countColour(image, 110, 124, 266, 140, kGreen), 0);
    EXPECT_GT(countColour(image, 98, 0, 103, 4, kGreen), 0);
    EXPECT_GT(countColour(image, 273, 0, 278, 4, kGreen), 0);
}

TEST_F(SSIDLayerTest, LabelsFollowTheOutlineAndStopAtTheTop) {
    SSIDLayer* layer = addLayer();
    add("low", 1, -70.0f, 0x02, kRed);
    add("high", 11, 0.0f, 0x02, kGreen);  // above the axis: full height
    add("", 3, -60.0f, 0x02, kRed);       // no name, no label
    model->runtime.displayClass = 2;
    step(1);
    ASSERT_EQ(layer->getOutlineNodes().size(), 3u);
    ASSERT_EQ(layer->getLabels().size(), 2u);
    engine::Label* low = layer->getLabels()[0];
    engine::Label* high = layer->getLabels()[1];
    EXPECT_EQ(low->getString(), "low");
    EXPECT_FLOAT_EQ(low->getFontSize(), 15.0f);
    EXPECT_FLOAT_EQ(low->getPositionX(), 12.0f * 4.0f);
    EXPECT_FLOAT_EQ(low->getPositionY(), 40.0f + low->getContentSize().height / 2.0f);
    EXPECT_FLOAT_EQ(high->getPositionY(), 160.0f - high->getContentSize().height / 2.0f);
    EXPECT_EQ(high->getTextColor(), engine::Color4B(0, 255, 0, 255));

    // Gone from the list: its outline and label go too.
    model->accessPoints.erase(model->accessPoints.begin());
    step(1);
    EXPECT_EQ(layer->getOutlineNodes().size(), 2u);
    ASSERT_EQ(layer->getLabels().size(), 1u);
    EXPECT_EQ(layer->getLabels()[0]->getString(), "high");
}

TEST_F(SSIDLayerTest, NothingOnABandWithoutAxesOrOffThePlan) {
    SSIDLayer* layer = addLayer();
    AccessPoint& five = add("five", 36, -50.0f, 0x18, kRed);
    five.is5GHz = 1;
    model->accessory.levelMin5 = NAN;  // an accessory without 5 GHz
    model->accessory.levelMax5 = NAN;
    add("off", 15, -50.0f, 0x04, kRed);
    AccessPoint& odd = add("odd", 6, -50.0f, 0x04, kRed);
    odd.is5GHz = 2;
    const engine::Image image = renderFrame();
    EXPECT_TRUE(layer->getOutlineNodes().empty());
    EXPECT_TRUE(layer->getLabels().empty());
    EXPECT_EQ(countColour(image, 0, 0, 400, 160, kRed), 0);
}

TEST_F(SSIDLayerTest, AScanRaisesTheOutlineOverThreeSeconds) {
    addLayer();
    AccessPoint& ap = add("", 6, -80.0f, 0x04, kRed);
    step(1);
    // What a merge does with a new rssi: target it, start from what is shown.
    ap.rssi = ap.previousRssi = -50.0f;
    step(90);  // 1.5 s: half way, -65 dBm, 50 px
    // The outline follows in glide steps of 1/12 s, 10 dB/s here: at most 0.84 dB behind.
    EXPECT_NEAR(ap.levelB, -65.0f, 0.9f);
    EXPECT_LE(ap.levelB, -65.0f);
    step(95);
    EXPECT_FLOAT_EQ(ap.levelB, -50.0f);
    const engine::Image image = renderFrame();
    EXPECT_GT(countColour(image, 140, 78, 156, 82, kRed), 10);
}

// A glide moves the outline a dozen times a second, not at the frame rate: the whole scene is
// redrawn for every step, and a glide follows every scan.
TEST_F(SSIDLayerTest, AGlideDrawsADozenFramesASecond) {
    addLayer();
    AccessPoint& ap = add("", 6, -80.0f, 0x04, kRed);
    step(2);
    ap.rssi = ap.previousRssi = -50.0f;
    const auto before = engine::Director::getInstance()->getFramesDrawn();
    step(200);  // the whole 3 s glide and its last step
    const auto drawn = engine::Director::getInstance()->getFramesDrawn() - before;
    EXPECT_GE(drawn, 30u);
    EXPECT_LE(drawn, 42u);
    EXPECT_FLOAT_EQ(ap.levelB, -50.0f);
    const auto settled = engine::Director::getInstance()->getFramesDrawn();
    step(30);
    EXPECT_EQ(engine::Director::getInstance()->getFramesDrawn(), settled) << "nothing after it";
}

TEST_F(SSIDLayerTest, SnapshotOverTheDemonstrationSpectrum) {
    FileResourceReader resources(SSID_TEST_RESOURCE_ROOT);
    ManualClock clock(1000);
    AccessoryCommunicationDelegate::Options options;
    options.resources = &resources;
    options.clock = &clock;
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(*model, options);
    controller.setUtilizationGrading(UtilizationGradingHook());

    const engine::Rect area(4, 4, kWidth - 8, kHeight - 8);
    GridLayer* grid = GridLayer::create();
    grid->setPosition(area.origin);
    grid->setContentSize(area.size);
    grid->rebuildGrid();
    scene->addChild(grid);
    model->spectrum_settings.traceModes[0] = 6;  // heat map
    model->spectrum_settings.traceModes[1] = 4;  // max hold
    RssiLayer* traces = RssiLayer::createWithModel(model.get());
    traces->setPosition(area.origin.x + 1, area.origin.y + 1);
    traces->setContentSize(engine::Size(area.size.width - 2, area.size.height - 2));
    traces->showBand5 = false;
    scene->addChild(traces);
    SSIDLayer* outlines = SSIDLayer::createWithModel(model.get());
    outlines->setPosition(traces->getPosition());
    outlines->setContentSize(traces->getContentSize());
    outlines->showBand5 = false;
    scene->addChild(outlines);
    for (int i = 0; i < 300; ++i) {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller.runPass();
        step(1, 0.1f);
    }
    ASSERT_GT(model->accessPoints.size(), 5u) << "the demonstration's scans did not play";
    EXPECT_GT(outlines->getOutlineNodes().size(), 5u);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("ssid-outlines-demo.png"));
}

TEST_F(SSIDLayerTest, AStillPictureLeavesTheNodesAlone) {
    SSIDLayer* layer = addLayer();
    add("still", 6, -50.0f, 0x04, kRed);
    step(1);
    ASSERT_EQ(layer->getOutlineNodes().size(), 1u);
    engine::DrawNode* node = layer->getOutlineNodes()[0];
    const size_t vertices = node->getVertexCount();
    node->clear();  // would stay empty unless the layer drew again
    step(5);
    EXPECT_EQ(node->getVertexCount(), 0u);
    model->accessPoints[0]->rssi = -40.0f;  // a new level: drawn again while it glides
    step(1);
    EXPECT_GE(node->getVertexCount(), vertices);
}
