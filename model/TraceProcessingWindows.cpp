#include "model/TraceProcessingWindows.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/BandSweepBuffers.h"

// The decay trace is defined as a fold over its hold window, point by point:
//   d' = f(...f(f(d - step, r0), r1)..., rk-1),  f(t, v) = (t < v ? v : t),  r0 the newest row.
// If d - step is NaN, every step keeps it. Otherwise f never takes a NaN row, and takes a row
// only when it is strictly larger than what it holds, so d' is d - step unless some non-NaN row
// exceeds it, and then it is the first row, newest first, that equals the largest non-NaN row M.
// Call that row's value H (-inf when every row is NaN). Equal floats have equal bits but for -0
// and +0, which is why "the first row" matters. The same argument applied from -inf gives H, so
//   d' = f(d - step, H)  exactly, NaN, -inf and signed zeros included.
// F, "the first largest non-NaN value, newest first, or -inf", splits: for newer rows A and
// older rows B, F(A then B) = (F(B) > F(A) ? F(B) : F(A)). So H comes from the rows in blocks of
// k sweeps (k the window), by serial: P = F of the current block's rows up to the newest (one
// step per sweep: P = (v >= P ? v : P), which skips a NaN v), and S[j] = F of the previous
// block's rows from the j-th on (worked out once per block, newest row first). The window is
// the current block's rows and the previous block's from j = phase + 1 on, so
// H = (S[phase + 1] > P ? S[phase + 1] : P), S[k] = -inf: three row steps a sweep for any k.

// The average is the window's sum in double, added newest first, divided by the window and
// rounded to float once. Where every row of the window is +0 or has a magnitude in
// [2^-6, 2^8), every value is a multiple of 2^-29 and every partial sum is below 2^24 (at most
// 65535 rows), so every sum is exact: adding the row arriving and subtracting the one leaving
// gives the very double that adding up the rows does. -0 is left out: a sum of only -0 is -0,
// which a subtraction cannot keep; without it no sum is ever -0, as adding up never gives one.

