#pragma once

#include <cstdint>
#include <vector>

#include "link/RequestMailbox.h"

class CommandSink;
class MeasurementIntake;
class SpectrumSettings;
struct ControllerState;
struct SettingsSnapshot;

// The worker's side of the controller: one step of the accessory's cycle per pass (discover,
// configure, stream, halt, with retries and the access-point scan schedule). Commands are built
// through the active protocol and handed to a CommandSink, the USB link or the demonstration's
// recordings; the replies move the phase on in the packet path. Worker thread only.
class PhaseMachine {
  public:
    static constexpr int kRetryPasses = 50;  // 5 s before a command is repeated

    PhaseMachine(SpectrumSettings& model, ControllerState& state, MeasurementIntake& intake);

    // Requests taken from the mailbox, applied before the pass that follows.
    void apply(const RequestMailbox::Taken& taken);
    // One pass at `now` with `sink`.
    void pass(uint64_t now, CommandSink& sink);

  private:
    void scheduleScan(uint64_t now, const SettingsSnapshot& s);
    void step(uint64_t now, const SettingsSnapshot& s, CommandSink& sink);
    void sendDiscovery(CommandSink& sink);
    void sendSettings(CommandSink& sink);
    void acknowledged(uint64_t now);
    void sendStreamRequests(uint64_t now, const SettingsSnapshot& s, CommandSink& sink);
    void halt(CommandSink& sink);

    SpectrumSettings& model_;
    ControllerState& state_;
    MeasurementIntake& intake_;
};
