#include "sim/AccessPointScene.h"

#include <algorithm>
#include <cmath>

#include "sim/SimRandom.h"

namespace {

struct Neighbour {
    const char* name;
    uint8_t bssid[6];
    bool is5GHz;
    uint8_t channel;
    uint8_t bandwidth;
    uint8_t secondary;
    uint8_t alt1;
    uint8_t standards;
    uint32_t security;
    int16_t rssi;
};

using namespace SimSecurity;

// b/g/n at 2.4 GHz, a/n/ac at 5 GHz unless noted.
constexpr uint8_t kBgn = 0x07;
constexpr uint8_t kBg = 0x03;
constexpr uint8_t kGn = 0x06;
constexpr uint8_t kAnac = 0x1C;
constexpr uint8_t kAn = 0x0C;

const Neighbour kNeighbours[] = {
    {"NETGEAR-Cafe", {0xE0, 0x91, 0xF5, 0x76, 0x83, 0x22}, false, 6, 20, 0, 0, kBgn, kWpa2Aes, -48},
    {"FRITZ!Box 7590 KL",
     {0x3C, 0xA6, 0x2F, 0x1B, 0x44, 0x90},
     false,
     1,
     40,
     1,
     0,
     kBgn,
     kWpa2Aes,
     -55},
    {"Guest", {0x78, 0x8A, 0x20, 0x4D, 0x19, 0xE1}, false, 1, 20, 0, 0, kBgn, kOpen, -58},
    {"TP-Link_4E21",
     {0x50, 0xC7, 0xBF, 0x3A, 0x4E, 0x21},
     false,
     11,
     20,
     0,
     0,
     kBgn,
     kWpa2Mixed,
     -62},
    {"HomeNet", {0x2C, 0xFD, 0xA1, 0x08, 0x77, 0x3C}, false, 6, 20, 0, 0, kBgn, kWpa2Aes, -67},
    {"Pixel_4821", {0x7E, 0x31, 0x0B, 0x48, 0x21, 0x9C}, false, 11, 20, 0, 0, kGn, kWpa2Aes, -69},
    {"eduroam", {0x00, 0x1A, 0xA1, 0x5C, 0x0F, 0x60}, false, 1, 20, 0, 0, kGn, kWpa2Aes, -71},
    {"DIRECT-7B-HP OfficeJet",
     {0xFA, 0xDA, 0x0C, 0x11, 0x7B, 0x02},
     false,
     6,
     20,
     0,
     0,
     kGn,
     kWps,
     -74},
    {"Vodafone-A3F2",
     {0x84, 0xA1, 0xD1, 0x22, 0xA3, 0xF2},
     false,
     11,
     20,
     0,
     0,
     kBgn,
     kWpa2Aes,
     -77},
    {"ASUS_58_2G", {0x2C, 0xFD, 0xA1, 0x5E, 0x58, 0x10}, false, 3, 40, 1, 0, kBgn, kWpa2Aes, -79},
    {"WLAN-739104", {0x00, 0x1F, 0x3F, 0x73, 0x91, 0x04}, false, 9, 20, 0, 0, kBgn, kWpaTkip, -80},
    {"linksys", {0xC0, 0x56, 0x27, 0x90, 0x12, 0xAB}, false, 9, 20, 0, 0, kBg, kWep, -83},
    {"Telekom_FON", {0x00, 0x1F, 0x3F, 0xA8, 0x0C, 0x77}, false, 13, 20, 0, 0, kBgn, kOpen, -86},
    {"Office-IoT", {0xF4, 0xF2, 0x6D, 0x33, 0x08, 0x5A}, false, 11, 20, 0, 0, kBgn, kWpa2Aes, -88},

    {"NETGEAR-Cafe-5G",
     {0xE0, 0x91, 0xF5, 0x76, 0x83, 0x23},
     true,
     36,
     40,
     1,
     42,
     kAnac,
     kWpa2Aes,
     -57},
    {"FRITZ!Box 7590 KL",
     {0x3C, 0xA6, 0x2F, 0x1B, 0x44, 0x91},
     true,
     124,
     40,
     2,
     122,
     kAnac,
     kWpa2Aes,
     -61},
    {"Guest-5G", {0x78, 0x8A, 0x20, 0x4D, 0x19, 0xE9}, true, 40, 40, 2, 0, kAn, kOpen, -64},
    {"TP-Link_4E21_5G",
     {0x50, 0xC7, 0xBF, 0x3A, 0x4E, 0x22},
     true,
     149,
     40,
     1,
     155,
     kAnac,
     kWpa2Mixed,
     -66},
    {"HomeNet-5G",
     {0x2C, 0xFD, 0xA1, 0x08, 0x77, 0x3D},
     true,
     100,
     40,
     1,
     106,
     kAnac,
     kWpa2Aes,
     -70},
    {"Lab-AP", {0x00, 0x1A, 0xA1, 0x5C, 0x10, 0x20}, true, 165, 20, 0, 0, kAn, kWpa2Aes, -73},
    {"eduroam", {0x00, 0x1A, 0xA1, 0x5C, 0x0F, 0x6F}, true, 52, 20, 0, 0, kAnac, kWpa2Aes, -75},
    {"Vodafone-A3F2-5G",
     {0x84, 0xA1, 0xD1, 0x22, 0xA3, 0xF3},
     true,
     60,
     40,
     1,
     0,
     kAnac,
     kWpa2Aes,
     -78},
    {"ASUS_58_5G", {0x2C, 0xFD, 0xA1, 0x5E, 0x58, 0x14}, true, 157, 40, 1, 0, kAnac, kWpa2Aes, -81},
    {"WLAN-739104", {0x00, 0x1F, 0x3F, 0x73, 0x91, 0x05}, true, 116, 20, 0, 0, kAn, kWpa2Aes, -84},
    {"Office-IoT-5G",
     {0xF4, 0xF2, 0x6D, 0x33, 0x08, 0x5B},
     true,
     132,
     40,
     1,
     0,
     kAn,
     kWpa2Aes,
     -86},
};

// Below this level a network is missed now and then, as beacons get lost in a real scan.
constexpr int kWeakDbm = -82;

uint8_t securityClassOf(uint32_t security) {
    if (security == kOpen) {
        return 1;
    }
    return security == kWep ? 2 : 0;
}

}  // namespace

