#include "model/BandSweepBuffers.h"

#include <algorithm>
#include <atomic>

namespace {

// Each band numbers its sweeps from its own base, 2^40 sweeps apart: more than a century of
// sweeps at ten a second.
std::atomic<uint64_t> nextSerialBase{0};

}  // namespace

void HeatMap::clear() {
    counts.clear();
    columns = 0;
    rows = 0;
    dirty = true;
    cumulative = false;
}

BandSweepBuffers::BandSweepBuffers(int pointsPerSweep)
    : pointsPerSweep_(std::max(pointsPerSweep, 1)),
      firstSerial_(nextSerialBase.fetch_add(uint64_t{1} << 40, std::memory_order_relaxed)),
      history_(pointsPerSweep_) {
    for (auto& trace : traces) {
        trace.assign(static_cast<size_t>(pointsPerSweep_), 0.0f);
    }
}

bool BandSweepBuffers::appendSweep(const float* values, int count) {
    if (values == nullptr || count <= 0) {
        return false;
    }
    const int n = std::min(count, pointsPerSweep_);
    if (sweepLimit > 0 && sweepCount() >= sweepLimit) {
        // Drop whole oldest rows so that exactly sweepLimit - 1 remain before the append.
        const int dropRows = history_.dropOldest(sweepCount() - sweepLimit + 1);
        firstSerial_ += static_cast<uint64_t>(dropRows);
    }
    float* row = history_.pushBack(sweepLimit);
    std::copy_n(values, n, row);
    std::fill(row + n, row + pointsPerSweep_, 0.0f);
    newSweep = true;
    sweepPointCount = n;
    return true;
}

void BandSweepBuffers::clear() {
    firstSerial_ += static_cast<uint64_t>(sweepCount());
    history_.clear();
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
