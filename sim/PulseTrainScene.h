#pragma once

#include <cstdint>

class SimRandom;

// What the power detector sees: a radar-like pulse train in bursts. Pulses of 8 us every 20 us
// with a 0.8 us rise and a 1.2 us fall (straight in dB, as a log detector shows them), sent in
// 9 ms bursts every 10 ms, over the detector's noise. The edges are clean so rise and fall time,
// width, duty cycle and period can be measured at the fast time bases, and the burst envelope
// shows at the slow ones.
class PulseTrainScene {
  public:
    struct Shape {
        double highDbm = -20.0;
        double lowDbm = -47.0;
        double period = 20e-6;
        double rise = 0.8e-6;
        double width = 8e-6;  // time at the top
        double fall = 1.2e-6;
        double burstPeriod = 0.010;
        double burstLength = 0.009;
    };

    explicit PulseTrainScene(uint64_t seed) : seed_(seed) {}
    PulseTrainScene(uint64_t seed, const Shape& shape) : seed_(seed), shape_(shape) {}

    const Shape& shape() const { return shape_; }
    uint64_t seed() const { return seed_; }

    // Noise-free level in dBm at time t (seconds).
    double envelopeDbm(double t) const;

    // One detector sample at time t: the envelope plus noise drawn from `rng`.
    double sampleDbm(double t, SimRandom& rng) const;

    // First time at or after `from` and before `from + within` at which the envelope crosses
    // `levelDbm` on the chosen edge. False when no edge reaches the level in that window.
    bool nextCrossing(double from, double within, double levelDbm, bool rising, double* at) const;

  private:
    uint64_t seed_;
    Shape shape_;
};
