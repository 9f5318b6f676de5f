// Peaks as numbers in a real window: a label of frequency and level over each marked peak (none
// over another), the peak table's rows from the same lists, its export, and the K key.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/MainScene.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/platform/FileUtils.h"
#include "engine/ui/TableView.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "views/spectrum/PeakLabelsLayer.h"
#include "views/spectrum/PeakTableLayer.h"

using namespace apptest;
using engine::EventKeyboard;

namespace {

class PeakTableTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.accessory.levelMin24 = -90.f;
        model.accessory.levelMax24 = -10.f;
        model.spectrum_settings.traceModes[0] = SpectrumSettings::kTraceMaxHold;
        model.spectrum_settings.traceModes[1] = 0;
        model.spectrum_settings.traceModes[2] = 0;
        model.spectrum_settings.peakCounts[SpectrumSettings::kTraceMaxHold - 1] = 3;
        BandSweepBuffers& band = model.band24;
        band.processedPointCount = 256;
        PeakList peaks;
        peaks[0] = PeakEntry{102, -30.5f};  // 2440 MHz
        peaks[1] = PeakEntry{104, -32.0f};  // right beside it: its label would cover
        peaks[2] = PeakEntry{204, -50.0f};  // 2480 MHz
        peaks[3] = PeakEntry{20, -70.0f};   // listed, not marked
        band.setPeaks(3, peaks);            // maximum
    }
    void key(EventKeyboard::KeyCode code) {
        EventKeyboard down(code, true);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&down);
        EventKeyboard up(code, false);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&up);
    }
    SpectrumSettings model;
};

TEST_F(PeakTableTest, MarkedPeaksAreLabelledAboveTheirMarkersWithoutOverlap) {
    PeakLabelsLayer* layer = PeakLabelsLayer::createWithModel(&model, 0);
    ASSERT_NE(layer, nullptr);
    layer->setContentSize(engine::Size(510, 320));  // 2 px per point, 4 px per dB
    scene->addChild(layer);
    layer->update(0);
    const auto& labels = layer->getLabels();
    ASSERT_EQ(labels.size(), 2u);  // the neighbour's label is left out
    EXPECT_EQ(labels[0]->getString(), "2440.0 MHz\n-30.5 dBm");
    EXPECT_EQ(labels[1]->getString(), "2480.0 MHz\n-50.0 dBm");
    // Above the peak (at 59.5 dB above the bottom: y 238), centred on its point (x 204).
    EXPECT_GE(labels[0]->getPositionY(), 238.f);
    const engine::Rect box = labels[0]->getBoundingBox();
    EXPECT_NEAR(box.getMidX(), 204.f, 1.f);
    EXPECT_FALSE(box.intersectsRect(labels[1]->getBoundingBox()));
    // In the trace's colour, and drawn.
    const uint8_t* rgb = model.spectrum_settings.traceColors[SpectrumSettings::kTraceMaxHold - 1];
    EXPECT_EQ(labels[0]->getTextColor().g, rgb[1]);
    const engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, static_cast<int>(box.getMinX()), static_cast<int>(box.getMinY()),
                       static_cast<int>(box.getMaxX()), static_cast<int>(box.getMaxY())),
              20);
    // Hung from the top: the label goes under the marker.
    model.spectrum_settings.peaksOnTop = SpectrumSettings::kTraceMaxHold;
    layer->update(0);
    EXPECT_LT(layer->getLabels()[0]->getBoundingBox().getMaxY(), 320.f - 1.f);
}

TEST_F(PeakTableTest, TableListsEveryPeakAndExportsThem) {
    PeakTableLayer* table =
        PeakTableLayer::createWithModel(&model, engine::Rect(0, 0, 960, 591), 0);
    ASSERT_NE(table, nullptr);
    scene->addChild(table);
    step(1);
    ASSERT_EQ(table->getRows().size(), 4u);
    EXPECT_EQ(table->getTableView()->getNumberOfRows(), 4);
    // In the top right corner, the spectrum in sight beside it.
    EXPECT_LT(table->getContentSize().width, 960.f);
    EXPECT_FLOAT_EQ(table->getPositionX() + table->getContentSize().width, 960.f);
    auto* cell = dynamic_cast<PeakTableViewCell*>(table->getTableView()->cellAtIndex(0));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->getLabel(0)->getString(), "MAX");
    EXPECT_EQ(cell->getLabel(2)->getString(), "2440.0 MHz");
    EXPECT_EQ(cell->getLabel(3)->getString(), "-30.5 dBm");
    // A new sweep's peaks reach the table at its next refresh.
    PeakList peaks = model.band24.peaks(3);
    peaks[0].value = -20.f;
    model.band24.setPeaks(3, peaks);
    step(static_cast<int>(PeakTableLayer::kRefreshSeconds * 60) + 2);
    cell = dynamic_cast<PeakTableViewCell*>(table->getTableView()->cellAtIndex(0));
    EXPECT_EQ(cell->getLabel(3)->getString(), "-20.0 dBm");

    namespace fs = std::filesystem;
    const std::string dir = engine::FileUtils::getInstance()->getWritablePath();
    auto peakExports = [&] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().filename().string().rfind("Tarno_Peaks_", 0) == 0)
                found.push_back(entry.path());
        }
        return found;
    };
    const size_t before = peakExports().size();
    table->exportTable();
    const auto after = peakExports();
    ASSERT_EQ(after.size(), before + 2);
    for (const fs::path& path : after) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        if (path.extension() == ".csv") {
            EXPECT_NE(text.str().find("2.4,MAX,1,2440.00,-20.00,yes"), std::string::npos)
                << text.str();
        } else {
            EXPECT_NE(text.str().find("\"Trace\": \"MAX\""), std::string::npos) << text.str();
        }
    }
}

TEST_F(PeakTableTest, KeyKTogglesTheTableInTheRealWaveViewOnly) {
    MainScene* main = MainScene::createWithModel(&model);
    ASSERT_NE(main, nullptr);
    engine::Director::getInstance()->replaceScene(main);
    step(1, 0);
    key(EventKeyboard::KeyCode::KEY_K);
    EXPECT_TRUE(main->isPeakTableShown());
    key(EventKeyboard::KeyCode::KEY_K);
    EXPECT_FALSE(main->isPeakTableShown());
    key(EventKeyboard::KeyCode::KEY_K);
    // The waterfall has no traces to list: the table goes, and K does not bring it back there.
    model.spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    step(1);
    EXPECT_FALSE(main->isPeakTableShown());
    key(EventKeyboard::KeyCode::KEY_K);
    EXPECT_FALSE(main->isPeakTableShown());
    // Every view carries its scales.
    EXPECT_NE(main->getViewLayer(ViewLayer::kAxisLabels), nullptr);
    model.common_settings.spectrumMode = CommonSettings::kPowerMode;
    step(1);
    EXPECT_NE(main->getViewLayer(ViewLayer::kAxisLabels), nullptr);
}

}  // namespace
