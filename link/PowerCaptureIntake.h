#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "link/SegmentAssembler.h"

class AccessoryProtocol;
class FrameQueue;
class SettingsPublication;
struct ControllerState;

// The power samples of the packet path: follows the trigger marker, assembles the segments of a
// capture, and hands complete captures and rolling samples to the model's owner as frames
// (PowerAcquisition stores and measures them there). Decides rolling and triggering by the
// published settings. Called by MeasurementIntake under its packet lock.
class PowerCaptureIntake {
  public:
    static constexpr size_t kMaxPowerValues = 1000;

    PowerCaptureIntake(SettingsPublication& settings, ControllerState& state, FrameQueue& frames);

    // One power packet while measurements are wanted.
    void handle(const AccessoryProtocol& protocol, const uint8_t* bytes, size_t length,
                uint64_t now, bool demonstration);
    // Pending segments belong to the old stream.
    void clear() { segments_.clear(); }
    // The owner sets "no trigger for 2 s" on every settings acknowledgement.
    void settingsAcknowledged();

  private:
    void updateTriggerStatus(bool marker, uint64_t now);
    void push(bool rolling, const float* values, size_t count, bool demonstration);

    SettingsPublication& settings_;
    ControllerState& state_;
    FrameQueue& frames_;
    SegmentAssembler segments_;
    int32_t triggerStatus_;  // as last told to the owner
    std::array<float, kMaxPowerValues> scratch_{};
};
