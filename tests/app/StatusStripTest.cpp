#include "app/StatusStrip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/2d/Label.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

class StatusStripTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.runtime.displayClass = 3;             // bar 75 points high
        model.spectrum_settings.traceModes[0] = 6;  // heat map: no readouts
        model.spectrum_settings.traceModes[1] = 1;  // raw
        model.spectrum_settings.traceModes[2] = 4;  // max hold
        strip = StatusStrip::createWithModel(&model);
        ASSERT_NE(strip, nullptr);
        scene->addChild(strip);
    }
    void refresh(float shown = 1.f) {
        strip->updateLabels();
        strip->layoutLabels(shown);
    }
    // Which labels show: amplitude, division, trigger, position, then the pairs.
    std::string shown() const {
        std::string out;
        auto mark = [&](engine::Label* label) { out += label->getOpacity() > 0 ? '1' : '0'; };
        mark(strip->getAmplitudeLabel());
        mark(strip->getDivisionLabel());
        mark(strip->getTriggerLabel());
        mark(strip->getCursorXLabel());
        for (int n = 0; n < 3; ++n) {
            EXPECT_EQ(strip->getReadoutAtLabel(n)->getOpacity(),
                      strip->getReadoutDeltaLabel(n)->getOpacity());
            mark(strip->getReadoutAtLabel(n));
        }
        EXPECT_EQ(strip->getCursorXLabel()->getOpacity(),
                  strip->getCursorDeltaXLabel()->getOpacity());
        return out;
    }

    SpectrumSettings model;
    StatusStrip* strip = nullptr;
};

TEST_F(StatusStripTest, ColumnsFollowModeViewAndCursors) {
    refresh();
    EXPECT_EQ(shown(), "1100000");  // cursors off: amplitude and division
    model.cursors.cursorsShown = 1;
    refresh();
    EXPECT_EQ(shown(), "1101110");  // one pair per trace slot with readouts, not the heat map
    EXPECT_EQ(strip->getReadoutAtLabel(0)->getString().rfind("@dBm:", 0), 0u);
    model.spectrum_settings.viewMode = 1;
    refresh();
    EXPECT_EQ(shown(), "1101100");  // the waterfall reads the first pair only
    model.common_settings.spectrumMode = 0;
    refresh();
    EXPECT_EQ(shown(), "1111100");  // power: trigger, time readouts and the selected trace
    EXPECT_EQ(strip->getCursorXLabel()->getString().rfind("@t:", 0), 0u);
    model.cursors.cursorsShown = 0;
    refresh();
    EXPECT_EQ(shown(), "1110000");
}

TEST_F(StatusStripTest, FadesWithTheBarInThreeRowsLeftOfTheFlyButton) {
    model.cursors.cursorsShown = 1;
    refresh(0.5f);
    EXPECT_EQ(strip->getAmplitudeLabel()->getOpacity(), 127);
    EXPECT_EQ(strip->getReadoutAtLabel(1)->getOpacity(), 127);
    EXPECT_EQ(strip->getReadoutAtLabel(2)->getOpacity(), 0);
    refresh(0.f);
    EXPECT_EQ(strip->getAmplitudeLabel()->getOpacity(), 0);
    refresh(1.f);

    // Single labels in the middle of the strip, "@" above and "Δ" below.
    EXPECT_EQ(strip->getAmplitudeLabel()->getPositionY(), 38.f);
    EXPECT_EQ(strip->getCursorXLabel()->getPositionY(), 56.f);
    EXPECT_EQ(strip->getCursorDeltaXLabel()->getPositionY(), 19.f);
    EXPECT_EQ(strip->getReadoutAtLabel(0)->getPositionY(), 56.f);
    EXPECT_EQ(strip->getReadoutDeltaLabel(0)->getPositionY(), 19.f);
    // Columns left to right, the last one clear of the bar's fly button.
    const std::vector<engine::Label*> columns = {
        strip->getAmplitudeLabel(), strip->getDivisionLabel(), strip->getCursorXLabel(),
        strip->getReadoutAtLabel(0), strip->getReadoutAtLabel(1)};
    for (size_t i = 1; i < columns.size(); ++i)
        EXPECT_LT(columns[i - 1]->getPositionX(), columns[i]->getPositionX());
    engine::Label* last = columns.back();
    EXPECT_LT(last->getPositionX() + last->getContentSize().width * 0.5f, kWidth - 40.f);
    EXPECT_GT(strip->getAmplitudeLabel()->getPositionX(),
              strip->getAmplitudeLabel()->getContentSize().width * 0.5f);
    // The strip is the bar's: along the bottom, as high as the bar.
    EXPECT_EQ(strip->getContentSize().height, 75.f);
    EXPECT_EQ(strip->getContentSize().width, kWidth);
}

}  // namespace