AccessPointScene::AccessPointScene(uint64_t seed) : seed_(seed) {
    SimRandom rng(SimRandom::mix(seed, 0xA9));
    for (const Neighbour& n : kNeighbours) {
        SimAccessPoint ap;
        ap.name = n.name;
        std::copy(n.bssid, n.bssid + 6, ap.bssid);
        ap.is5GHz = n.is5GHz;
        ap.channel = n.channel;
        ap.bandwidthMHz = n.bandwidth;
        ap.secondary = n.secondary;
        ap.alt1 = n.alt1;
        ap.standards = n.standards;
        ap.securityWord = n.security;
        ap.securityClass = securityClassOf(n.security);
        ap.rssi = n.rssi;
        accessPoints_.push_back(ap);
        // The café and the strong home networks carry most of the traffic.
        double load = n.rssi > -60 ? rng.uniform(0.35, 0.7) : rng.uniform(0.05, 0.35);
        load_.push_back(load);
    }
}

std::vector<SimAccessPoint> AccessPointScene::scan(uint64_t scanIndex, bool band24,
                                                   bool band5) const {
    SimRandom rng(SimRandom::mix(seed_, 0x5CA11, scanIndex));
    std::vector<SimAccessPoint> found;
    for (const SimAccessPoint& nominal : accessPoints_) {
        // Draw for every record so one band's choice does not shift the other's numbers.
        double wander = rng.normal() * 2.0;
        bool missed = rng.chance(0.25);
        if (nominal.is5GHz ? !band5 : !band24) {
            continue;
        }
        if (nominal.rssi < kWeakDbm && missed) {
            continue;
        }
        SimAccessPoint ap = nominal;
        ap.rssi = static_cast<int16_t>(std::lround(nominal.rssi + wander));
        found.push_back(ap);
    }
    std::stable_sort(
        found.begin(), found.end(),
        [](const SimAccessPoint& a, const SimAccessPoint& b) { return a.rssi > b.rssi; });
    return found;
}
