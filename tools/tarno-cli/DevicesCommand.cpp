// tarno-cli devices: which accessories are on the bus, and can this user open them?
#include <cstdio>
#include <string>
#include <vector>

#include "link/AccessoryInventory.h"
#include "link/LibusbBackend.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

void printField(const char* name, const std::string& value) {
    if (!value.empty()) {
        std::printf("  %s \"%s\"", name, value.c_str());
    }
}

constexpr const char* kUsage =
    "Usage: tarno-cli devices\n"
    "  Lists the accessories (3a7c:0007) on the USB bus and whether this user may open them.\n"
    "  Exit status 0 when at least one can be opened, else 1.\n";

int runDevices(std::span<char*> args) {
    std::vector<std::string> operands;
    CliOptionParser parser("devices", kUsage);
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (!operands.empty()) {
        return parser.refuse("takes no arguments");
    }
    std::vector<AccessoryInfo> accessories;
    int count = AccessoryInventory::take(LibusbBackend::shared(), accessories);
    if (count < 0) {
        std::fprintf(stderr,
                     "tarno-cli devices: USB is not available: libusb could not be initialised.\n");
        return 1;
    }
    if (count == 0) {
        std::fprintf(stderr, "No accessory (3a7c:0007) on the bus.\n");
        return 1;
    }
    int accessible = 0;
    for (const AccessoryInfo& info : accessories) {
        std::printf("Bus %03u Address %03u  %04x:%04x", info.bus, info.address, info.vendorId,
                    info.productId);
        printField("serial", info.serialNumber);
        printField("manufacturer", info.manufacturer);
        printField("product", info.product);
        if (info.accessible) {
            ++accessible;
            std::printf("  accessible\n");
        } else if (info.openResult == kUsbErrorAccess) {
            std::printf(
                "  no permission: install the udev rule 60-tarno-accessory.rules "
                "(see packaging/README.md)\n");
        } else {
            std::printf("  cannot open: %s (%d)\n", usbResultText(info.openResult),
                        info.openResult);
        }
    }
    return accessible > 0 ? 0 : 1;
}

const CliCommandRegistration registration(
    {"devices", "list the accessories on the USB bus and whether they can be opened", kUsage,
     runDevices});

}  // namespace
