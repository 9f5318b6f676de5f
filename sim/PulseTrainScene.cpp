#include "sim/PulseTrainScene.h"

#include <cmath>

#include "sim/SimRandom.h"

double PulseTrainScene::envelopeDbm(double t) const {
    const Shape& s = shape_;
    double inBurst = t - std::floor(t / s.burstPeriod) * s.burstPeriod;
    if (inBurst >= s.burstLength) {
        return s.lowDbm;
    }
    double phase = inBurst - std::floor(inBurst / s.period) * s.period;
    double span = s.highDbm - s.lowDbm;
    if (phase < s.rise) {
        return s.lowDbm + span * phase / s.rise;
    }
    phase -= s.rise;
    if (phase < s.width) {
        return s.highDbm;
    }
    phase -= s.width;
    if (phase < s.fall) {
        return s.highDbm - span * phase / s.fall;
    }
    return s.lowDbm;
}

double PulseTrainScene::sampleDbm(double t, SimRandom& rng) const {
    double level = envelopeDbm(t);
    // The detector is quieter on a strong carrier than on its own noise.
    double deviation = level > shape_.lowDbm + 3.0 ? 0.15 : 0.6;
    return level + deviation * rng.normal();
}

bool PulseTrainScene::nextCrossing(double from, double within, double levelDbm, bool rising,
                                   double* at) const {
    const Shape& s = shape_;
    if (!(levelDbm > s.lowDbm && levelDbm < s.highDbm)) {
        return false;
    }
    double fraction = (levelDbm - s.lowDbm) / (s.highDbm - s.lowDbm);
    // Offset of the crossing from the start of its pulse.
    double offset = rising ? s.rise * fraction : s.rise + s.width + s.fall * (1.0 - fraction);
    int pulsesPerBurst = static_cast<int>(std::floor(s.burstLength / s.period + 1e-9));
    double burst = std::floor(from / s.burstPeriod);
    double end = from + within;
    for (; burst * s.burstPeriod < end; burst += 1.0) {
        double burstStart = burst * s.burstPeriod;
        double k = std::ceil((from - burstStart - offset) / s.period);
        if (k < 0) {
            k = 0;
        }
        if (k >= pulsesPerBurst) {
            continue;
        }
        double t = burstStart + k * s.period + offset;
        if (t < from) {
            t += s.period;  // rounding at the boundary
            if (k + 1 >= pulsesPerBurst) {
                continue;
            }
        }
        if (t >= end) {
            return false;
        }
        *at = t;
        return true;
    }
    return false;
}
