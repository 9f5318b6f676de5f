#include "link/HeatMapBuilder.h"

#include <algorithm>
#include <cmath>

#include "model/BandSweepBuffers.h"

void HeatMapBuilder::rebuild(BandSweepBuffers& band, int columns, int rows, float lo, float hi) {
    HeatMap& map = band.heatMap;
    columns = std::clamp(columns, 0, band.pointsPerSweep());
    rows = std::clamp(rows, 0, kMaxRows);
    map.columns = columns;
    map.rows = rows;
    map.counts.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
    const double span = static_cast<double>(hi) - static_cast<double>(lo);
    if (columns > 0 && rows > 0 && std::isfinite(span) && span > 0.0) {
        const double scale = (rows - 1) / span;
        const int total = band.sweepCount();
        const int first = std::max(0, total - kNewestSweeps);
        for (int s = first; s < total; ++s) {
            const float* sweep = band.sweep(s);
            for (int j = 0; j < columns; ++j) {
                double row = std::round((static_cast<double>(sweep[j]) - lo) * scale);
                if (std::isnan(row)) {
                    continue;
                }
                row = std::clamp(row, 0.0, static_cast<double>(rows - 1));
                uint16_t& cell =
                    map.counts[static_cast<size_t>(row) * static_cast<size_t>(columns) + j];
                if (cell < UINT16_MAX) {
                    ++cell;
                }
            }
        }
    }
    map.dirty = true;
    band.waterfallDirty = true;
}
