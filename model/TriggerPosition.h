#pragma once

// Where the trigger point lies across the power view. The accessory keeps
// (half the screen time + delay) × sample rate samples before the trigger, so a positive delay
// moves the trigger point right of the middle and a delay of ±5 divisions puts it on an edge.
// Everything drawn (the delay marker, the cursor times, a held capture moved to a new delay)
// follows this one placement.
class TriggerPosition {
  public:
    static constexpr float kDivisions = 10.f;

    // Screen time of ten divisions; 1 s when the time base is not a positive number, so that
    // the placement never divides by zero.
    static float screenSeconds(float secondsPerDivision);

    // x of the trigger point in a view `width` wide (the middle for delay 0).
    static float x(float width, float secondsPerDivision, float delay);

    // The delay that moves the trigger point by `dx` along a view `width` wide.
    static float delayForShift(float width, float secondsPerDivision, float dx);

    // The delays that keep the trigger point on screen: -5 to +5 divisions.
    static float minDelay(float secondsPerDivision);
    static float maxDelay(float secondsPerDivision);
    static float clampDelay(float delay, float secondsPerDivision);
};
