#include "link/UsbCommandSink.h"

#include <utility>

#include "link/AccessoryCommunication.h"
#include "link/ControllerState.h"

bool UsbCommandSink::ready(const SettingsSnapshot&) {
    return state_.connected();
}

bool UsbCommandSink::send(std::vector<uint8_t> command, int kind) {
    AccessoryCommunication* link = state_.link;
    return link != nullptr && link->send(std::move(command), kind);
}
