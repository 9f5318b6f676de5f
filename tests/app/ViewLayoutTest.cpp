#include "app/ViewLayout.h"

#include <gtest/gtest.h>

namespace {

using L = ViewLayer;

TEST(ViewLayoutTest, EveryModeViewAndScanCombination) {
    EXPECT_EQ(ViewLayout::layersFor(1, 0, false),
              (std::vector<L>{L::kGrid, L::kSpectrumTrace, L::kPeakLabels, L::kAxisLabels,
                              L::kCursors, L::kChannelGuide, L::kOverlay}));
    // The scales and peak labels lie over the outlines, the cursors over them.
    EXPECT_EQ(ViewLayout::layersFor(1, 0, true),
              (std::vector<L>{L::kGrid, L::kSpectrumTrace, L::kAccessPointOutlines, L::kPeakLabels,
                              L::kAxisLabels, L::kCursors, L::kChannelGuide, L::kOverlay}));
    // The waterfall has no access-point outlines; its touch layer lies above the cursors.
    for (bool scan : {false, true}) {
        EXPECT_EQ(ViewLayout::layersFor(1, 1, scan),
                  (std::vector<L>{L::kGrid, L::kWaterfall, L::kAxisLabels, L::kCursors,
                                  L::kWaterfallTouch, L::kChannelGuide, L::kOverlay}));
    }
    EXPECT_EQ(ViewLayout::layersFor(1, 7, true), std::vector<L>{L::kGrid});
    // Power mode ignores the spectrum view and the scan setting.
    for (int view : {0, 1, 5}) {
        EXPECT_EQ(ViewLayout::layersFor(0, view, true),
                  (std::vector<L>{L::kGrid, L::kPowerTrace, L::kAxisLabels, L::kCursors,
                                  L::kPowerTouch, L::kPowerMeterNotice, L::kOverlay}));
    }
}

}  // namespace
