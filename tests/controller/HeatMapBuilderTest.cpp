// The heat map the packet path keeps per band, against a plain recount of its newest sweeps:
// rounding on half rows, and sweep-by-sweep updates while the sweep history wraps, its limit moves
// and the band's point count changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "acquisition/HeatMapBuilder.h"
#include "model/BandSweepBuffers.h"

namespace {

// The heat map as first written: std::round and std::clamp per point over the newest sweeps.
std::vector<uint16_t> referenceHeatMap(const BandSweepBuffers& band, int columns, int rows,
                                       float lo, float hi) {
    std::vector<uint16_t> counts(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
    const double span = static_cast<double>(hi) - static_cast<double>(lo);
    const double scale = rows > 0 && span > 0.0 ? (rows - 1) / span : 0.0;
    if (scale == 0.0) {
        return counts;
    }
    const int total = band.sweepCount();
    for (int s = std::max(0, total - HeatMapBuilder::kNewestSweeps); s < total; ++s) {
        for (int j = 0; j < columns; ++j) {
            double row = std::round((static_cast<double>(band.sweep(s)[j]) - lo) * scale);
            if (std::isnan(row)) {
                continue;
            }
            row = std::clamp(row, 0.0, static_cast<double>(rows - 1));
            ++counts[static_cast<size_t>(row) * static_cast<size_t>(columns) +
                     static_cast<size_t>(j)];
        }
    }
    return counts;
}

}  // namespace

TEST(HeatMap, LevelsOnHalfRowsRoundAwayFromZeroAsStdRoundDoes) {
    BandSweepBuffers band(256);
    // One row per dB from -90: a level k + 0.5 dB above -90 sits exactly between rows k and k + 1.
    std::vector<float> sweep = {-89.5f,  -88.5f, -90.5f,   -90.4f,    -11.5f,
                                -10.5f,  -9.6f,  INFINITY, -INFINITY, NAN,
                                -50.49f, -50.5f, -50.51f,  -90.0f,    -10.0f};
    const int columns = static_cast<int>(sweep.size());
    band.appendSweep(sweep.data(), columns);
    HeatMapBuilder::rebuild(band, columns, 81, -90.0f, -10.0f);
    const HeatMap& map = band.heatMap;
    auto rowOf = [&map](int column) {
        for (int r = 0; r < map.rows; ++r) {
            if (map.counts[static_cast<size_t>(r * map.columns + column)] != 0) {
                return r;
            }
        }
        return -1;
    };
    const std::vector<int> expected = {1, 2, 0, 0, 79, 80, 80, 80, 0, -1, 40, 40, 39, 0, 80};
    for (int j = 0; j < columns; ++j) {
        EXPECT_EQ(rowOf(j), expected[static_cast<size_t>(j)]) << "level " << sweep[j];
    }
    EXPECT_EQ(map.counts, referenceHeatMap(band, columns, 81, -90.0f, -10.0f));

    // Random levels over grids of every kind of size, against the reference.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> level(-130.0f, 20.0f);
    BandSweepBuffers noisy(512);
    std::vector<float> values(512);
    for (int s = 0; s < 60; ++s) {
        for (float& v : values) {
            v = level(random);
        }
        noisy.appendSweep(values.data(), 512);
    }
    for (int rows : {2, 7, 64, 81, 255, HeatMapBuilder::kMaxRows}) {
        HeatMapBuilder::rebuild(noisy, 512, rows, -95.3f, -12.7f);
        ASSERT_EQ(noisy.heatMap.counts, referenceHeatMap(noisy, 512, rows, -95.3f, -12.7f))
            << rows << " rows";
    }
}

TEST(HeatMap, SweepBySweepUpdatesMatchTheReferenceWhileTheHistoryWrapsAndItsLimitMoves) {
    BandSweepBuffers band(256);
    HeatMapBuilder builder;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> level(-110.0f, 0.0f);
    std::vector<float> sweep(256);
    for (int s = 0; s < 1400; ++s) {
        // Half the points hold a steady level, so that many stay in their row.
        for (size_t j = 0; j < sweep.size(); ++j) {
            sweep[j] = j % 2 == 0 ? -60.0f - static_cast<float>(j % 7) : level(random);
        }
        if (s % 97 == 0) {
            sweep[static_cast<size_t>(s) % sweep.size()] = NAN;
        }
        if (s == 700) {
            band.sweepLimit = 200;  // lowered below what the history holds
        } else if (s == 900) {
            band.sweepLimit = 600;
        } else if (s == 1100) {
            band.sweepLimit = 40;  // fewer than the heat map counts: each sweep recounts
        } else if (s == 1200) {
            band.sweepLimit = 510;
        }
        const int points = s >= 1300 ? 200 : 256;  // the band's point count changes
        band.appendSweep(sweep.data(), points);
        builder.update(band, points, 96, -95.0f, -5.0f);
        if (s % 23 == 0 || s > 1390) {
            ASSERT_EQ(band.heatMap.counts, referenceHeatMap(band, points, 96, -95.0f, -5.0f))
                << "after sweep " << s;
        }
    }
}

TEST(HeatMap, RecurringLevelsCountInTheRowsOfTheCurrentRange) {
    // Levels decoded from bytes recur, so most of them are rows met before; after the range or
    // the row count changes, the same level belongs in another row.
    BandSweepBuffers band(64);
    band.sweepLimit = 80;
    HeatMapBuilder builder;
    std::mt19937 random(11);
    std::vector<float> sweep(64);
    struct Grid {
        int rows;
        float lo;
        float hi;
    };
    const Grid grids[] = {{248, -100.0f, -10.0f}, {248, -95.0f, -20.0f}, {64, -95.0f, -20.0f}};
    for (int s = 0; s < 360; ++s) {
        const Grid& grid = grids[(s / 120) % 3];
        for (float& v : sweep) {
            v = static_cast<float>(random() % 256) * 0.36290324f - 100.0f;
        }
        band.appendSweep(sweep.data(), 64);
        builder.update(band, 64, grid.rows, grid.lo, grid.hi);
        ASSERT_EQ(band.heatMap.counts, referenceHeatMap(band, 64, grid.rows, grid.lo, grid.hi))
            << "after sweep " << s;
    }
}
