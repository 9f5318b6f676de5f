#pragma once

class SpectrumSettings;

// While the power picture is held, the handles and a pinch rescale the captured trace on screen
// instead of waiting for a new capture: the capture's own delay and scales are recorded once,
// and the view's follow the gesture (runtime state the trace layer reads).
class PowerCaptureRescale {
  public:
    explicit PowerCaptureRescale(SpectrumSettings& model) : model_(model) {}

    // Records the capture's delay and scales, unless a rescale is already under way.
    void record();
    void followDelay(float delay);
    void followScales();
    // Without an accessory there is nothing to rescale.
    void forget();

  private:
    SpectrumSettings& model_;
};
