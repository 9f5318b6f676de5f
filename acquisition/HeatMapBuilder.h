#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class BandSweepBuffers;

// Keeps a band's persistence heat map equal to the hit counts of its newest sweeps: one hit per
// point and sweep in the row of its level. BandAcquisition runs it once per arriving sweep. One
// builder per band: it remembers what it built so that the next sweep only adds its own
// hits and takes away those of the sweep that left the window, instead of recounting all fifty.
class HeatMapBuilder {
  public:
    static constexpr int kNewestSweeps = 50;
    // Level rows come from the accessory description; more than this is not a real accessory and
    // would only cost memory.
    static constexpr int kMaxRows = 4096;

    // After one sweep was appended to `band`: brings its heat map up to date. Recounts from
    // scratch whenever anything else changed (size, range, a cleared or refilled history).
    void update(BandSweepBuffers& band, int columns, int rows, float lo, float hi);

    // Recounts `columns` points of each of the newest sweeps into `rows` level rows spanning
    // lo..hi dBm. Levels below the range count in row 0 and above it in the top row; a NaN level,
    // or a range that is NaN or empty (no description yet), adds nothing, so no count lands
    // outside the grid.
    static void rebuild(BandSweepBuffers& band, int columns, int rows, float lo, float hi);

  private:
    static constexpr uint64_t kNoSweep = UINT64_MAX;

    // Where the newest sweeps' hits were counted (row × columns, the start of the cell's row),
    // one slot per serial modulo kNewestSweeps, so that a sweep leaving the window is taken away
    // without working out its rows again. The sweep arriving takes the slot of the one leaving.
    // Valid for the grid last built.
    uint32_t* slotFor(uint64_t serial) {
        return cachedRows_.data() + (serial % kNewestSweeps) * static_cast<uint64_t>(columns_);
    }
    std::vector<uint32_t> cachedRows_;
    std::array<uint64_t, kNewestSweeps> cachedSerial_{};  // filled by the first update's recount

    // Row starts (as in cachedRows_) of levels seen lately, by the level's bits: a band's levels
    // are decoded from bytes, so a few hundred values recur, and looking one up costs less than
    // working it out. Each level is kept beside its row start, so one look-up finds both; every
    // entry is a true pair for the grid last built.
    static constexpr int kMemoBits = 9;
    struct MemoEntry {
        uint32_t level = 0;  // the level's bits
        uint32_t rowStart = 0;
    };
    std::array<MemoEntry, std::size_t{1} << kMemoBits> memo_{};

    bool built_ = false;
    int columns_ = 0;
    int rows_ = 0;
    float lo_ = 0.0f;
    float hi_ = 0.0f;
    int sweepCount_ = 0;
};
