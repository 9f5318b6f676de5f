#include "sim/DectScene.h"

#include <algorithm>
#include <cmath>

#include "sim/BurstSchedule.h"
#include "sim/SimRandom.h"

namespace {

constexpr double kHopSeconds = 0.005;
constexpr double kOnSeconds = 0.003;
constexpr double kChannelMHz = 1.728;
constexpr int kChannels = 45;
constexpr double kFirstChannel24 = 2402.0;
constexpr double kFirstChannel5 = 5727.0;

struct Hopper {
    double levelDbm;
    double phaseSeconds;  // where in its hop the hopper starts transmitting
};

// Bases are stronger than the handsets they talk to.
const Hopper kHoppers[] = {{-47.0, 0.0}, {-58.0, 0.0025}, {-66.0, 0.0011}, {-74.0, 0.0036}};

}  // namespace

double DectScene::carrierShapeDb(double offsetMHz) {
    // Gaussian resolution filter, 3 dB down at +-0.5 MHz, floored where it meets the noise.
    double d = offsetMHz / 0.5;
    return std::max(-3.0 * d * d, -45.0);
}

double DectScene::hopFrequencyMHz(int hopper, int64_t hop, bool band5) const {
    SimRandom rng(
        SimRandom::mix(seed(), static_cast<uint64_t>(hopper) + 0xDEC7, static_cast<uint64_t>(hop)));
    double first = band5 ? kFirstChannel5 : kFirstChannel24;
    return first + kChannelMHz * rng.below(kChannels);
}

void DectScene::addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                           std::span<double> milliwatts, SimRandom& rng) const {
    bool band5 = is5GHz(grid);
    int points = static_cast<int>(milliwatts.size());
    for (int h = 0; h < static_cast<int>(std::size(kHoppers)); ++h) {
        const Hopper& hopper = kHoppers[h];
        for (int i = 0; i < points; ++i) {
            double from = startSeconds + dwellSeconds * i - hopper.phaseSeconds;
            double to = from + dwellSeconds;
            // Every hop whose transmission overlaps this point's dwell.
            for (int64_t hop = static_cast<int64_t>(std::floor(from / kHopSeconds));
                 hop * kHopSeconds < to; ++hop) {
                double onFrom = hop * kHopSeconds;
                if (onFrom + kOnSeconds <= from) {
                    continue;
                }
                double offset = grid.frequencyMHz(i) - hopFrequencyMHz(h, hop, band5);
                if (std::fabs(offset) > 3.0) {
                    continue;
                }
                double level = hopper.levelDbm + 0.7 * rng.normal();
                milliwatts[static_cast<size_t>(i)] += milliwattsOf(level + carrierShapeDb(offset));
            }
        }
    }
}
