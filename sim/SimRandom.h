#pragma once

#include <cstdint>

// Small deterministic generator for the simulator's scenes. The standard distributions are not
// specified bit for bit across library versions, and the demonstration files must come out
// identical on every build, so everything is derived from SplitMix64 here.
class SimRandom {
  public:
    explicit SimRandom(uint64_t seed) : state_(seed) {}

    // A seed for an independent stream, e.g. one per sweep, so a sweep's content depends only
    // on the scene seed and the sweep's identity and never on what was rendered before it.
    static uint64_t mix(uint64_t a, uint64_t b);
    static uint64_t mix(uint64_t a, uint64_t b, uint64_t c) { return mix(mix(a, b), c); }

    uint64_t next();
    double uniform();                      // [0, 1)
    double uniform(double lo, double hi);  // [lo, hi)
    int below(int n);                      // 0 .. n-1; 0 for n <= 0
    bool chance(double p) { return uniform() < p; }
    double normal();       // mean 0, deviation 1
    double exponential();  // mean 1

  private:
    uint64_t state_;
};
