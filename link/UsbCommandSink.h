#pragma once

#include "link/CommandSink.h"

struct ControllerState;

// Commands for a connected accessory go to its USB link, which queues and writes them on its own
// I/O thread; the accessory's replies come back through the link's data handler.
class UsbCommandSink : public CommandSink {
  public:
    explicit UsbCommandSink(const ControllerState& state) : state_(state) {}

    bool ready(const SettingsSnapshot& settings) override;
    bool send(std::vector<uint8_t> command, int kind) override;
    bool answersAtOnce() const override { return false; }
    bool streamsUnasked() const override { return false; }

  private:
    const ControllerState& state_;
};
