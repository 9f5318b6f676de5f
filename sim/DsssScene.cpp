#include "sim/DsssScene.h"

#include <algorithm>
#include <cmath>

#include "sim/BurstSchedule.h"
#include "sim/SimRandom.h"

namespace {

struct DsssTransmitter {
    double centreMHz;
    double topDbm;
    double load;
};

const DsssTransmitter kTransmitters24[] = {{2412.0, -50.0, 0.8}, {2462.0, -63.0, 0.35}};
const DsssTransmitter kTransmitters5[] = {{5785.0, -60.0, 0.7}};

constexpr double kChipRateMHz = 11.0;

}  // namespace

double DsssScene::humpShapeDb(double offsetMHz) {
    // sinc^2 main lobe with its first nulls at the chip rate; the transmit filter holds the
    // side lobes 30 dB down and everything beyond two lobes 50 dB down.
    double d = std::fabs(offsetMHz);
    if (d < kChipRateMHz) {
        double x = 3.141592653589793 * d / kChipRateMHz;
        double sinc = d < 1e-9 ? 1.0 : std::sin(x) / x;
        return std::max(10.0 * std::log10(sinc * sinc), -30.0);
    }
    if (d < 2.0 * kChipRateMHz) {
        return -30.0 - 6.0 * (d - kChipRateMHz) / kChipRateMHz;
    }
    return -50.0;
}

void DsssScene::addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                           std::span<double> milliwatts, SimRandom& rng) const {
    std::span<const DsssTransmitter> transmitters =
        is5GHz(grid) ? std::span<const DsssTransmitter>(kTransmitters5)
                     : std::span<const DsssTransmitter>(kTransmitters24);
    double sweepEnd = startSeconds + dwellSeconds * grid.points;
    for (const DsssTransmitter& tx : transmitters) {
        BurstSchedule schedule;
        // Long frames at low rates; acknowledgements from the far end arrive weaker.
        schedule.generate({tx.load, 0.0005, 0.004, tx.topDbm, 0.2, -12.0, -4.0}, startSeconds,
                          sweepEnd, rng);
        schedule.apply(grid, startSeconds, dwellSeconds, tx.centreMHz, 3.0 * kChipRateMHz,
                       humpShapeDb, milliwatts);
    }
}
