#pragma once

#include <string>
#include <vector>

class SpectrumSettings;

// The numbers along the edges of a plot: the value at each major division of one axis, and how
// it is written. The grid's divisions are fixed (10 across, 8 up), so an axis is its value at
// the first and the last division; everything in between is linear, as the traces are drawn.
class AxisScale {
  public:
    enum class Quantity { kFrequency, kLevel, kTime };

    struct Axis {
        Quantity quantity = Quantity::kFrequency;
        float first = 0.0f;  // at division 0 (left or bottom): MHz, dBm or seconds
        float last = 0.0f;   // at the last division
        int divisions = 10;
        bool watts = false;  // a level axis written in watts (still spaced in dB)
        bool valid() const;
    };

    // One label: which division it marks and its text.
    struct Tick {
        int division = 0;
        float value = 0.0f;
        std::string text;
    };

    static constexpr int kDivisionsAcross = 10;
    static constexpr int kDivisionsUp = 8;

    // The value at division i.
    static float valueAt(const Axis& axis, int division);
    // "2450", "5216.5" (MHz); "-45" or "-42.5" (dBm); "12.5 nW" (watts); "-1.50 µs" (time).
    static std::string text(const Axis& axis, float value);
    // The unit written once beside the axis: "MHz", "dBm", "W" is inside each text, "s".
    static std::string unit(const Axis& axis);

    // Every `stride`-th division, 0 and the last always included when the stride divides the
    // count.
    static std::vector<Tick> ticks(const Axis& axis, int stride);
    // The smallest stride among the divisors of `divisions` that leaves at least `needed` units
    // per label, given `divisionLength` units per division; 0 when not even one label per axis
    // fits (the axis is then left bare).
    static int strideFor(int divisions, float divisionLength, float needed);

    // Where major division i of n lies along a plotted length: the grid's lines, inset by
    // `inset` units at both ends.
    static float position(float length, int division, int divisions, float inset);

    // The axes of the views, from the model. Levels include the attenuation offset, as every
    // level readout does.
    static Axis spectrumFrequency(int band);
    static Axis spectrumLevel(const SpectrumSettings& model, int band);
    // Sweep age: the newest sweep at the top (0 s), older ones downwards (negative seconds).
    static Axis waterfallTime(const SpectrumSettings& model, int band);
    // Time from the trigger point (triggered) or from the newest sample (rolling).
    static Axis powerTime(const SpectrumSettings& model);
    static Axis powerLevel(const SpectrumSettings& model);

    // Where the trigger point lies across the power view, 0 (left) to 1 (right); the cursor
    // time readouts measure from the same place.
    static float triggerFraction(const SpectrumSettings& model);
};
