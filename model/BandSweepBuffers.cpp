#include "model/BandSweepBuffers.h"

#include <algorithm>

void HeatMap::clear() {
    counts.clear();
    columns = 0;
    rows = 0;
    dirty = true;
    cumulative = false;
}

BandSweepBuffers::BandSweepBuffers(int pointsPerSweep)
    : pointsPerSweep_(std::max(pointsPerSweep, 1)) {
    for (auto& trace : traces) {
        trace.assign(static_cast<size_t>(pointsPerSweep_), 0.0f);
    }
}

bool BandSweepBuffers::appendSweep(const float* values, int count) {
    if (values == nullptr || count <= 0) {
        return false;
    }
    const int n = std::min(count, pointsPerSweep_);
    const size_t row = static_cast<size_t>(pointsPerSweep_);
    if (sweepLimit > 0 && sweepCount() >= sweepLimit) {
        // Drop whole oldest rows so that exactly sweepLimit - 1 remain before the append.
        size_t drop = static_cast<size_t>(sweepCount() - sweepLimit + 1) * row;
        sweepHistory.erase(sweepHistory.begin(), sweepHistory.begin() + drop);
    }
    sweepHistory.insert(sweepHistory.end(), values, values + n);
    sweepHistory.resize(sweepHistory.size() + (row - static_cast<size_t>(n)), 0.0f);
    newSweep = true;
    sweepPointCount = n;
    return true;
}

int BandSweepBuffers::sweepCount() const {
    return static_cast<int>(sweepHistory.size() / static_cast<size_t>(pointsPerSweep_));
}

const float* BandSweepBuffers::sweep(int index) const {
    if (index < 0 || index >= sweepCount()) {
        return nullptr;
    }
    return sweepHistory.data() + static_cast<size_t>(index) * static_cast<size_t>(pointsPerSweep_);
}

void BandSweepBuffers::clear() {
    sweepHistory.clear();
    sweepPointCount = -1;
    newSweep = true;
    processedPointCount = 0;
    for (auto& list : peakLists) {
        resetPeakList(list);
    }
    tracesReady = false;
    heatMap.clear();
    waterfallDirty = true;
}
