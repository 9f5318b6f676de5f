#pragma once

struct AccessPoint;

// The level an access point's outline shows glides to each new scan's rssi over 3 seconds
// instead of jumping. State lives in the record: previous rssi is the glide's target, level A
// where it started and level B what is shown.
class LevelGlide {
  public:
    static constexpr float kGlideSeconds = 3.0f;

    // Advances the shown level by one frame of `dt` seconds and returns it. A step that reaches
    // or passes the target lands on it, so a long frame cannot carry the outline past its level
    // and off the axis; a level that is not a number restarts the glide at the target.
    static float step(AccessPoint& ap, float dt);
};
