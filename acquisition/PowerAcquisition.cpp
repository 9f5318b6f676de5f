#include "acquisition/PowerAcquisition.h"

#include <algorithm>
#include <cstdint>

#include "model/SpectrumSettings.h"

namespace {

constexpr int kFirstGenerationCode = 2;

// Every how many samples one is kept so that the roll moves at the speed of the chosen time base.
int64_t rollStride(const SpectrumSettings& model) {
    const AccessoryDescription& a = model.accessory;
    const std::vector<float>& bases = a.powerTimeBases;
    int64_t k = 0;
    if (a.secondLimit >= 0) {
        const bool first = a.generation == kFirstGenerationCode;
        const int referenceIndex = first ? a.powerRollLimitIndex : a.secondLimit;
        if (referenceIndex >= 0 && static_cast<size_t>(referenceIndex) < bases.size() &&
            bases[referenceIndex] > 0.0f) {
            double ratio = model.timeBaseNow() / bases[referenceIndex];
            if (ratio > 0.0) {
                k = static_cast<int64_t>(std::min(ratio, 1e6));
            }
            if (first && model.power_setting.powerTimeBaseIndex == a.powerRollLimitIndex - 1) {
                k *= 2;
            }
        }
    }
    return k;
}

}  // namespace

void PowerAcquisition::addCapture(SpectrumSettings& model, const float* values, size_t count) {
    // Trims the captures together with the view's vertex lists and brightness, so the lists
    // never fall out of step when more captures arrive than the view keeps.
    model.live.appendCapture(values, count);
    measure(model, values, count);
}

const std::vector<float>& PowerAcquisition::addRollingSamples(SpectrumSettings& model,
                                                              const float* values, size_t count) {
    const int64_t k = rollStride(model);
    kept_.clear();
    for (size_t i = 0; i < count; ++i) {
        if (rollCountdown_ == 0) {
            kept_.push_back(values[i]);
            rollCountdown_ = static_cast<int>(k);
        } else {
            --rollCountdown_;
        }
    }
    std::vector<float>& history = model.live.rollingHistory;
    history.insert(history.end(), kept_.begin(), kept_.end());
    if (history.size() > PowerTraceSet::kMaxRollingValues) {
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(
                                                           PowerTraceSet::kMaxRollingValues));
    }
    model.live.powerDataChanged = true;
    // What the view shows of the roll: its newest screenful.
    const size_t shown =
        std::min(history.size(), static_cast<size_t>(std::max(model.accessory.powerRollPoints, 0)));
    measure(model, history.data() + (history.size() - shown), shown);
    return kept_;
}

void PowerAcquisition::measure(SpectrumSettings& model, const float* values, size_t count) {
    const int points = model.accessory.powerRollPoints;
    if (!pulseMeasurement_ || points <= 0 || values == nullptr || count == 0)
        return;
    pulseMeasurement_(model, values, count,
                      model.timeBaseNow() * 10.0f / static_cast<float>(points));
}
