#pragma once

#include "sim/AccessPointScene.h"
#include "sim/SpectrumScene.h"

// Wi-Fi traffic of the access points around the accessory: OFDM bursts with a flat top and the
// steep skirts of the transmit mask, 20 and 40 MHz wide at 2.4 GHz and 20, 40 or 80 MHz at
// 5 GHz, beacons every 102.4 ms, clients answering at other levels, and busy and quiet spells
// that change every couple of seconds.
class WifiScene : public SpectrumScene {
  public:
    explicit WifiScene(uint64_t seed);

    // Level of one OFDM channel relative to its top, `offsetMHz` from its centre.
    static double ofdmShapeDb(double offsetMHz, double widthMHz);

    const AccessPointScene& accessPoints() const { return accessPoints_; }

  protected:
    void addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                    std::span<double> milliwatts, SimRandom& rng) const override;

  private:
    AccessPointScene accessPoints_;
};
