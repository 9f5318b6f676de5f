#include "acquisition/HeatMapBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/BandSweepBuffers.h"

namespace {

// Level row of a NaN level: counted nowhere. Never a real row (at most kMaxRows of them).
constexpr uint16_t kSkip = UINT16_MAX;
static_assert(HeatMapBuilder::kMaxRows < kSkip);
// Points of a sweep counted at most: far more than any accessory sends (512), and few enough
// that every row start (row × columns) fits 32 bits below kSkipStart.
constexpr int kMaxColumns = 1 << 16;
// Row start of a NaN level: never a real one.
constexpr uint32_t kSkipStart = UINT32_MAX;
static_assert(uint64_t{HeatMapBuilder::kMaxRows} * kMaxColumns < kSkipStart);
// A cell never holds more than kNewestSweeps hits, so adding a hit never wraps a count.
static_assert(HeatMapBuilder::kNewestSweeps < UINT16_MAX);

struct Grid {
    int columns;
    int rows;
    double lo;
    double scale;  // rows per dB; 0 when nothing can be counted
    double top;    // the top row

    Grid(const BandSweepBuffers& band, int c, int r, float low, float high) {
        columns = std::clamp(c, 0, std::min(band.pointsPerSweep(), kMaxColumns));
        rows = std::clamp(r, 0, HeatMapBuilder::kMaxRows);
        lo = low;
        top = static_cast<double>(std::max(rows - 1, 0));
        const double span = static_cast<double>(high) - static_cast<double>(low);
        scale =
            columns > 0 && rows > 0 && std::isfinite(span) && span > 0.0 ? (rows - 1) / span : 0.0;
    }

    // The level row of `level`: round((level - lo) × scale) clamped to the grid, exactly as
    // std::round and std::clamp give it, without a library call or a hard-to-predict branch per
    // point. kSkip for NaN.
    uint16_t rowOf(float level) const {
        double x = (static_cast<double>(level) - lo) * scale;
        if (std::isnan(x)) {
            return kSkip;
        }
        // Clamping first changes nothing: below 0.5 rounds to row 0 or below, and from the top
        // row up to the top row. In 0 <= x <= rows - 1 < 4096 the fraction is exact, and a half
        // rounds up (away from 0) as std::round does.
        x = x < 0.0 ? 0.0 : x;
        x = x > top ? top : x;
        const int whole = static_cast<int>(x);
        return static_cast<uint16_t>(whole + (x - whole >= 0.5 ? 1 : 0));
    }

    // Where the cells of `level`'s row start in the counts: row × columns, kSkipStart for NaN.
    uint32_t rowStartOf(float level) const {
        const uint16_t row = rowOf(level);
        return row == kSkip ? kSkipStart
                            : static_cast<uint32_t>(row) * static_cast<uint32_t>(columns);
    }

    // The row start of each of the first `columns` points of `sweep`.
    void rowStartsOf(const float* sweep, uint32_t* out) const {
        for (int j = 0; j < columns; ++j) {
            out[j] = rowStartOf(sweep[j]);
        }
    }

    // Adds one sweep's hits; a count never passes UINT16_MAX. Without branches on the counts:
    // the rows of noise jump about.
    void add(HeatMap& map, const uint32_t* startsOfSweep) const {
        uint16_t* counts = map.counts.data();
        for (size_t j = 0; j < static_cast<size_t>(columns); ++j) {
            if (startsOfSweep[j] != kSkipStart) {
                uint16_t& cell = counts[startsOfSweep[j] + j];
                cell = static_cast<uint16_t>(cell + (cell != UINT16_MAX ? 1 : 0));
            }
        }
    }

