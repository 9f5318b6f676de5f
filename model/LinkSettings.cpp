#include "model/LinkSettings.h"

#include <algorithm>
#include <cstring>

#include "model/SpectrumSettings.h"

namespace {

int clampIndex(int index, size_t count) {
    if (count == 0 || index < 0)
        return 0;
    return std::min(index, static_cast<int>(count) - 1);
}

// Every record here is a plain image whose padding is zeroed, and a description compares field
// by field, so equality never misses a change (NaN intervals compare equal to themselves).
template <typename T>
bool sameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool sameFloat(float a, float b) {
    return sameBytes(a, b);
}

bool sameFloats(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](float x, float y) { return sameFloat(x, y); });
}

bool sameDescription(const AccessoryDescription& a, const AccessoryDescription& b) {
    const float af[] = {a.spectrumInterval24, a.spectrumInterval5,  a.powerInterval,
                        a.scanFirstDelay,     a.scanRepeatInterval, a.powerAxisMin,
                        a.powerAxisMax,       a.levelMin24,         a.levelMax24,
                        a.levelMin5,          a.levelMax5};
    const float bf[] = {b.spectrumInterval24, b.spectrumInterval5,  b.powerInterval,
                        b.scanFirstDelay,     b.scanRepeatInterval, b.powerAxisMin,
                        b.powerAxisMax,       b.levelMin24,         b.levelMax24,
                        b.levelMin5,          b.levelMax5};
    const int ai[] = {a.textValid,       a.internalAttenuationCount,
                      a.rawPoints24,     a.rawPoints5,
                      a.powerRollPoints, a.shownPoints24,
                      a.shownPoints5,    a.levelRows24,
                      a.levelRows5,      a.powerRollLimitIndex,
                      a.secondLimit};
    const int bi[] = {b.textValid,       b.internalAttenuationCount,
                      b.rawPoints24,     b.rawPoints5,
                      b.powerRollPoints, b.shownPoints24,
                      b.shownPoints5,    b.levelRows24,
                      b.levelRows5,      b.powerRollLimitIndex,
                      b.secondLimit};
    return a.generation == b.generation && a.revision[0] == b.revision[0] &&
           a.revision[1] == b.revision[1] && a.reserved == b.reserved &&
           a.version[0] == b.version[0] && a.version[1] == b.version[1] && a.model == b.model &&
           a.modelCopy == b.modelCopy && a.hasSpectrum24 == b.hasSpectrum24 &&
           a.hasSpectrum5 == b.hasSpectrum5 && a.hasSsidScan24 == b.hasSsidScan24 &&
           a.hasSsidScan5 == b.hasSsidScan5 && a.hasPowerMeter == b.hasPowerMeter &&
           a.hasInternalAttenuator == b.hasInternalAttenuator &&
           a.scanKeepsRefresh == b.scanKeepsRefresh && a.serialText == b.serialText &&
           sameBytes(a.internalAttenuations, b.internalAttenuations) &&
           a.reservedWord == b.reservedWord && sameBytes(a.optionBytes, b.optionBytes) &&
           sameBytes(af, bf) && sameBytes(ai, bi) &&
           sameFloats(a.powerTimeBases, b.powerTimeBases) &&
           sameFloats(a.powerAmplitudes, b.powerAmplitudes);
}

}  // namespace

LinkSettings LinkSettings::of(const SpectrumSettings& model) {
    LinkSettings s;
    s.accessory = model.accessory;
    s.common = model.common_settings;
    s.view = model.spectrum_settings;
    s.power = model.power_setting;
    s.demo = model.demo;
    s.deviceConnected = model.runtime.deviceConnected;
    return s;
}

bool LinkSettings::measuring(int32_t runState) {
    return runState == SpectrumSettings::kRunning || runState == SpectrumSettings::kSingleShotArmed;
}

float LinkSettings::amplitudeOffset() const {
    if (!deviceConnected)
        return 0.0f;
    float offset = common.externalAttenuation;
    const int index = common.internalAttenuationIndex;
    // The count comes from the accessory; never trust it beyond the eight stored steps.
    const int count = std::min(accessory.internalAttenuationCount, 8);
    if (index >= 0 && index < count)
        offset += accessory.internalAttenuations[index];
    return offset;
}

int LinkSettings::clampedTimeBaseIndex() const {
    return clampIndex(power.powerTimeBaseIndex, accessory.powerTimeBases.size());
}

float LinkSettings::timeBaseNow() const {
    if (accessory.powerTimeBases.empty())
        return 0.0f;
    return accessory.powerTimeBases[clampedTimeBaseIndex()];
}

bool LinkSettings::isRolling() const {
    return !accessory.powerTimeBases.empty() &&
           clampedTimeBaseIndex() < accessory.powerRollLimitIndex;
}

bool LinkSettings::correctForDescription(const AccessoryDescription& accessory,
                                         PowerSettings& power, CommonSettings& common) {
    if (power.powerTimeBaseIndex < 0 && !accessory.powerTimeBases.empty())
        power.powerTimeBaseIndex = 14;
    if (power.powerAmplitudeIndex < 0 && !accessory.powerAmplitudes.empty())
        power.powerAmplitudeIndex = 0;
    const bool canSpectrum = accessory.hasSpectrum24 || accessory.hasSpectrum5 ||
                             accessory.hasSsidScan24 || accessory.hasSsidScan5;
    if (common.spectrumMode && !canSpectrum) {
        common.spectrumMode = CommonSettings::kPowerMode;
        return true;
    }
    if (!common.spectrumMode && !accessory.hasPowerMeter) {
        common.spectrumMode = CommonSettings::kSpectrumMode;
        return true;
    }
    return false;
}

bool LinkSettings::operator==(const LinkSettings& other) const {
    return sameBytes(common, other.common) && sameBytes(view, other.view) &&
           sameBytes(power, other.power) && sameBytes(demo, other.demo) &&
           deviceConnected == other.deviceConnected && sameDescription(accessory, other.accessory);
}
