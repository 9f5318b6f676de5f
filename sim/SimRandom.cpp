#include "sim/SimRandom.h"

#include <cmath>

uint64_t SimRandom::mix(uint64_t a, uint64_t b) {
    SimRandom r(a ^ (b * 0x9E3779B97F4A7C15ull) ^ 0xD1B54A32D192ED03ull);
    r.next();
    return r.next();
}

uint64_t SimRandom::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SimRandom::uniform() {
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

double SimRandom::uniform(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

int SimRandom::below(int n) {
    if (n <= 0) {
        return 0;
    }
    return static_cast<int>(next() % static_cast<uint64_t>(n));
}

double SimRandom::normal() {
    // Box-Muller; 1 - u keeps the logarithm finite.
    double u = 1.0 - uniform();
    double v = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}

double SimRandom::exponential() {
    return -std::log(1.0 - uniform());
}
