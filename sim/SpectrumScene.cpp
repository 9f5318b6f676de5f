#include "sim/SpectrumScene.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/DectScene.h"
#include "sim/DsssScene.h"
#include "sim/SimRandom.h"
#include "sim/WifiScene.h"

std::unique_ptr<SpectrumScene> SpectrumScene::create(SignalType type, uint64_t seed) {
    switch (type) {
        case SignalType::Wifi:
            return std::make_unique<WifiScene>(seed);
        case SignalType::Dect:
            return std::make_unique<DectScene>(seed);
        case SignalType::Dsss:
            return std::make_unique<DsssScene>(seed);
        case SignalType::None:
            break;
    }
    return std::make_unique<QuietScene>(seed);
}

double SpectrumScene::toMilliwatts(double dbm) {
    return std::pow(10.0, dbm / 10.0);
}

double SpectrumScene::noiseFloorDbm(double frequencyMHz) {
    // The front end is a little noisier at 5 GHz, and its filter ripple leaves a gentle wave
    // across either band.
    double base = frequencyMHz > 4000.0 ? -94.0 : -96.0;
    return base + 0.8 * std::sin(frequencyMHz * 0.09);
}

void SpectrumScene::render(const SweepGrid& grid, double startSeconds, double sweepSeconds,
                           std::span<float> dbm) const {
    size_t points = std::min(dbm.size(), static_cast<size_t>(grid.points > 0 ? grid.points : 0));
    uint64_t tag = static_cast<uint64_t>(std::llround(startSeconds * 1e6));
    SimRandom rng(SimRandom::mix(seed_, tag, static_cast<uint64_t>(grid.startMHz)));
    std::vector<double> milliwatts(points);
    for (size_t i = 0; i < points; ++i) {
        // Detector noise: the average of a few exponential power samples, about +-2 dB.
        double noise = 0.0;
        for (int k = 0; k < 4; ++k) {
            noise += rng.exponential();
        }
        milliwatts[i] =
            toMilliwatts(noiseFloorDbm(grid.frequencyMHz(static_cast<int>(i)))) * noise / 4.0;
    }
    double dwell = grid.points > 0 ? sweepSeconds / grid.points : 0.0;
    addSignals(grid, startSeconds, dwell, milliwatts, rng);
    for (size_t i = 0; i < points; ++i) {
        dbm[i] = static_cast<float>(10.0 * std::log10(milliwatts[i]));
    }
}
