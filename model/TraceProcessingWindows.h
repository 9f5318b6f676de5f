#pragma once

#include <cstdint>
#include <vector>

#include "model/TraceProcessing.h"

// The trace processing of one band with what its hold and average windows held at the last sweep,
// so that the next sweep costs the row arriving and the row leaving instead of a pass over every
// row of both windows. BandAcquisition keeps one per band; TraceProcessing::processBand uses a
// fresh one, which works every window out from the rows. Both give the same traces bit for bit.
class TraceProcessingWindows {
  public:
    // As TraceProcessing::processBand.
    bool process(BandSweepBuffers& band, const TraceProcessing::Settings& settings);

    // Sums of more rows than this may round; they are then added up from the rows every sweep.
    static constexpr int kMaxExactRows = 65535;

  private:
    // Rows `first`..`last` - 1 back from the newest of `band` (0: the newest) into rows_.
    void gatherRows(const BandSweepBuffers& band, int first, int last);
    // Where the hold window goes on: its phase in its block of serials; at a block's first sweep
    // the suffixes of the block just completed are worked out and the prefix starts over.
    int beginHoldBlock(const BandSweepBuffers& band, int hold, int points);
    // Row j of the previous block's suffixes; row `hold` is all -inf.
    float* holdSuffix(const BandSweepBuffers& band, int j);
    // Brings the hold window's largest values up to date and lets `decay` fall towards them.
    void updateHold(const BandSweepBuffers& band, int hold, bool continuing, int points,
                    float* decay, float step);
    void updateAverage(const BandSweepBuffers& band, int window, bool continuing, int points);
    // The row `rows` back from the newest, which leaves a window of `rows` rows as a sweep
    // arrives; nullptr when the history no longer holds it.
    static const float* leavingRow(const BandSweepBuffers& band, int rows);
    void forget();

    const BandSweepBuffers* band_ = nullptr;
    uint64_t newestSerial_ = 0;
    int points_ = 0;

    // Hold window of k rows, per point, in blocks of k serials: the largest of the current
    // block's rows up to the newest and of the previous block's from each row on (NaN skipped;
    // of equal values the newest row's, which decides between -0 and +0; -inf for none).
    int holdRows_ = 0;  // k; 0: not worked out
    std::vector<float> holdPrefix_;
    std::vector<float> holdSuffix_;  // k + 1 rows of pointsPerSweep() values

    // Average window, per point: the sum of its rows in double.
    int averageRows_ = 0;  // 0: not worked out
    // Every row of the window is +0 or has a magnitude in [2^-6, 2^8): all are multiples of
    // 2^-29 and the sums stay below 2^24, so every sum is exact whatever the order of its terms.
    bool sumsExact_ = false;
    std::vector<double> sums_;

    std::vector<const float*> rows_;  // scratch, newest first
};
