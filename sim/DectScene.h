#pragma once

#include "sim/SpectrumScene.h"

// Frequency-hopping cordless phones of the DECT kind made for the 2.4 GHz and 5.8 GHz bands:
// two calls (a base and a handset each) hopping every 5 ms over 1.728 MHz channels and on air
// for 3 ms of each hop. A narrow carrier shows only where the sweep happens to meet a hop, so a
// live sweep has a few spikes and a held maximum fills the hopping range.
class DectScene : public SpectrumScene {
  public:
    using SpectrumScene::SpectrumScene;

    // Receiver response to a narrow carrier `offsetMHz` away.
    static double carrierShapeDb(double offsetMHz);

    // Carrier frequency of hopper `hopper` during hop number `hop` in the given band.
    double hopFrequencyMHz(int hopper, int64_t hop, bool band5) const;

  protected:
    void addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                    std::span<double> milliwatts, SimRandom& rng) const override;
};
