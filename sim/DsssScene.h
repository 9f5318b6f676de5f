#pragma once

#include "sim/SpectrumScene.h"

// Direct-sequence transmitters (802.11b links at 2.4 GHz, a 5.8 GHz point-to-point link in the
// 5 GHz band): the rounded 22 MHz hump of an 11 Mchip/s spread spectrum with filtered side
// lobes, on air most of the time.
class DsssScene : public SpectrumScene {
  public:
    using SpectrumScene::SpectrumScene;

    // Level relative to the hump's top, `offsetMHz` from its centre.
    static double humpShapeDb(double offsetMHz);

  protected:
    void addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                    std::span<double> milliwatts, SimRandom& rng) const override;
};
