#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace engine {

// Counts the frames the director drew and skipped and, when enabled, the CPU time each took:
// for a drawn frame the whole process's (the software rasteriser works on threads of its own),
// for a skipped one the main thread's. Percentiles come from a histogram of 0.1 ms bins, so a
// day's run costs no more memory than a minute's. Drawn frames are also summed per view, as the
// application names what it shows, since what a frame costs depends on what is on screen.
class FrameStats {
  public:
    static constexpr double kBinMs = 0.1;
    static constexpr size_t kBins = 2000;  // up to 200 ms; slower frames land in the last bin

    void setEnabled(bool enabled) { _enabled = enabled; }
    bool isEnabled() const { return _enabled; }

    // Brackets one run of the frame loop; drawn says whether it visited, drew and swapped.
    void beginFrame();
    void endFrame(bool drawn);
    // The same with a measured cost, for callers (and tests) that time frames themselves.
    void record(bool drawn, double cpuMs);

    uint64_t framesDrawn() const { return _drawn; }
    uint64_t framesSkipped() const { return _skipped; }
    double meanDrawnMs() const {
        return _timedDrawn ? _drawnSumMs / static_cast<double>(_timedDrawn) : 0;
    }
    double meanSkippedMs() const {
        return _timedSkipped ? _skippedSumMs / static_cast<double>(_timedSkipped) : 0;
    }
    // What the following frames show (for example "waterfall"); empty: no view named.
    void setView(const std::string& view) { _view = view; }
    const std::string& getView() const { return _view; }
    struct ViewTotals {
        std::string view;
        uint64_t drawn = 0;  // timed drawn frames
        double sumMs = 0;
        double meanMs() const { return drawn ? sumMs / static_cast<double>(drawn) : 0; }
    };
    // In the order the views were first shown.
    const std::vector<ViewTotals>& getViewTotals() const { return _views; }

    // The upper edge of the bin holding the 95th percentile of drawn-frame costs.
    double percentile95DrawnMs() const;

    void print(std::FILE* out) const;
    void reset() { *this = FrameStats(); }

  private:
    bool _enabled = false;
    uint64_t _drawn = 0;
    uint64_t _skipped = 0;
    uint64_t _timedDrawn = 0;
    uint64_t _timedSkipped = 0;
    double _drawnSumMs = 0;
    double _skippedSumMs = 0;
    std::array<uint32_t, kBins> _histogram{};
    double _processStartMs = 0;
    double _threadStartMs = 0;
    std::string _view;
    std::vector<ViewTotals> _views;
};

}  // namespace engine
