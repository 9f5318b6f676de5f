#include "sim/WifiScene.h"

#include <cmath>

#include "sim/BurstSchedule.h"
#include "sim/SimRandom.h"

namespace {

constexpr double kBeaconInterval = 0.1024;  // 100 time units
constexpr double kBeaconLength = 0.0004;
constexpr double kSpellSeconds = 2.0;  // traffic changes between busy and quiet spells

}  // namespace

WifiScene::WifiScene(uint64_t seed) : SpectrumScene(seed), accessPoints_(seed) {}

double WifiScene::ofdmShapeDb(double offsetMHz, double widthMHz) {
    // Transmit mask corners scaled to the channel width: flat over the occupied subcarriers,
    // -20 dB just outside, -28 dB one width out, -40 dB at one and a half widths.
    double d = std::fabs(offsetMHz) / widthMHz;
    if (d <= 0.45) {
        return 0.0;
    }
    if (d <= 0.55) {
        return -20.0 * (d - 0.45) / 0.10;
    }
    if (d <= 1.0) {
        return -20.0 - 8.0 * (d - 0.55) / 0.45;
    }
    if (d <= 1.5) {
        return -28.0 - 12.0 * (d - 1.0) / 0.5;
    }
    return -40.0 - 20.0 * (d - 1.5);
}

void WifiScene::addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                           std::span<double> milliwatts, SimRandom& rng) const {
    bool band5 = is5GHz(grid);
    double sweepEnd = startSeconds + dwellSeconds * grid.points;
    double lowMHz = grid.startMHz;
    double highMHz = grid.frequencyMHz(grid.points - 1);
    const auto& aps = accessPoints_.accessPoints();
    uint64_t spell = static_cast<uint64_t>(std::floor(startSeconds / kSpellSeconds));
    for (size_t index = 0; index < aps.size(); ++index) {
        const SimAccessPoint& ap = aps[index];
        double width = ap.occupiedMHz();
        double centre = ap.centreMHz();
        if (ap.is5GHz != band5 || centre + width < lowMHz || centre - width > highMHz) {
            continue;
        }
        // Energy spreads over the channel; a receiver bin of about 1 MHz with a peak detector
        // sits this far below the total received power.
        double topDbm = ap.rssi - 10.0 * std::log10(width) + 3.0;
        SimRandom spellRng(SimRandom::mix(seed(), index, spell));
        double load = accessPoints_.trafficLoad(index) * spellRng.uniform(0.3, 1.7);
        BurstSchedule schedule;
        schedule.generate({load, 0.00015, 0.0025, topDbm, 0.35, -15.0, 8.0}, startSeconds, sweepEnd,
                          rng);
        double phase = std::fmod(static_cast<double>(index) * 0.0137, kBeaconInterval);
        double firstBeacon =
            std::floor((startSeconds - phase) / kBeaconInterval) * kBeaconInterval + phase;
        for (double t = firstBeacon; t < sweepEnd; t += kBeaconInterval) {
            schedule.add(t, kBeaconLength, topDbm);
        }
        schedule.apply(
            grid, startSeconds, dwellSeconds, centre, 2.0 * width,
            [width](double offset) { return ofdmShapeDb(offset, width); }, milliwatts);
    }
}
