// The levels under the vertical cursors without any view: interpolation between points, the
// edges of the plot, and when nothing may be written.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "acquisition/BandAcquisition.h"
#include "acquisition/SpectrumCursorReadouts.h"
#include "model/MeasurementRecords.h"
#include "model/StoredSettings.h"

namespace {

// Two sweeps of a ramp, 0 dBm to -10 dBm over 11 points, then 10 dB lower: the maximum keeps
// the first, every other trace follows the second.
struct Band {
    Band() : buffers(11) {
        std::vector<float> ramp(11);
        for (int i = 0; i < 11; ++i)
            ramp[static_cast<size_t>(i)] = -static_cast<float>(i);
        acquisition.add(buffers, ramp.data(), ramp.size(), LevelGrid{}, settings);
        for (float& v : ramp)
            v -= 10.f;
        acquisition.add(buffers, ramp.data(), ramp.size(), LevelGrid{}, settings);
    }
    BandSweepBuffers buffers;
    BandAcquisition acquisition;
    TraceProcessing::Settings settings;
};

CursorSettings shownAt(float x0, float x1) {
    CursorSettings cursors;
    cursors.cursorsShown = 1;
    cursors.verticalShown = 1;
    cursors.verticalX[0] = x0;
    cursors.verticalX[1] = x1;
    return cursors;
}

}  // namespace

TEST(SpectrumCursorReadouts, LevelsBetweenPointsAndAtTheEdges) {
    Band band;
    CursorReadouts out;
    // 100 units wide: a point every 10; the second cursor halfway between points 2 and 3.
    SpectrumCursorReadouts::write(band.buffers, shownAt(100.f, 25.f), 100.f, 2.f, 5.f, out);
    EXPECT_EQ(out.pointCount, 11);
    EXPECT_EQ(out.index[0], 10);
    EXPECT_EQ(out.index[1], 2);
    EXPECT_FLOAT_EQ(out.level[CursorReadouts::kRaw][1], -12.5f);
    EXPECT_FLOAT_EQ(out.level[CursorReadouts::kMaximum][1], -2.5f);
    EXPECT_FLOAT_EQ(out.level[CursorReadouts::kRaw][0], -20.f);
    EXPECT_FLOAT_EQ(out.screenY[CursorReadouts::kMaximum][1], -2.5f * 2.f + 5.f);

    // Left of the plot, or nowhere at all, reads the first point.
    SpectrumCursorReadouts::write(band.buffers, shownAt(-30.f, NAN), 100.f, 1.f, 0.f, out);
    EXPECT_EQ(out.index[0], 0);
    EXPECT_EQ(out.index[1], 0);
    EXPECT_FLOAT_EQ(out.level[CursorReadouts::kMinimum][1], -10.f);
}

TEST(SpectrumCursorReadouts, NothingIsWrittenWithoutCursorsPointsOrWidth) {
    Band band;
    CursorReadouts out;
    CursorSettings hidden = shownAt(50.f, 50.f);
    hidden.verticalShown = 0;
    SpectrumCursorReadouts::write(band.buffers, hidden, 100.f, 1.f, 0.f, out);
    SpectrumCursorReadouts::write(band.buffers, shownAt(50.f, 50.f), 0.f, 1.f, 0.f, out);
    SpectrumCursorReadouts::write(band.buffers, shownAt(50.f, 50.f), NAN, 1.f, 0.f, out);
    BandSweepBuffers empty(11);
    SpectrumCursorReadouts::write(empty, shownAt(50.f, 50.f), 100.f, 1.f, 0.f, out);
    EXPECT_EQ(out.index[0], -1);
    EXPECT_EQ(out.pointCount, 0);
}
