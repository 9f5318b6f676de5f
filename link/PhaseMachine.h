#pragma once

#include <cstdint>
#include <vector>

#include "link/ReplyMailbox.h"
#include "link/RequestMailbox.h"

class CommandSink;
class FrameQueue;
class MeasurementIntake;
class SettingsPublication;
struct ControllerState;
struct SettingsSnapshot;

// The worker's side of the controller: one step of the accessory's cycle per pass (discover,
// configure, stream, halt, with retries and the access-point scan schedule). Commands are built
// through the active protocol from the published settings and handed to a CommandSink, the USB
// link or the demonstration's recordings. The one writer of the phase: the replies the packet
// path posts and the requests of the model's owner move it here, in order. Worker thread, or the
// link's thread under the controller's pass lock when a connection comes or goes.
class PhaseMachine {
  public:
    static constexpr int kRetryPasses = 50;  // 5 s before a command is repeated

    PhaseMachine(SettingsPublication& settings, ControllerState& state, MeasurementIntake& intake,
                 ReplyMailbox& replies, FrameQueue& frames);

    // The replies posted since the last call, then the requests taken from the mailbox, applied
    // before the pass that follows.
    void apply(const RequestMailbox::Taken& taken);
    // The replies posted since the last call (those of a sink that answers at once, at the end of
    // its pass).
    void applyReplies();
    // One pass at `now` with `sink`.
    void pass(uint64_t now, CommandSink& sink);
    // A USB accessory came (true) or went: the cycle starts again from discovery.
    void connectionChanged(bool connected);

  private:
    void scheduleScan(uint64_t now, const SettingsSnapshot& s);
    void step(uint64_t now, const SettingsSnapshot& s, CommandSink& sink);
    void sendDiscovery(CommandSink& sink);
    void sendSettings(CommandSink& sink);
    void acknowledged(uint64_t now);
    void sendStreamRequests(uint64_t now, const SettingsSnapshot& s, CommandSink& sink);
    void halt(CommandSink& sink);
    void endScanAfterList(const ReplyMailbox::Reply& reply);
    void setSsidAcquiring(bool acquiring);

    SettingsPublication& settings_;
    ControllerState& state_;
    MeasurementIntake& intake_;
    ReplyMailbox& replies_;
    FrameQueue& frames_;
    bool ssidAcquiring_ = false;  // as last told to the model's owner
};
