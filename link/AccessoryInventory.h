#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/UsbBackend.h"

// What a user needs to know about one accessory on the bus.
struct AccessoryInfo {
    uint8_t bus = 0;
    uint8_t address = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    // Empty when unreadable (or when the device could not be opened).
    std::string serialNumber;
    std::string manufacturer;
    std::string product;
    bool accessible = false;       // the current user can open it
    int openResult = kUsbSuccess;  // why not, when not
};

// Finds the accessories (0x3A7C:0x0007) on the bus and checks whether each can be opened. It only
// opens and closes: no configuration is selected and nothing is claimed, so it is safe to run
// while Tarno itself streams from the accessory.
class AccessoryInventory {
  public:
    // Replaces `out` and returns the number of accessories, or -1 when USB is unavailable.
    static int take(UsbBackend& backend, std::vector<AccessoryInfo>& out);
};
