#pragma once

#include <cstddef>

#include "acquisition/BandAcquisition.h"

class SpectrumSettings;

// The sweeps of both bands as they arrive: each is stored in its band of the model with its heat
// map, processed traces and peaks, using the accessory's level grid and sweep period and the
// view's hold, average and decay settings. The model's owner calls it once per sweep frame
// (FrameDelivery).
class SpectrumAcquisition {
  public:
    // Band numbers as the protocols decode them.
    static constexpr int kBand24 = 1;
    static constexpr int kBand5 = 2;

    // Stores and processes one sweep of `band`. Returns the points stored; 0 for an unknown band
    // or an empty sweep. Caller holds traceLock and settingsLock (or owns the model).
    int addSweep(SpectrumSettings& model, int band, const float* values, size_t count);

    // The level grid the model's accessory description gives a band's heat map.
    static LevelGrid levelGrid(const SpectrumSettings& model, int band);

  private:
    BandAcquisition band24_;
    BandAcquisition band5_;
};
