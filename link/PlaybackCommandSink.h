#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/CommandSink.h"
#include "link/DemoPlayback.h"

class ResourceReader;

// The demonstration as an accessory that needs no USB: it answers the discovery request and the
// settings command with the recorded reply and acknowledgement of the chosen hardware, and while
// streaming plays the recorded measurements at the pace the description gives. Everything it
// plays goes to `deliver`, the controller's packet path, exactly as bytes from the link would.
// Worker thread only.
class PlaybackCommandSink : public CommandSink {
  public:
    // Asks the model's owner to apply the trigger preset of a demonstration hardware.
    using PresetTrigger = std::function<void(uint8_t hardware)>;

    PlaybackCommandSink(const ResourceReader* resources, DemoPlayback::Deliver deliver,
                        DemoPlayback::PacketLength packetLength, PresetTrigger presetTrigger);

    bool ready(const SettingsSnapshot& settings) override;
    // Discovery: the recorded reply. Settings: the recorded acknowledgement; the recordings then
    // continue where they were (new files only for a new choice). Nothing else is answered.
    bool send(std::vector<uint8_t> command, int kind) override;
    bool answersAtOnce() const override { return true; }
    bool streamsUnasked() const override { return true; }
    void stream(uint64_t now, const SettingsSnapshot& settings) override;
    // Trigger settings under which the recorded power captures show a stable first picture,
    // unless the user has chosen a trigger of their own (anything but the defaults and the
    // presets), which is kept: the model's owner decides and applies.
    void identified(const SettingsSnapshot& settings) override;

    const DemoPlayback& playback() const { return playback_; }

  private:
    const ResourceReader* resources_;
    DemoPlayback::Deliver deliver_;
    DemoPlayback::PacketLength packetLength_;
    PresetTrigger presetTrigger_;
    DemoPlayback playback_;
    std::string prefix_;  // of the hardware chosen at this pass's ready()
};
