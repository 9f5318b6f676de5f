#pragma once

#include <string>

#include "model/AccessPoint.h"

// The texts the access-point tables (and `tarno-cli survey`) show for a record. Names are
// broadcast by strangers: they are only ever data, never a format.
class AccessPointTexts {
  public:
    static constexpr int kMaxNameLength = 31;
    static constexpr char kControlReplacement = '?';

    // Name characters: at most 31 bytes whatever the length byte says, ending at a NUL, as
    // well-formed UTF-8 (see Utf8Text), control characters replaced by '?'.
    static std::string name(const AccessPoint& ap);

    // "OPEN", "WPS", "WEP", "WPA", "WPA2" for 0..4, else "?".
    static const char* security(int security);
    // The lock icon shows unless the network is open (or WPS without a cipher).
    static bool showsLock(const AccessPoint& ap);
    // "a/b/g/n/ac" pieces of the set standard bits; empty for none.
    static std::string mode(unsigned standards);
    static std::string rssi(float rssi);              // "-63 dBm"
    static std::string bssid(const AccessPoint& ap);  // "[aa:bb:cc:dd:ee:ff]"
    // "L" for a 40 MHz access point with its secondary above, "U" below, else empty.
    static const char* channelSuffix(const AccessPoint& ap);
    static std::string channel(const AccessPoint& ap);  // "6L"
    // Centre frequency in MHz: 2.4 GHz channels 1..13 at 2407 + 5 c, 14 at 2484, others 0;
    // 5 GHz at 5000 + 5 c.
    static int centreMHz(const AccessPoint& ap);
    static std::string frequency(const AccessPoint& ap);  // "2.484"
    static std::string seenCount(const AccessPoint& ap);

    // Level bar of the RSSI column: fill in percent and colour.
    struct LevelBar {
        float percent = 10.0f;
        uint8_t red = 255;
        uint8_t green = 0;
        uint8_t blue = 0;
    };
    static LevelBar levelBar(float rssi);

    // Utilization table: the channel with the recommendation for a selected access point
    // ("6L", "3->11", "3->?"), the plain channel for the others.
    static std::string utilizationChannel(const AccessPoint& ap, bool selected);
    // "--" until graded; else "A(93%)" (compact), "93%" and "A" (full layout).
    static std::string gradeCompact(const AccessPoint& ap);
    static std::string gradePercent(const AccessPoint& ap);
    static std::string gradeLetter(const AccessPoint& ap);
};