namespace {

// Point-wise loops run in blocks of four points with a fixed trip count, which the compiler
// turns into one vector instruction per operation at -O2 (a loop of unknown length stays scalar
// there; blocks of eight became an inner loop of two), then a scalar tail, which the sweeps of
// every generation (100, 256, 512 points) do not have. Vectors go across points, so each point
// sees its operations in the order written.
constexpr int kBlock = 4;
// Loops of one operation per point: two vectors a step, which halves the loop's own work.
constexpr int kWideBlock = 8;

// Negative when `value` is neither +0 nor of a magnitude in [2^-6, 2^8): the sign bits of
// integer differences of the magnitude's bits, without a comparison, so that the blocks vectorize.
inline int32_t inexact(float value) {
    constexpr int32_t kLow = 0x3c800000;   // 2^-6
    constexpr int32_t kHigh = 0x43800000;  // 2^8
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int32_t magnitude = static_cast<int32_t>(bits & 0x7fffffffu);
    const int32_t nonzero = static_cast<int32_t>(bits | (0u - bits));  // negative unless +0
    return ((magnitude - kLow) | (kHigh - 1 - magnitude)) & nonzero;
}

// True when every value is +0 or of a magnitude in [2^-6, 2^8).
bool exactRow(const float* __restrict row, int count) {
    int32_t bad[kBlock] = {};
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            bad[j] |= inexact(row[i + j]);
    for (; i < count; ++i)
        bad[0] |= inexact(row[i]);
    int32_t any = 0;
    for (int j = 0; j < kBlock; ++j)
        any |= bad[j];
    return any >= 0;
}

constexpr float kNone = -std::numeric_limits<float>::infinity();

// P = F(v then P) for every point: the row arriving is the newest.
void riseTo(float* __restrict prefix, const float* __restrict row, int points) {
    int i = 0;
    for (; i + kWideBlock <= points; i += kWideBlock)
        for (int j = 0; j < kWideBlock; ++j)
            prefix[i + j] = row[i + j] >= prefix[i + j] ? row[i + j] : prefix[i + j];
    for (; i < points; ++i)
        prefix[i] = row[i] >= prefix[i] ? row[i] : prefix[i];
}

// S = F(newer then v) for every point: the row is older than those of `newer`.
void suffixOf(float* __restrict suffix, const float* __restrict newer, const float* __restrict row,
              int points) {
    int i = 0;
    for (; i + kWideBlock <= points; i += kWideBlock)
        for (int j = 0; j < kWideBlock; ++j)
            suffix[i + j] = row[i + j] > newer[i + j] ? row[i + j] : newer[i + j];
    for (; i < points; ++i)
        suffix[i] = row[i] > newer[i] ? row[i] : newer[i];
}

// d = f(d - step, H) with H = F(P then S), as the fold over the hold window gives it.
void decayTowards(float* __restrict decay, const float* __restrict prefix,
                  const float* __restrict suffix, float step, int points) {
    int i = 0;
    for (; i + kBlock <= points; i += kBlock)
        for (int j = 0; j < kBlock; ++j) {
            const float h = suffix[i + j] > prefix[i + j] ? suffix[i + j] : prefix[i + j];
            const float t = decay[i + j] - step;
            decay[i + j] = t < h ? h : t;
        }
    for (; i < points; ++i) {
        const float h = suffix[i] > prefix[i] ? suffix[i] : prefix[i];
        const float t = decay[i] - step;
        decay[i] = t < h ? h : t;
    }
}

// The sum of each point's rows, newest first.
void sumRows(double* __restrict sums, const float* const* rows, int rowCount, int points) {
    int i = 0;
    for (; i + kBlock <= points; i += kBlock) {
        double s[kBlock];
        for (int j = 0; j < kBlock; ++j)
            s[j] = rows[0][i + j];
        for (int k = 1; k < rowCount; ++k) {
            const float* row = rows[k] + i;
            for (int j = 0; j < kBlock; ++j)
                s[j] += row[j];
        }
        for (int j = 0; j < kBlock; ++j)
            sums[i + j] = s[j];
    }
    for (; i < points; ++i) {
        double s = rows[0][i];
        for (int k = 1; k < rowCount; ++k)
            s += rows[k][i];
        sums[i] = s;
    }
}

template <bool kLeaving>
void slideSums(double* __restrict sums, const float* __restrict arriving,
               const float* __restrict leaving, int points) {
    int i = 0;
    for (; i + kBlock <= points; i += kBlock)
        for (int j = 0; j < kBlock; ++j) {
            const double s = sums[i + j] + static_cast<double>(arriving[i + j]);
            sums[i + j] = kLeaving ? s - static_cast<double>(leaving[i + j]) : s;
        }
    for (; i < points; ++i) {
        const double s = sums[i] + static_cast<double>(arriving[i]);
        sums[i] = kLeaving ? s - static_cast<double>(leaving[i]) : s;
    }
}

void meanOf(float* __restrict average, const double* __restrict sums, double divisor, int points) {
    int i = 0;
    for (; i + kBlock <= points; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            average[i + j] = static_cast<float>(sums[i + j] / divisor);
    for (; i < points; ++i)
        average[i] = static_cast<float>(sums[i] / divisor);
}

void raiseTo(float* __restrict trace, const float* __restrict row, int points) {
    int i = 0;
    for (; i + kWideBlock <= points; i += kWideBlock)
        for (int j = 0; j < kWideBlock; ++j)
            trace[i + j] = trace[i + j] < row[i + j] ? row[i + j] : trace[i + j];
    for (; i < points; ++i)
        trace[i] = trace[i] < row[i] ? row[i] : trace[i];
}

void lowerTo(float* __restrict trace, const float* __restrict row, int points) {
    int i = 0;
    for (; i + kWideBlock <= points; i += kWideBlock)
        for (int j = 0; j < kWideBlock; ++j)
            trace[i + j] = row[i + j] < trace[i + j] ? row[i + j] : trace[i + j];
    for (; i < points; ++i)
        trace[i] = row[i] < trace[i] ? row[i] : trace[i];
}

// Where both windows go on from the last sweep, two passes make every trace but raw: this one
// the maximum, minimum, the hold window's prefix and the decay, and tells whether the arriving row
// is exact (exactRow); slideAverage the average's sums
// (without the row `leaving`) and the average. The same operations per point as the separate
// passes. Arrays as __restrict parameters, so that the blocks vectorize.
bool stepExtremesAndDecay(float* __restrict maximum, float* __restrict minimum,
                          float* __restrict prefix, const float* __restrict suffix,
                          float* __restrict decay, float step, const float* __restrict arriving,
                          int points) {
    int32_t bad[kBlock] = {};
    int i = 0;
    for (; i + kBlock <= points; i += kBlock)
        for (int j = 0; j < kBlock; ++j) {
            const float v = arriving[i + j];
            bad[j] |= inexact(v);
            maximum[i + j] = maximum[i + j] < v ? v : maximum[i + j];
            minimum[i + j] = v < minimum[i + j] ? v : minimum[i + j];
            const float p = v >= prefix[i + j] ? v : prefix[i + j];
            prefix[i + j] = p;
            const float h = suffix[i + j] > p ? suffix[i + j] : p;
            const float t = decay[i + j] - step;
            decay[i + j] = t < h ? h : t;
        }
    for (; i < points; ++i) {
        const float v = arriving[i];
        bad[0] |= inexact(v);
        maximum[i] = maximum[i] < v ? v : maximum[i];
        minimum[i] = v < minimum[i] ? v : minimum[i];
        const float p = v >= prefix[i] ? v : prefix[i];
        prefix[i] = p;
        const float h = suffix[i] > p ? suffix[i] : p;
        const float t = decay[i] - step;
        decay[i] = t < h ? h : t;
    }
    int32_t any = 0;
    for (int j = 0; j < kBlock; ++j)
        any |= bad[j];
    return any >= 0;
}

void slideAverage(double* __restrict sums, float* __restrict average, double divisor,
                  const float* __restrict arriving, const float* __restrict leaving, int points) {
    int i = 0;
    for (; i + kBlock <= points; i += kBlock)
        for (int j = 0; j < kBlock; ++j) {
            const double s = sums[i + j] + static_cast<double>(arriving[i + j]) -
                             static_cast<double>(leaving[i + j]);
            sums[i + j] = s;
            average[i + j] = static_cast<float>(s / divisor);
        }
    for (; i < points; ++i) {
        const double s =
            sums[i] + static_cast<double>(arriving[i]) - static_cast<double>(leaving[i]);
        sums[i] = s;
        average[i] = static_cast<float>(s / divisor);
    }
}

}  // namespace

bool TraceProcessingWindows::process(BandSweepBuffers& band,
                                     const TraceProcessing::Settings& settings) {
    if (!band.newSweep)
        return false;
    const int n = band.pointsPerSweep();
    const int h = band.sweepCount();
    if (h == 0) {
        forget();
        band.processedPointCount = 0;
        band.newSweep = false;
        band.tracesReady = true;
        return true;
    }
    const int p = TraceProcessing::effectivePointCount(band.sweepPointCount, n);
    const size_t bytes = static_cast<size_t>(p) * sizeof(float);
    float* raw = band.traces[BandSweepBuffers::kRawTrace].data();
    float* decay = band.traces[BandSweepBuffers::kDecayTrace].data();
    float* maximum = band.traces[BandSweepBuffers::kMaxTrace].data();
    float* minimum = band.traces[BandSweepBuffers::kMinTrace].data();
    float* average = band.traces[BandSweepBuffers::kAverageTrace].data();
    const float* newest = band.sweep(h - 1);
    std::memcpy(raw, newest, bytes);

    // The windows go on from the last sweep only when this is the very next sweep of the same
    // band over the same points; serials are never reused, and a cleared band starts over below.
    const uint64_t serial = band.firstSerial() + static_cast<uint64_t>(h - 1);
    const bool continuing = band_ == &band && serial == newestSerial_ + 1 && points_ == p;
    band_ = &band;
    newestSerial_ = serial;
    points_ = p;
    if (holdPrefix_.size() < static_cast<size_t>(n)) {
        holdPrefix_.resize(static_cast<size_t>(n));
        sums_.resize(static_cast<size_t>(n));
    }

    if (band.processedPointCount == 0) {
        // First sweep after a reset: every trace starts from it.
        for (float* trace : {decay, maximum, minimum, average})
            std::memcpy(trace, raw, bytes);
        holdRows_ = 0;
        averageRows_ = 0;
    } else {
        const int hold = TraceProcessing::windowSweeps(settings.holdTime, settings.sweepPeriod, h);
        const int window =
            TraceProcessing::windowSweeps(settings.averageTime, settings.sweepPeriod, h);
        const float* leaving = window > 0 ? leavingRow(band, window) : nullptr;
        const bool holdGoesOn = hold > 0 && continuing && holdRows_ == hold;
        const bool sumsGoOn = window > 0 && continuing && averageRows_ == window && sumsExact_ &&
                              window <= kMaxExactRows && leaving != nullptr;
        if (holdGoesOn && sumsGoOn) {
            // The common case, every sweep once the windows are full: one pass.
            const int phase = beginHoldBlock(band, hold, p);
            const bool exact = stepExtremesAndDecay(maximum, minimum, holdPrefix_.data(),
                                                    holdSuffix(band, phase + 1), decay,
                                                    settings.decayStep, newest, p);
            const double divisor = static_cast<double>(window);
            if (exact) {
                slideAverage(sums_.data(), average, divisor, newest, leaving, p);
            } else {
                updateAverage(band, window, false, p);
                meanOf(average, sums_.data(), divisor, p);
            }
        } else {
            if (hold > 0) {
                updateHold(band, hold, continuing, p, decay, settings.decayStep);
            } else {
                holdRows_ = 0;
            }
            if (window > 0) {
                updateAverage(band, window, continuing, p);
                meanOf(average, sums_.data(), static_cast<double>(window), p);
            } else {
                averageRows_ = 0;
            }
            raiseTo(maximum, raw, p);
            lowerTo(minimum, raw, p);
        }
    }

    band.processedPointCount = p;
    band.tracesChanged();
    band.newSweep = false;
    band.tracesReady = true;
    return true;
}

void TraceProcessingWindows::gatherRows(const BandSweepBuffers& band, int first, int last) {
    rows_.resize(static_cast<size_t>(std::max(last - first, 0)));
    const int newest = band.sweepCount() - 1;
    for (int k = first; k < last; ++k)
        rows_[static_cast<size_t>(k - first)] = band.sweep(newest - k);
}

const float* TraceProcessingWindows::leavingRow(const BandSweepBuffers& band, int rows) {
    return band.sweep(band.sweepCount() - 1 - rows);
}

float* TraceProcessingWindows::holdSuffix(const BandSweepBuffers& band, int j) {
    return holdSuffix_.data() + static_cast<size_t>(j) * static_cast<size_t>(band.pointsPerSweep());
}

int TraceProcessingWindows::beginHoldBlock(const BandSweepBuffers& band, int hold, int points) {
    const int phase = static_cast<int>(newestSerial_ % static_cast<uint64_t>(hold));
    if (phase == 0) {
        // The block just completed, rows 1 .. hold - 1 back, gives the suffixes; row `hold`
        // stays -inf.
        const int newest = band.sweepCount() - 1;
        for (int j = hold - 1; j > 0; --j)
            suffixOf(holdSuffix(band, j), holdSuffix(band, j + 1), band.sweep(newest - (hold - j)),
                     points);
        std::fill(holdPrefix_.begin(), holdPrefix_.begin() + points, kNone);
    }
    return phase;
}

void TraceProcessingWindows::updateHold(const BandSweepBuffers& band, int hold, bool continuing,
                                        int points, float* decay, float step) {
    const int newest = band.sweepCount() - 1;
    float* prefix = holdPrefix_.data();
    int phase = 0;
    if (continuing && holdRows_ == hold) {
        phase = beginHoldBlock(band, hold, points);
        riseTo(prefix, band.sweep(newest), points);
    } else {
        phase = static_cast<int>(newestSerial_ % static_cast<uint64_t>(hold));
        const size_t width = static_cast<size_t>(band.pointsPerSweep());
        holdSuffix_.assign((static_cast<size_t>(hold) + 1) * width, kNone);
        std::fill(prefix, prefix + points, kNone);
        for (int k = phase; k >= 0; --k)  // the current block, oldest first
            riseTo(prefix, band.sweep(newest - k), points);
        // The previous block's rows in the window, newest first: phase + 1 .. hold - 1 back.
        for (int j = hold - 1; j > phase; --j)
            suffixOf(holdSuffix(band, j), holdSuffix(band, j + 1),
                     band.sweep(newest - (phase + hold - j)), points);
    }
    decayTowards(decay, prefix, holdSuffix(band, phase + 1), step, points);
    holdRows_ = hold;
}

void TraceProcessingWindows::updateAverage(const BandSweepBuffers& band, int window,
                                           bool continuing, int points) {
    const float* arriving = band.sweep(band.sweepCount() - 1);
    double* sums = sums_.data();
    bool slid = false;
    if (continuing && averageRows_ > 0 && sumsExact_ && window <= kMaxExactRows &&
        exactRow(arriving, points)) {
        // The exact window's rows, the one leaving included, are all exact, and so is the new one.
        if (window == averageRows_ + 1) {
            slideSums<false>(sums, arriving, nullptr, points);
            slid = true;
        } else if (window == averageRows_) {
            if (const float* leaving = leavingRow(band, window)) {
                slideSums<true>(sums, arriving, leaving, points);
                slid = true;
            }
        }
    }
    if (!slid) {
        gatherRows(band, 0, window);
        sumRows(sums, rows_.data(), window, points);
        sumsExact_ = window <= kMaxExactRows;
        for (int k = 0; k < window && sumsExact_; ++k)
            sumsExact_ = exactRow(rows_[static_cast<size_t>(k)], points);
    }
    averageRows_ = window;
}

void TraceProcessingWindows::forget() {
    band_ = nullptr;
    holdRows_ = 0;
    averageRows_ = 0;
    sumsExact_ = false;
}
