#pragma once

#include <cstdint>
#include <vector>

#include "publish/SweepRecorder.h"
#include "tools/tarno-cli/PowerCaptureStream.h"

class AccessoryCommunicationDelegate;
class CliPublishing;
class SpectrumSettings;

// What `tarno-cli log --mqtt` publishes while it logs: every sweep of the logged band as
// `sweep --format json` prints it, or the pulse measurements of every power capture as
// `measure --live` prints them.
class LogPublishing {
  public:
    // band: 0 or 1 for sweeps of that band, -1 for power captures.
    LogPublishing(CliPublishing& publishing, SpectrumSettings& model, int band);

    // Measures the power captures as they arrive (power logging only).
    void attach(AccessoryCommunicationDelegate& controller);
    // Publishes what arrived since the last step, stamped `timeUs`.
    void step(uint64_t timeUs);

  private:
    CliPublishing& publishing_;
    SpectrumSettings& model_;
    int band_;
    SweepRecorder sweeps_;
    PowerCaptureStream captures_;
    std::vector<SweepRecord> records_;
    std::vector<PowerCaptureStream::Capture> taken_;
    uint64_t captureCount_ = 0;
};
