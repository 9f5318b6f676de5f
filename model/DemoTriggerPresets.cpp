#include "model/DemoTriggerPresets.h"

#include "model/StoredSettings.h"

namespace {

bool holds(const PowerSettings& p, float level, float delay, float holdoff, int32_t index) {
    return p.triggerOnPower == 1 && p.triggerLevel == level && p.triggerDelay == delay &&
           p.triggerHoldoff == holdoff && p.powerTimeBaseIndex == index;
}

}  // namespace

DemoTriggerPresets::Preset DemoTriggerPresets::forHardware(int hardware) {
    switch (hardware) {
        case 0:
            return {-31.7f, 0.000016f, 16};
        case 1:
            return {-36.31f, 0.0000352f, 15};
        default:
            return {-31.7f, 0.0000352f, 15};
    }
}

bool DemoTriggerPresets::unchosen(const PowerSettings& p) {
    const PowerSettings fresh;
    if (holds(p, fresh.triggerLevel, fresh.triggerDelay, fresh.triggerHoldoff,
              fresh.powerTimeBaseIndex)) {
        return true;
    }
    for (int hardware = 0; hardware <= 2; ++hardware) {
        const Preset preset = forHardware(hardware);
        if (holds(p, preset.level, preset.delay, kHoldoff, preset.timeBaseIndex))
            return true;
    }
    return false;
}

void DemoTriggerPresets::apply(PowerSettings& p, int hardware) {
    const Preset preset = forHardware(hardware);
    p.triggerOnPower = 1;
    p.triggerHoldoff = kHoldoff;
    p.triggerLevel = preset.level;
    p.triggerDelay = preset.delay;
    p.powerTimeBaseIndex = preset.timeBaseIndex;
}
