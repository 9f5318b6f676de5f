#pragma once

#include <cstdint>
#include <vector>

struct SettingsSnapshot;

// Where the worker's phase machine sends its commands: the USB link of a connected accessory, or
// the demonstration, which answers them from recorded packet files. Either way the replies come
// back through the controller's packet path, so one phase machine serves both.
class CommandSink {
  public:
    // Kinds handed to the link with each outgoing packet.
    enum Kind : int { kDiscoveryKind = 1, kSettingsKind = 2, kRequestKind = 3 };

    virtual ~CommandSink() = default;

    // False when nothing can answer this pass (no recordings for the chosen demonstration
    // hardware); the phase machine then skips the pass.
    virtual bool ready(const SettingsSnapshot& settings) = 0;
    // Hands one built command over; false when it did not go out.
    virtual bool send(std::vector<uint8_t> command, int kind) = 0;
    // Replies arrive inside send(): a phase waiting for one asks again on the next pass instead
    // of counting down to a retry.
    virtual bool answersAtOnce() const = 0;
    // Measurements flow at their own pace while streaming: no stream requests, and no halt
    // command or acknowledgement when streaming stops.
    virtual bool streamsUnasked() const = 0;
    // One streaming pass of a sink that streams unasked, while the run state lets data through.
    virtual void stream(uint64_t /*now*/, const SettingsSnapshot& /*settings*/) {}
    // An accessory has just been identified; its settings command is built next.
    virtual void identified(const SettingsSnapshot& /*settings*/) {}
};
