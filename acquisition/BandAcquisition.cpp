#include "acquisition/BandAcquisition.h"

#include <algorithm>

#include "model/BandSweepBuffers.h"

int BandAcquisition::add(BandSweepBuffers& band, const float* values, size_t count,
                         const LevelGrid& grid, const TraceProcessing::Settings& traces) {
    const int n = static_cast<int>(std::min(count, static_cast<size_t>(band.pointsPerSweep())));
    if (!band.appendSweep(values, n))
        return 0;
    heatMap_.update(band, n, grid.rows, grid.lo, grid.hi);
    traces_.process(band, traces);
    return n;
}
