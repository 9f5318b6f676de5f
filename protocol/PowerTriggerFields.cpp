#include "protocol/PowerTriggerFields.h"

#include <cmath>

#include "model/LinkSettings.h"

uint32_t PowerTriggerFields::sampleCount(double samples) {
    if (!(samples > 0.0))
        return 0;
    if (samples >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(samples);
}

PowerTriggerFields PowerTriggerFields::compute(const LinkSettings& settings,
                                               const CalibrationRecord& calibration,
                                               int timeBaseIndex, int rollPoints) {
    const PowerSettings& ps = settings.power;
    PowerTriggerFields f;
    f.modeCode = ps.triggerAuto ? 1 : 0;
    if (ps.triggerOnPower) {
        const bool fallingEdgeRoundsDown = ps.triggerRisingEdge != 0;
        double raw = (static_cast<double>(ps.triggerLevel) - settings.amplitudeOffset() -
                      calibration.powerOffset) /
                     calibration.powerScale;
        if (!(raw > 0.0))
            raw = 0.0;  // also NaN from a zero scale
        if (raw > 255.0)
            raw = 255.0;
        raw = fallingEdgeRoundsDown ? std::floor(raw) : std::ceil(raw);
        f.levelRaw = static_cast<uint16_t>(raw);
        f.optionCode = ps.triggerRisingEdge ? 1 : 0;
    } else {
        f.combination = ps.digitalCombination <= 3 ? ps.digitalCombination + 1 : 0;
        f.channels = static_cast<uint8_t>((ps.digitalChannelA & 0x0F) | (ps.digitalChannelB << 4));
        f.optionCode = ps.digitalEdgeB ? 3 : 0;
    }

    // Screen time is ten divisions; the capture holds the pre-trigger part and whatever of the
    // holdoff lies beyond it.
    const std::vector<float>& table = calibration.timeBases;
    double screen = 0.0;
    if (!table.empty()) {
        int index = timeBaseIndex < 0 ? 0 : timeBaseIndex;
        if (static_cast<size_t>(index) >= table.size())
            index = static_cast<int>(table.size()) - 1;
        screen = 10.0 * table[index];
    }
    double rate = screen > 0.0 ? rollPoints / screen : 0.0;
    // (screen / 2 + delay) * rate, written so that half a screen is exactly half the points.
    double half = screen > 0.0 ? rollPoints * 0.5 : 0.0;
    uint32_t pre = sampleCount(half + ps.triggerDelay * rate);
    uint32_t holdoff = sampleCount(ps.triggerHoldoff * rate);
    uint32_t afterPre = pre <= holdoff ? holdoff - pre : holdoff;
    uint32_t capture = pre > afterPre ? pre : afterPre;
    f.preTrigger = pre;
    f.captureLength = capture == 0 ? 1 : capture;
    return f;
}
