#include "sim/BurstSchedule.h"

#include <algorithm>
#include <cmath>

#include "sim/SimRandom.h"

double milliwattsOf(double dbm) {
    return std::pow(10.0, dbm / 10.0);
}

void BurstSchedule::generate(const Traffic& traffic, double from, double to, SimRandom& rng) {
    double load = std::clamp(traffic.load, 0.0, 0.95);
    if (load <= 0.0) {
        return;
    }
    double meanLength = 0.5 * (traffic.minSeconds + traffic.maxSeconds);
    double meanGap = meanLength * (1.0 - load) / load;
    // Start somewhere inside a gap or burst so sweeps do not all begin in silence.
    double t = from - rng.uniform() * (meanLength + meanGap);
    while (t < to) {
        double length = rng.uniform(traffic.minSeconds, traffic.maxSeconds);
        double level = traffic.levelDbm + rng.normal() * 1.0;
        if (rng.chance(traffic.otherShare)) {
            level = traffic.levelDbm + rng.uniform(traffic.otherLowDb, traffic.otherHighDb);
        }
        if (t + length > from) {
            bursts_.push_back({t, t + length, level});
        }
        t += length + meanGap * rng.exponential();
    }
}

void BurstSchedule::add(double start, double length, double levelDbm) {
    Burst burst{start, start + length, levelDbm};
    auto at = std::upper_bound(bursts_.begin(), bursts_.end(), burst,
                               [](const Burst& a, const Burst& b) { return a.start < b.start; });
    bursts_.insert(at, burst);
}

double BurstSchedule::strongestDuring(double from, double to) const {
    double strongest = -1e9;
    for (const Burst& burst : bursts_) {
        if (burst.start >= to) {
            break;
        }
        if (burst.end > from) {
            strongest = std::max(strongest, burst.levelDbm);
        }
    }
    return strongest;
}
