#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/PeakList.h"
#include "model/SweepRing.h"

// Hit counts of a band's persistence heat map.
struct HeatMap {
    std::vector<uint16_t> counts;  // rows × columns, index row × columns + column
    int32_t reserved = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    bool dirty = true;
    bool cumulative = false;

    void clear();
};

// Sweeps and processed traces of one frequency band. The link appends sweeps under the trace
// lock; the spectrum layers process and draw them under the same lock.
class BandSweepBuffers {
  public:
    // Traces in the order of `traces`.
    enum Trace { kRawTrace = 0, kDecayTrace = 1, kMaxTrace = 2, kMinTrace = 3, kAverageTrace = 4 };
    // Peak lists in the order of the trace kinds: raw, decay, average, maximum, minimum.
    static constexpr int kPeakListCount = 5;

    explicit BandSweepBuffers(int pointsPerSweep);

    // Stored row length: 256 values for 2.4 GHz, 512 for 5 GHz.
    int pointsPerSweep() const { return pointsPerSweep_; }

    // Appends one sweep as a full row, dropping the oldest when `sweepLimit` sweeps are held.
    // At most pointsPerSweep() values are taken; the rest of the row is zero. Sets `newSweep`
    // and `sweepPointCount`. False (and nothing changed) for a null or empty sweep. `values` must
    // not point into this band's own history. Costs one row: the history is a ring.
    bool appendSweep(const float* values, int count);

    int sweepCount() const { return history_.size(); }
    // Oldest first; nullptr outside 0..sweepCount()-1. Each sweep is a contiguous row of
    // pointsPerSweep() values, but consecutive sweeps need not be adjacent in memory.
    const float* sweep(int index) const { return history_.row(index); }

    // Serial number of sweep(0); sweep(i) has serial firstSerial() + i. Serials are never reused,
    // not even by another band, so a view can tell which sweeps it already drew are still held.
    uint64_t firstSerial() const { return firstSerial_; }

    // Empties the history and heat map and resets processing, as after a configuration change.
    void clear();

    // The five highest points of peak list `list` (kPeakListCount of them, in trace-kind order)
    // over the first processedPointCount points of its trace; empty entries for a list out of
    // range. Worked out on the first read after the traces changed, since most sweeps' peaks are
    // never looked at: every reader gets what processing each sweep would have given.
    const PeakList& peaks(int list) const;
    // After the traces changed: every list is worked out again when next read.
    void tracesChanged() { stalePeaks_ = kAllPeakLists; }
    // Puts a list in place as it is (no trace behind it), until the traces next change.
    void setPeaks(int list, const PeakList& peaks);

    int32_t sweepLimit = 510;  // sweeps held at most; 0 or less: no limit
    int32_t sweepPointCount = -1;
    bool newSweep = false;
    std::array<std::vector<float>, 5> traces;  // pointsPerSweep() values each
    int32_t processedPointCount = 0;           // 0: the next sweep seeds every trace
    bool tracesReady = false;
    HeatMap heatMap;
    bool waterfallDirty = true;

  private:
    static constexpr uint8_t kAllPeakLists = (1u << kPeakListCount) - 1;

    // A cache filled by the const reader: one thread owns the band (or the reader holds the
    // trace lock, as for every other read).
    mutable std::array<PeakList, kPeakListCount> peakLists_;
    mutable uint8_t stalePeaks_ = 0;  // bit per list
    int pointsPerSweep_;
    uint64_t firstSerial_;
    // Whole rows of pointsPerSweep() dBm values, oldest first. Changed only through appendSweep()
    // and clear(), which keep the serials.
    SweepRing history_;
};
