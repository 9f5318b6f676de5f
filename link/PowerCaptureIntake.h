#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "acquisition/PowerAcquisition.h"
#include "link/SegmentAssembler.h"
#include "model/MeasurementRecords.h"

class AccessoryProtocol;
class DataLogger;
class SpectrumSettings;
struct ControllerState;

// The power samples of the packet path: keeps the trigger status, assembles the segments of a
// capture, hands complete captures and rolling samples to PowerAcquisition (which stores and
// measures them) under traceLock and settingsLock, and logs the rows. Called by MeasurementIntake
// under its packet lock.
class PowerCaptureIntake {
  public:
    static constexpr size_t kMaxPowerValues = 1000;
    // Captures waiting for the power view. The view turns them into vertices every frame; without
    // a view (headless logging) they would pile up forever.
    static constexpr size_t kMaxPendingCaptures = PowerTraceSet::kMaxCaptures;

    using PulseMeasurement = PowerAcquisition::PulseMeasurement;

    PowerCaptureIntake(SpectrumSettings& model, ControllerState& state, DataLogger& logger);

    // One power packet. True when it completed a capture (or a rolling step) that a single shot
    // may take.
    bool handle(const AccessoryProtocol& protocol, const uint8_t* bytes, size_t length,
                uint64_t now);
    // Pending segments and the rolling countdown belong to the old stream.
    void clear();

    void setPulseMeasurement(PulseMeasurement measure) {
        acquisition_.setPulseMeasurement(std::move(measure));
    }

  private:
    void updateTriggerStatus(bool marker, uint64_t now);
    void storeRollingValues(const float* values, size_t count);
    void storeCapture(const float* values, size_t count);

    SpectrumSettings& model_;
    ControllerState& state_;
    DataLogger& logger_;
    SegmentAssembler segments_;
    PowerAcquisition acquisition_;
    std::array<float, kMaxPowerValues> scratch_{};
};
