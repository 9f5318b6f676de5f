#pragma once

#include <array>
#include <cstdint>

#include "model/MeasurementRecords.h"

// Statistics of the pulse measurements over the captures since the last reset, as an
// oscilloscope keeps them: per measurement the newest value, the smallest, the largest and the
// mean of the values the captures defined, and how many captures were measured. A capture that
// cannot define a measurement (NaN) counts as a capture but adds nothing to that measurement, so
// one odd capture neither drags the mean nor hides the figures of the others.
// Written as captures arrive and reset from the UI, both on the thread that owns the model.
class PowerMeasurementStatistics {
  public:
    using Results = std::array<float, kPulseMeasurementCount>;

    // Captures in a row that may lack a value before the steady value gives way to "none".
    // A pulse train sent in bursts (the demonstration's: 9 ms of pulses every 10 ms) leaves a
    // capture with a single edge whenever the trigger meets the first pulse of a burst: 24 of
    // the first 300 captures of the first generation's recording, never more than 2 in a row.
    // At 8 % apiece four in a row come about once in 25,000 captures, while a signal that
    // really stopped reads "none" after four.
    static constexpr uint32_t kHeldCaptures = 4;

    struct Figure {
        float current;  // the newest capture's value; NaN when it had none
        float min;
        float max;
        double sum;
        uint32_t count;   // captures that defined the value
        float lastValue;  // the newest value a capture defined
        uint32_t misses;  // captures since then that did not
        float mean() const;
        // The newest capture's value, or the last defined one while fewer than kHeldCaptures
        // captures in a row lacked it; NaN otherwise.
        float steady() const;
    };

    // Peak-to-peak in watts is W(max) − W(min) of each capture, which no dB figure gives; it is
    // kept in milliwatts without the attenuation offset (the offset scales it by one factor).
    static constexpr int kPeakToPeakMilliwatts = kPulseMeasurementCount;

    PowerMeasurementStatistics() { reset(); }

    void add(const Results& results);
    void reset();

    // Ids 0..22 of the panel or kPeakToPeakMilliwatts; any other id gives an empty figure.
    const Figure& figure(int id) const;
    uint32_t captures() const { return captures_; }

  private:
    std::array<Figure, kPulseMeasurementCount + 1> figures_{};
    uint32_t captures_ = 0;
};
