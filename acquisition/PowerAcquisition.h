#pragma once

#include <cstddef>
#include <functional>
#include <vector>

class SpectrumSettings;

// The power samples as they arrive: a triggered capture is stored in the live trace set, the
// samples of the rolling display are thinned to the chosen time base and appended, and the pulse
// measurements run on what the power view will show. The view only turns the stored captures
// into vertices.
class PowerAcquisition {
  public:
    // Installed by whoever shows or prints pulse measurements
    // (AccessoryCommunicationDelegate::setPulseMeasurement). While none is installed the captures
    // are stored all the same and nothing is measured.
    using PulseMeasurement = std::function<void(SpectrumSettings& model, const float* values,
                                                size_t count, float sampleInterval)>;

    // One complete triggered capture.
    void addCapture(SpectrumSettings& model, const float* values, size_t count);

    // Samples for the rolling display. Returns the samples kept (valid until the next call), the
    // ones a data log records.
    const std::vector<float>& addRollingSamples(SpectrumSettings& model, const float* values,
                                                size_t count);

    // The thinning starts again with the next sample (a new stream).
    void clear() { rollCountdown_ = 0; }

    void setPulseMeasurement(PulseMeasurement measure) { pulseMeasurement_ = std::move(measure); }

  private:
    void measure(SpectrumSettings& model, const float* values, size_t count);

    int rollCountdown_ = 0;
    std::vector<float> kept_;
    PulseMeasurement pulseMeasurement_;
};
