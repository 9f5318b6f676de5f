#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/SegmentAssembler.h"

class AccessoryProtocol;
class DataLogger;
class SpectrumSettings;
struct ControllerState;

// The power samples of the packet path: keeps the trigger status, assembles the segments of a
// capture (or thins the samples of the rolling display to its time base), stores captures in the
// model under traceLock and settingsLock, runs the pulse measurements and logs the rows. Called
// by MeasurementIntake under its packet lock.
class PowerCaptureIntake {
  public:
    static constexpr size_t kMaxPowerValues = 1000;
    // Captures waiting for the power view. The view turns them into vertices every frame; without
    // a view (headless logging) they would pile up forever.
    static constexpr size_t kMaxPendingCaptures = 64;

    // Installed by the application when it wires the power view's pulse measurements
    // (AccessoryCommunicationDelegate::setPulseMeasurement). While none is installed the captures
    // are stored all the same and nothing is measured.
    using PulseMeasurement = std::function<void(SpectrumSettings& model, const float* values,
                                                size_t count, float sampleInterval)>;

    PowerCaptureIntake(SpectrumSettings& model, ControllerState& state, DataLogger& logger);

    // One power packet. True when it completed a capture (or a rolling step) that a single shot
    // may take.
    bool handle(const AccessoryProtocol& protocol, const uint8_t* bytes, size_t length,
                uint64_t now);
    // Pending segments and the rolling countdown belong to the old stream.
    void clear();

    void setPulseMeasurement(PulseMeasurement measure) { pulseMeasurement_ = std::move(measure); }

  private:
    void updateTriggerStatus(bool marker, uint64_t now);
    void storeRollingValues(const float* values, size_t count);
    void storeCapture(const float* values, size_t count);
    void runPulseMeasurements(const float* values, size_t count, float sampleInterval);

    SpectrumSettings& model_;
    ControllerState& state_;
    DataLogger& logger_;
    SegmentAssembler segments_;
    int rollCountdown_ = 0;
    std::array<float, kMaxPowerValues> scratch_{};
    std::vector<float> kept_;
    PulseMeasurement pulseMeasurement_;
};
