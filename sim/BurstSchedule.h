#pragma once

#include <span>
#include <vector>

#include "sim/GenerationProfile.h"

class SimRandom;

// Transmissions of one bursty transmitter during one sweep, and how they land on the sweep's
// points. A point sees the strongest burst that was on air at any moment of its dwell, as a
// peak-holding detector does.
class BurstSchedule {
  public:
    struct Burst {
        double start;
        double end;
        double levelDbm;
    };

    struct Traffic {
        double load;         // fraction of time on air
        double minSeconds;   // shortest burst
        double maxSeconds;   // longest burst
        double levelDbm;     // level of the transmitter's own bursts
        double otherShare;   // fraction of bursts sent by its clients instead
        double otherLowDb;   // client level relative to levelDbm, lowest ..
        double otherHighDb;  // .. highest
    };

    // Random bursts in [from, to) whose duty cycle is about traffic.load.
    void generate(const Traffic& traffic, double from, double to, SimRandom& rng);
    // A fixed burst, e.g. a beacon.
    void add(double start, double length, double levelDbm);

    // Adds the bursts to the points within `extentMHz` of `centreMHz`, shaped by `shapeDb`
    // (dB relative to the burst level at an offset in MHz).
    template <typename Shape>
    void apply(const SweepGrid& grid, double sweepStart, double dwell, double centreMHz,
               double extentMHz, Shape shapeDb, std::span<double> milliwatts) const;

  private:
    double strongestDuring(double from, double to) const;  // -inf when silent

    std::vector<Burst> bursts_;
};

double milliwattsOf(double dbm);

template <typename Shape>
void BurstSchedule::apply(const SweepGrid& grid, double sweepStart, double dwell, double centreMHz,
                          double extentMHz, Shape shapeDb, std::span<double> milliwatts) const {
    if (bursts_.empty()) {
        return;
    }
    int points = static_cast<int>(milliwatts.size());
    for (int i = 0; i < points; ++i) {
        double offset = grid.frequencyMHz(i) - centreMHz;
        if (offset < -extentMHz || offset > extentMHz) {
            continue;
        }
        double from = sweepStart + dwell * i;
        double level = strongestDuring(from, from + dwell);
        if (level > -200.0) {
            milliwatts[static_cast<size_t>(i)] += milliwattsOf(level + shapeDb(offset));
        }
    }
}
