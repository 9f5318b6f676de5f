#include "model/AccessPointOrder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

int securityRank(int security) {
    switch (security) {
        case 0:  // open
            return 0;
        case 2:  // WEP
            return 1;
        case 3:  // WPA
            return 2;
        case 4:  // WPA2
            return 3;
        case 1:  // WPS
            return 4;
        default:
            return 10;
    }
}

std::string modeSortText(unsigned standards) {
    std::string text;
    if (standards & 0x08) {
        text += "a/";
    }
    if (standards & 0x01) {
        text += "b/";
    }
    if (standards & 0x02) {
        text += "g/";
    }
    if (standards & 0x04) {
        text += "n/";
    }
    if (standards & 0x10) {
        text += "ac/";
    }
    return text;
}

namespace {

// NaN first, then ascending; keeps std::sort's strict weak order when a level is missing.
bool floatLess(float a, float b) {
    if (std::isnan(a)) {
        return !std::isnan(b);
    }
    if (std::isnan(b)) {
        return false;
    }
    return a < b;
}

unsigned char foldCapital(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

bool nameLess(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char ca = foldCapital(static_cast<unsigned char>(a[i]));
        unsigned char cb = foldCapital(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    return a.size() < b.size();
}

}  // namespace

bool accessPointLess(const AccessPoint& a, const AccessPoint& b, int criterion) {
    switch (criterion) {
        case 1:
            return std::memcmp(a.bssid, b.bssid, sizeof(a.bssid)) < 0;
        case 2:
            return nameLess(a.nameView(), b.nameView());
        case 3:
            return floatLess(a.rssi, b.rssi);
        case 4:
        case 6:
            return a.channel < b.channel;
        case 5:
            return modeSortText(a.standards) < modeSortText(b.standards);
        case 7:
            return static_cast<uint32_t>(a.seenCount) < static_cast<uint32_t>(b.seenCount);
        case 8:
            return securityRank(a.security) < securityRank(b.security);
        case 9:
            return floatLess(a.gradePercent, b.gradePercent);
        case 10:
        case 11:
            return floatLess(a.grade, b.grade);
        default:
            return false;
    }
}
