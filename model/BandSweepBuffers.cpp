#include "model/BandSweepBuffers.h"

#include <algorithm>
#include <atomic>

#include "model/TraceProcessing.h"

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
    for (auto& list : peakLists_) {
        resetPeakList(list);
    }
    stalePeaks_ = 0;
    tracesReady = false;
    heatMap.clear();
    waterfallDirty = true;
}

const PeakList& BandSweepBuffers::peaks(int list) const {
    static const PeakList kNone{};
    if (list < 0 || list >= kPeakListCount) {
        return kNone;
    }
    const size_t at = static_cast<size_t>(list);
    const uint8_t bit = static_cast<uint8_t>(1u << list);
    if (stalePeaks_ & bit) {
        // Lists in kind order; `traces` in Trace order.
        static constexpr Trace kTraceOfList[kPeakListCount] = {kRawTrace, kDecayTrace,
                                                               kAverageTrace, kMaxTrace, kMinTrace};
        const std::vector<float>& trace = traces[static_cast<size_t>(kTraceOfList[list])];
        const int points = std::clamp(processedPointCount, 0, static_cast<int>(trace.size()));
        TraceProcessing::findTopPeaks(trace.data(), points, peakLists_[at]);
        stalePeaks_ = static_cast<uint8_t>(stalePeaks_ & ~bit);
    }
    return peakLists_[at];
}

void BandSweepBuffers::setPeaks(int list, const PeakList& peaks) {
    if (list < 0 || list >= kPeakListCount) {
        return;
    }
    peakLists_[static_cast<size_t>(list)] = peaks;
    stalePeaks_ = static_cast<uint8_t>(stalePeaks_ & ~(1u << list));
}
