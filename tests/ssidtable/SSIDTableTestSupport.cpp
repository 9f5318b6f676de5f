#include "tests/ssidtable/SSIDTableTestSupport.h"

#include <algorithm>
#include <cstring>

#include "tests/support/GlTestWindow.h"

namespace ssidtabletest {

namespace {

[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "ssid_table_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = SSID_TABLE_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res/desktop/sd", "res", ""},
                           .privateDataHome = true});

}  // namespace

Rgb pixelAt(const engine::Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgb{p[0], p[1], p[2]} : Rgb{0, 0, 0};
}

std::unique_ptr<AccessPoint> makeAccessPoint(const std::string& name, float rssi, int channel,
                                             int is5GHz) {
    static uint8_t serial = 0;
    auto ap = std::make_unique<AccessPoint>();
    const size_t length = std::min<size_t>(name.size(), 31);
    ap->name[0] = static_cast<uint8_t>(length);
    std::memcpy(ap->name + 1, name.data(), length);
    ap->rssi = rssi;
    ap->channel = static_cast<uint16_t>(channel);
    ap->is5GHz = is5GHz;
    ap->bssid[0] = 0x02;
    ap->bssid[5] = ++serial;
    ap->security = 4;
    ap->cipher = 2;
    ap->standards = 0x07;
    ap->bandwidthMHz = 20;
    ap->secondaryChannel = 0;
    ap->seenCount = 1;
    return ap;
}

}  // namespace ssidtabletest
