#include "menus/MenuSliderScales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using Scale = std::function<float(float)>;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Every value a slider can write shows at a position that writes it again.
void expectPositionsRoundTrip(const Scale& valueFor, const Scale& percentFor, const char* name) {
    for (int p = 0; p <= 100; ++p) {
        const float value = valueFor(static_cast<float>(p));
        const float shown = percentFor(value);
        EXPECT_EQ(shown, std::round(shown)) << name << " " << p;
        EXPECT_EQ(valueFor(shown), value)
            << name << " at " << p << "% wrote " << value << ", shown at " << shown << "%";
    }
}

TEST(MenuSliderScalesTest, EveryWrittenValueShowsAtItsOwnPosition) {
    expectPositionsRoundTrip(MenuSliderScales::refreshForPercent,
                             MenuSliderScales::percentForRefresh, "refresh");
    expectPositionsRoundTrip(MenuSliderScales::holdForPercent, MenuSliderScales::percentForHold,
                             "hold");
    expectPositionsRoundTrip(MenuSliderScales::decayForPercent, MenuSliderScales::percentForDecay,
                             "decay");
    expectPositionsRoundTrip(MenuSliderScales::averageForPercent,
                             MenuSliderScales::percentForAverage, "average");
    expectPositionsRoundTrip(
        [](float p) { return static_cast<float>(MenuSliderScales::peakCountForPercent(p)); },
        MenuSliderScales::percentForPeakCount, "peaks");
    // The ends that truncating an inexact reciprocal got wrong.
    EXPECT_EQ(MenuSliderScales::percentForRefresh(120.f), 100.f);
    EXPECT_EQ(MenuSliderScales::percentForHold(3.f), 100.f);
}

TEST(MenuSliderScalesTest, RefreshStepsAreWholeTensFromTwentyWithAlwaysAtZero) {
    EXPECT_EQ(MenuSliderScales::refreshForPercent(0.f), 0.f);
    EXPECT_EQ(MenuSliderScales::refreshForPercent(1.f), 20.f);
    EXPECT_EQ(MenuSliderScales::refreshForPercent(5.f), 20.f);
    EXPECT_EQ(MenuSliderScales::refreshForPercent(25.f), 30.f);
    EXPECT_EQ(MenuSliderScales::refreshForPercent(99.f), 110.f);
    EXPECT_EQ(MenuSliderScales::refreshForPercent(100.f), 120.f);
    // A stored non-zero interval never shows at the "ALWAYS" position.
    EXPECT_GT(MenuSliderScales::percentForRefresh(0.5f), 0.f);
}

TEST(MenuSliderScalesTest, DamagedStoredValuesShowInsideTheSlider) {
    for (float stored : {kNaN, -1.f, 1e30f, -1e30f, std::numeric_limits<float>::infinity()}) {
        for (const Scale& percentFor :
             {Scale(MenuSliderScales::percentForRefresh), Scale(MenuSliderScales::percentForHold),
              Scale(MenuSliderScales::percentForDecay), Scale(MenuSliderScales::percentForAverage),
              Scale(MenuSliderScales::percentForPeakCount)}) {
            const float shown = percentFor(stored);
            EXPECT_GE(shown, 0.f) << stored;
            EXPECT_LE(shown, 100.f) << stored;
        }
    }
    EXPECT_EQ(MenuSliderScales::percentForHold(kNaN), 0.f);
    EXPECT_EQ(MenuSliderScales::percentForPeakCount(200.f), 100.f);
    EXPECT_EQ(MenuSliderScales::holdForPercent(kNaN), 0.f);
}

TEST(MenuSliderScalesTest, PeakCountsTakeTwentyPercentEach) {
    EXPECT_EQ(MenuSliderScales::peakCountForPercent(100.f), 5);
    EXPECT_EQ(MenuSliderScales::peakCountForPercent(19.f), 0);
    EXPECT_EQ(MenuSliderScales::peakCountForPercent(20.f), 1);
    EXPECT_EQ(MenuSliderScales::peakCountForPercent(60.f), 3);
}

}  // namespace
