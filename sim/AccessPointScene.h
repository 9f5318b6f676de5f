#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimAccessPoint.h"

// The access points around the simulated accessory: a fixed neighbourhood of 25 networks over
// both bands (vendor address blocks, typical names, a mix of security kinds and channel widths,
// bonded 80 MHz channels at 5 GHz) whose levels and visibility vary from scan to scan by seed.
// It includes E0:91:F5:76:83:22 and :23, the café network that demonstration playback renames.
class AccessPointScene {
  public:
    explicit AccessPointScene(uint64_t seed);

    // Nominal records, 2.4 GHz ones first.
    const std::vector<SimAccessPoint>& accessPoints() const { return accessPoints_; }

    // Fraction of time each access point's channel carries its traffic (0..1), by index.
    double trafficLoad(size_t index) const { return load_[index]; }

    // What scan number `scanIndex` reports for the chosen bands: levels wander by a few dB,
    // the weakest networks are sometimes missed, strongest first as the firmware sorts them.
    std::vector<SimAccessPoint> scan(uint64_t scanIndex, bool band24, bool band5) const;

  private:
    uint64_t seed_;
    std::vector<SimAccessPoint> accessPoints_;
    std::vector<double> load_;
};
