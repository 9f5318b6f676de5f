#include "engine/base/FrameStats.h"

#include <time.h>

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

double cpuMs(clockid_t clock) {
    timespec ts{};
    if (clock_gettime(clock, &ts) != 0)
        return 0;
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

}  // namespace

void FrameStats::beginFrame() {
    if (!_enabled)
        return;
    _processStartMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    _threadStartMs = cpuMs(CLOCK_THREAD_CPUTIME_ID);
}

void FrameStats::endFrame(bool drawn) {
    if (!_enabled) {
        ++(drawn ? _drawn : _skipped);
        return;
    }
    const double spent = drawn ? cpuMs(CLOCK_PROCESS_CPUTIME_ID) - _processStartMs
                               : cpuMs(CLOCK_THREAD_CPUTIME_ID) - _threadStartMs;
    record(drawn, spent);
}

void FrameStats::record(bool drawn, double spentMs) {
    spentMs = std::max(0.0, spentMs);
    if (!drawn) {
        ++_skipped;
        ++_timedSkipped;
        _skippedSumMs += spentMs;
        return;
    }
    ++_drawn;
    ++_timedDrawn;
    _drawnSumMs += spentMs;
    if (!_view.empty()) {
        auto it = std::find_if(_views.begin(), _views.end(),
                               [this](const ViewTotals& t) { return t.view == _view; });
        if (it == _views.end())
            it = _views.insert(_views.end(), ViewTotals{_view, 0, 0});
        ++it->drawn;
        it->sumMs += spentMs;
    }
    const auto bin = static_cast<size_t>(spentMs / kBinMs);
    ++_histogram[std::min(bin, kBins - 1)];
}

double FrameStats::percentile95DrawnMs() const {
    if (_timedDrawn == 0)
        return 0;
    // The smallest bin edge with at least 95 % of the frames at or below it.
    const auto wanted = static_cast<uint64_t>(std::ceil(0.95 * static_cast<double>(_timedDrawn)));
    uint64_t seen = 0;
    for (size_t i = 0; i < kBins; ++i) {
        seen += _histogram[i];
        if (seen >= wanted)
            return static_cast<double>(i + 1) * kBinMs;
    }
    return static_cast<double>(kBins) * kBinMs;
}

void FrameStats::print(std::FILE* out) const {
    const uint64_t total = _drawn + _skipped;
    const double share =
        total ? 100.0 * static_cast<double>(_drawn) / static_cast<double>(total) : 0.0;
    std::fprintf(out, "frames drawn: %llu\nframes skipped: %llu (%.1f %% of frames drawn)\n",
                 static_cast<unsigned long long>(_drawn), static_cast<unsigned long long>(_skipped),
                 share);
    if (_timedDrawn == 0 && _timedSkipped == 0)
        return;
    std::fprintf(out,
                 "frame CPU, drawn frames (whole process): mean %.2f ms, 95th percentile %.1f ms\n"
                 "frame CPU, skipped frames (main thread): mean %.3f ms\n",
                 meanDrawnMs(), percentile95DrawnMs(), meanSkippedMs());
    for (const ViewTotals& totals : _views) {
        std::fprintf(
            out, "frame CPU, %s view (whole process): mean %.2f ms over %llu drawn frames\n",
            totals.view.c_str(), totals.meanMs(), static_cast<unsigned long long>(totals.drawn));
    }
}

}  // namespace engine
