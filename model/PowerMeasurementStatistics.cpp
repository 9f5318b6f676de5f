#include "model/PowerMeasurementStatistics.h"

#include <cmath>
#include <limits>

#include "model/PowerConversions.h"
#include "model/PulseMeasurement.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

constexpr PowerMeasurementStatistics::Figure kEmpty{kNaN, kNaN, kNaN, 0.0, 0, kNaN, 0};

void accumulate(PowerMeasurementStatistics::Figure& f, float value) {
    f.current = value;
    if (!std::isfinite(value)) {
        if (f.misses < UINT32_MAX) {
            ++f.misses;
        }
        return;
    }
    f.lastValue = value;
    f.misses = 0;
    f.min = f.count == 0 ? value : std::fmin(f.min, value);
    f.max = f.count == 0 ? value : std::fmax(f.max, value);
    f.sum += value;
    ++f.count;
}

}  // namespace

float PowerMeasurementStatistics::Figure::mean() const {
    return count == 0 ? kNaN : static_cast<float>(sum / static_cast<double>(count));
}

float PowerMeasurementStatistics::Figure::steady() const {
    if (std::isfinite(current)) {
        return current;
    }
    return misses < kHeldCaptures ? lastValue : kNaN;
}

void PowerMeasurementStatistics::add(const Results& results) {
    for (int id = 0; id < kPulseMeasurementCount; ++id) {
        accumulate(figures_[static_cast<size_t>(id)], results[static_cast<size_t>(id)]);
    }
    const float max = results[PulseMeasurement::kMax];
    const float min = results[PulseMeasurement::kMin];
    accumulate(figures_[kPeakToPeakMilliwatts], dbmToMilliwatts(max) - dbmToMilliwatts(min));
    if (captures_ < UINT32_MAX) {
        ++captures_;
    }
}

void PowerMeasurementStatistics::reset() {
    figures_.fill(kEmpty);
    captures_ = 0;
}

const PowerMeasurementStatistics::Figure& PowerMeasurementStatistics::figure(int id) const {
    if (id < 0 || id > kPeakToPeakMilliwatts) {
        return kEmpty;
    }
    return figures_[static_cast<size_t>(id)];
}
