// One sweep in, everything derived from it out: the band's history, heat map, traces and peaks,
// and the edges where nothing may be stored or counted.
#include <gtest/gtest.h>

#include <vector>

#include "acquisition/BandAcquisition.h"
#include "acquisition/SpectrumAcquisition.h"
#include "model/SpectrumSettings.h"

namespace {

std::vector<float> flat(float level, size_t points, size_t peakAt, float peak) {
    std::vector<float> row(points, level);
    row[peakAt] = peak;
    return row;
}

}  // namespace

TEST(BandAcquisition, ASweepArrivesWithItsHeatMapTracesAndPeaks) {
    BandSweepBuffers band(256);
    BandAcquisition acquisition;
    TraceProcessing::Settings settings;      // 0.1 s sweeps, 1 s hold and average
    const LevelGrid grid{81, -90.f, -10.f};  // one row per dB
    ASSERT_EQ(acquisition.add(band, flat(-80.f, 256, 40, -30.f).data(), 256, grid, settings), 256);
    ASSERT_EQ(acquisition.add(band, flat(-70.f, 256, 90, -20.f).data(), 256, grid, settings), 256);
    EXPECT_EQ(band.traces[BandSweepBuffers::kRawTrace][40], -70.f);
    EXPECT_EQ(band.traces[BandSweepBuffers::kMaxTrace][40], -30.f);
    EXPECT_EQ(band.traces[BandSweepBuffers::kMinTrace][90], -80.f);
    EXPECT_EQ(band.traces[BandSweepBuffers::kAverageTrace][5], -75.f);
    // Peak lists run raw, decay, average, maximum, minimum.
    EXPECT_EQ(band.peaks(0)[0].index, 90);
    EXPECT_EQ(band.peaks(3)[0].index, 90);
    EXPECT_EQ(band.peaks(3)[1].index, 40);
    // Column 40 has one hit at -30 dBm (row 60) and one at -70 dBm (row 20).
    ASSERT_EQ(band.heatMap.rows, 81);
    ASSERT_EQ(band.heatMap.columns, 256);
    EXPECT_EQ(band.heatMap.counts[60 * 256 + 40], 1);
    EXPECT_EQ(band.heatMap.counts[20 * 256 + 40], 1);
    EXPECT_EQ(band.heatMap.counts[10 * 256 + 40], 0);
    EXPECT_TRUE(band.tracesReady);
    EXPECT_FALSE(band.newSweep);
}

TEST(BandAcquisition, EmptyLongAndUngriddedSweeps) {
    BandSweepBuffers band(256);
    BandAcquisition acquisition;
    const TraceProcessing::Settings settings;
    const std::vector<float> row(600, -50.f);
    EXPECT_EQ(acquisition.add(band, nullptr, 10, LevelGrid{}, settings), 0);
    EXPECT_EQ(acquisition.add(band, row.data(), 0, LevelGrid{}, settings), 0);
    EXPECT_EQ(band.sweepCount(), 0);
    EXPECT_FALSE(band.tracesReady);
    // More levels than the row holds: the row's worth is taken.
    EXPECT_EQ(acquisition.add(band, row.data(), row.size(), LevelGrid{}, settings), 256);
    EXPECT_EQ(band.processedPointCount, 256);
    EXPECT_EQ(band.traces[BandSweepBuffers::kMaxTrace][255], -50.f);
    // No level grid (no description yet): traces, but no count lands anywhere.
    EXPECT_EQ(band.heatMap.rows, 0);
    EXPECT_TRUE(band.heatMap.counts.empty());
}

TEST(SpectrumAcquisition, SweepsGoToTheirBandWithTheModelsSettings) {
    SpectrumSettings model;
    SpectrumAcquisition acquisition;
    model.accessory.spectrumInterval5 = 0.5f;
    model.spectrum_settings.averageTime = 1.f;  // two 5 GHz sweeps
    const std::vector<float> low(512, -80.f), high(512, -60.f);
    EXPECT_EQ(acquisition.addSweep(model, 3, low.data(), low.size()), 0);
    EXPECT_EQ(acquisition.addSweep(model, SpectrumAcquisition::kBand5, low.data(), 512), 512);
    EXPECT_EQ(acquisition.addSweep(model, SpectrumAcquisition::kBand5, high.data(), 512), 512);
    EXPECT_EQ(acquisition.addSweep(model, SpectrumAcquisition::kBand5, high.data(), 512), 512);
    EXPECT_EQ(model.band24.sweepCount(), 0);
    EXPECT_EQ(model.band5.sweepCount(), 3);
    EXPECT_EQ(model.band5.traces[BandSweepBuffers::kAverageTrace][100], -60.f);
    EXPECT_EQ(model.band5.traces[BandSweepBuffers::kMinTrace][100], -80.f);
    // The heat map spans the description's 5 GHz level range.
    EXPECT_EQ(model.band5.heatMap.rows, model.accessory.levelRows5);
    EXPECT_EQ(model.band5.heatMap.columns, 512);
}
