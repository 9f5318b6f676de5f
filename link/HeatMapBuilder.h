#pragma once

class BandSweepBuffers;

// Rebuilds a band's persistence heat map from its newest sweeps: one hit per point and sweep in
// the row of its level. Runs on the link's thread under traceLock after every sweep.
class HeatMapBuilder {
  public:
    static constexpr int kNewestSweeps = 50;
    // Level rows come from the accessory description; more than this is not a real accessory and
    // would only cost memory.
    static constexpr int kMaxRows = 4096;

    // `columns` points of each of the newest sweeps, `rows` level rows spanning lo..hi dBm.
    // Levels below the range count in row 0 and above it in the top row; a NaN level, or a range
    // that is NaN or empty (no description yet), adds nothing, so no count lands outside the grid.
    static void rebuild(BandSweepBuffers& band, int columns, int rows, float lo, float hi);
};