    // Adds the hits of `sweep` and takes away those of the sweep whose row starts `held` holds,
    // in one pass that leaves the row starts of `sweep` in `held`. Every cell counts hits of the
    // newest kNewestSweeps sweeps only (the builder keeps it so), so a hit added never passes that
    // and the cell of the sweep leaving holds its hit: no saturation to test, and a point that
    // stays in its row adds one and takes it away again. No branch on whether a point moved: for
    // noise that is a coin toss, and a mispredicted branch stalls the loads of the cells that
    // follow. The row starts of levels met before come from `memo` (slot by the level's bits),
    // so most points cost a look-up and two cell updates.
    template <typename Entry>
    void replace(uint16_t* __restrict counts, const float* __restrict sweep,
                 uint32_t* __restrict held, Entry* __restrict memo, int memoBits) const {
        const size_t width = static_cast<size_t>(columns);
        for (size_t j = 0; j < width; ++j) {
            const float level = sweep[j];
            uint32_t bits;
            std::memcpy(&bits, &level, sizeof bits);
            const size_t at = (bits * 0x9E3779B1u) >> (32 - memoBits);
            Entry& entry = memo[at];
            if (entry.level != bits) [[unlikely]] {
                entry.level = bits;
                entry.rowStart = rowStartOf(level);
            }
            const uint32_t up = entry.rowStart;
            const uint32_t down = held[j];
            held[j] = up;
            if (up != kSkipStart)
                ++counts[up + j];
            if (down != kSkipStart)
                --counts[down + j];
        }
    }
};

// Recounts the newest sweeps; `startsOfSweep(serial)` gives the place for each sweep's row starts.
template <typename Slot>
void recount(BandSweepBuffers& band, const Grid& grid, Slot&& startsOfSweep) {
    HeatMap& map = band.heatMap;
    map.columns = grid.columns;
    map.rows = grid.rows;
    map.counts.assign(static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows), 0);
    if (grid.scale != 0.0) {
        const int total = band.sweepCount();
        for (int s = std::max(0, total - HeatMapBuilder::kNewestSweeps); s < total; ++s) {
            uint32_t* starts = startsOfSweep(band.firstSerial() + static_cast<uint64_t>(s));
            grid.rowStartsOf(band.sweep(s), starts);
            grid.add(map, starts);
        }
    }
    map.dirty = true;
    band.waterfallDirty = true;
}

}  // namespace

void HeatMapBuilder::rebuild(BandSweepBuffers& band, int columns, int rows, float lo, float hi) {
    const Grid grid(band, columns, rows, lo, hi);
    std::vector<uint32_t> scratch(static_cast<size_t>(grid.columns));
    recount(band, grid, [&scratch](uint64_t) { return scratch.data(); });
}

void HeatMapBuilder::update(BandSweepBuffers& band, int columns, int rows, float lo, float hi) {
    const Grid grid(band, columns, rows, lo, hi);
    HeatMap& map = band.heatMap;
    const int total = band.sweepCount();
    const bool limited = band.sweepLimit > 0;
    // One sweep appended to what was built: the count grew by one, or stayed at a full limit.
    const bool oneMore =
        total == sweepCount_ + 1 || (limited && total == band.sweepLimit && sweepCount_ == total);
    // The sweep leaving the window must still be stored to be taken away.
    const bool leaverStored = !limited || band.sweepLimit > kNewestSweeps;
    const bool same =
        built_ && columns_ == grid.columns && rows_ == grid.rows &&
        (lo_ == lo || (std::isnan(lo_) && std::isnan(lo))) &&
        (hi_ == hi || (std::isnan(hi_) && std::isnan(hi))) && map.columns == grid.columns &&
        map.rows == grid.rows &&
        map.counts.size() == static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows);
    if (same && oneMore && leaverStored && total > 0) {
        if (grid.scale != 0.0) {
            const uint64_t serial = band.firstSerial() + static_cast<uint64_t>(total - 1);
            // The arriving sweep takes the slot of the one leaving the window.
            uint32_t* slot = slotFor(serial);
            uint64_t& slotSerial = cachedSerial_[serial % kNewestSweeps];
            if (total > kNewestSweeps) {
                const uint64_t leaver = serial - kNewestSweeps;
                if (slotSerial != leaver) {
                    grid.rowStartsOf(band.sweep(total - 1 - kNewestSweeps), slot);
                }
            } else {
                std::fill(slot, slot + grid.columns, kSkipStart);
            }
            grid.replace(map.counts.data(), band.sweep(total - 1), slot, memo_.data(), kMemoBits);
            slotSerial = serial;
        }
        map.dirty = true;
        band.waterfallDirty = true;
    } else {
        columns_ = grid.columns;
        // A new grid: every memo entry becomes the level 0 and its row.
        memo_.fill(MemoEntry{0, grid.rowStartOf(0.0f)});  // 0: the bits of 0.0f
        cachedSerial_.fill(kNoSweep);
        cachedRows_.resize(static_cast<size_t>(kNewestSweeps) * static_cast<size_t>(grid.columns));
        recount(band, grid, [this](uint64_t serial) {
            cachedSerial_[serial % kNewestSweeps] = serial;
            return slotFor(serial);
        });
    }
    built_ = true;
    columns_ = grid.columns;
    rows_ = grid.rows;
    lo_ = lo;
    hi_ = hi;
    sweepCount_ = total;
}
