#pragma once

#include <algorithm>
#include <cstdint>

// The one access point picked in the SSID table or by clicking its outline: its row and its
// outline are shown highlighted. Kept by BSSID, so it survives re-sorting and new scans.
class AccessPointHighlight {
  public:
    static bool isSet(const uint8_t (&highlighted)[6]) {
        return std::any_of(highlighted, highlighted + 6, [](uint8_t b) { return b != 0; });
    }
    static bool matches(const uint8_t (&highlighted)[6], const uint8_t (&bssid)[6]) {
        return isSet(highlighted) && std::equal(highlighted, highlighted + 6, bssid);
    }
    // Picking the highlighted one again lets it go; any other becomes the highlighted one.
    static void toggle(uint8_t (&highlighted)[6], const uint8_t (&bssid)[6]) {
        if (matches(highlighted, bssid))
            std::fill(highlighted, highlighted + 6, uint8_t{0});
        else
            std::copy(bssid, bssid + 6, highlighted);
    }
};
