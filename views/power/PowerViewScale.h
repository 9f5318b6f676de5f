#pragma once

#include <cstdint>
#include <string>

class SpectrumSettings;

// Where the power view puts levels and times, shared by its handles: the level axis of the
// accessory's description shifted by the attenuation and the live trace's offset, and the
// trigger position over ten divisions of the time base.
class PowerViewScale {
  public:
    // A paused capture or a taken single shot: the picture stands still.
    static bool held(const SpectrumSettings& model);
    // The time base, or a 1 s view without one.
    static float secondsPerDivision(const SpectrumSettings& model);
    static float levelY(const SpectrumSettings& model, float height, float level);
    static float delayX(const SpectrumSettings& model, float width, float delay);
    // "--" for a level not known; watts or dBm as the settings say.
    static std::string levelText(float dbm, bool watts);
    static uint8_t opacity(float fade);
};
