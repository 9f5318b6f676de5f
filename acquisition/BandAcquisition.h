#pragma once

#include <cmath>
#include <cstddef>

#include "acquisition/HeatMapBuilder.h"
#include "model/TraceProcessing.h"
#include "model/TraceProcessingWindows.h"

class BandSweepBuffers;

// The level rows of a band's heat map and the dBm range they span, from the accessory
// description. No rows (or a NaN range, before any description) counts nothing.
struct LevelGrid {
    int rows = 0;
    float lo = NAN;
    float hi = NAN;
};

// Everything derived from one band's sweeps, brought up to date once as each sweep arrives: the
// history, the persistence heat map, the raw, decay, average, maximum and minimum traces and their
// peaks. Views and headless commands only read what this leaves in the band, so a trace exists
// whether or not anything draws it. One per band: the heat-map builder remembers what it counted,
// and the trace windows what they held.
class BandAcquisition {
  public:
    // Appends `count` levels (at most the band's row) and derives from them. Returns the points
    // stored, 0 (and nothing changed) for a null or empty sweep.
    int add(BandSweepBuffers& band, const float* values, size_t count, const LevelGrid& grid,
            const TraceProcessing::Settings& traces);

  private:
    HeatMapBuilder heatMap_;
    TraceProcessingWindows traces_;
};
