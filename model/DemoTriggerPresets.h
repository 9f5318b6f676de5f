#pragma once

#include <cstdint>

struct PowerSettings;

// The trigger each demonstration's power recordings were made with, so that their edges sit
// where the view draws the trigger. A demonstration start applies its preset only while the
// trigger is still one nobody chose: the defaults or a preset.
class DemoTriggerPresets {
  public:
    struct Preset {
        float level;  // dBm
        float delay;  // s
        int32_t timeBaseIndex;
    };
    static constexpr float kHoldoff = 0.001f;  // s

    static Preset forHardware(int hardware);
    static bool unchosen(const PowerSettings& p);
    static void apply(PowerSettings& p, int hardware);
};
