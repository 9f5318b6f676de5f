#include "acquisition/HeatMapBuilder.h"

#include <algorithm>
#include <cmath>

#include "model/BandSweepBuffers.h"

namespace {

struct Grid {
    int columns;
    int rows;
    double lo;
    double scale;  // rows per dB; 0 when nothing can be counted

    Grid(const BandSweepBuffers& band, int c, int r, float low, float high) {
        columns = std::clamp(c, 0, band.pointsPerSweep());
        rows = std::clamp(r, 0, HeatMapBuilder::kMaxRows);
        lo = low;
        const double span = static_cast<double>(high) - static_cast<double>(low);
        scale =
            columns > 0 && rows > 0 && std::isfinite(span) && span > 0.0 ? (rows - 1) / span : 0.0;
    }

    // Adds (+1) or removes (-1) one sweep's hits.
    void count(HeatMap& map, const float* sweep, int delta) const {
        if (scale == 0.0 || sweep == nullptr) {
            return;
        }
        const size_t width = static_cast<size_t>(columns);
        for (int j = 0; j < columns; ++j) {
            double row = std::round((static_cast<double>(sweep[j]) - lo) * scale);
            if (std::isnan(row)) {
                continue;
            }
            row = std::clamp(row, 0.0, static_cast<double>(rows - 1));
            uint16_t& cell = map.counts[static_cast<size_t>(row) * width + static_cast<size_t>(j)];
            if (delta > 0 && cell < UINT16_MAX) {
                ++cell;
            } else if (delta < 0 && cell > 0) {
                --cell;
            }
        }
    }
};

}  // namespace

void HeatMapBuilder::rebuild(BandSweepBuffers& band, int columns, int rows, float lo, float hi) {
    Grid grid(band, columns, rows, lo, hi);
    HeatMap& map = band.heatMap;
    map.columns = grid.columns;
    map.rows = grid.rows;
    map.counts.assign(static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows), 0);
    const int total = band.sweepCount();
    for (int s = std::max(0, total - kNewestSweeps); s < total; ++s) {
        grid.count(map, band.sweep(s), +1);
    }
    map.dirty = true;
    band.waterfallDirty = true;
}

void HeatMapBuilder::update(BandSweepBuffers& band, int columns, int rows, float lo, float hi) {
    Grid grid(band, columns, rows, lo, hi);
    HeatMap& map = band.heatMap;
    const int total = band.sweepCount();
    const bool limited = band.sweepLimit > 0;
    // One sweep appended to what was built: the count grew by one, or stayed at a full limit.
    const bool oneMore =
        total == sweepCount_ + 1 || (limited && total == band.sweepLimit && sweepCount_ == total);
    // The sweep leaving the window must still be stored to be taken away.
    const bool leaverStored = !limited || band.sweepLimit > kNewestSweeps;
    const bool same =
        built_ && columns_ == grid.columns && rows_ == grid.rows &&
        (lo_ == lo || (std::isnan(lo_) && std::isnan(lo))) &&
        (hi_ == hi || (std::isnan(hi_) && std::isnan(hi))) && map.columns == grid.columns &&
        map.rows == grid.rows &&
        map.counts.size() == static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows);
    if (same && oneMore && leaverStored && total > 0) {
        grid.count(map, band.sweep(total - 1), +1);
        if (total > kNewestSweeps) {
            grid.count(map, band.sweep(total - 1 - kNewestSweeps), -1);
        }
        map.dirty = true;
        band.waterfallDirty = true;
    } else {
        rebuild(band, columns, rows, lo, hi);
    }
    built_ = true;
    columns_ = grid.columns;
    rows_ = grid.rows;
    lo_ = lo;
    hi_ = hi;
    sweepCount_ = total;
}
