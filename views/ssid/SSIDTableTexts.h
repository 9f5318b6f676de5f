#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/AccessPoint.h"

// What the access-point tables print for one access point, as plain functions so they can be
// checked without a window. Names come off the air from anyone's access point: they are only
// ever copied as data, never used as a format.
namespace SSIDTableTexts {

inline constexpr const char* kHeader24 = "2.4GHz SSID List";
inline constexpr const char* kHeader5 = "5GHz SSID List";
inline constexpr const char* kNoSsid = "No SSID to display";
inline constexpr const char* kBadRow = "!";
inline constexpr const char* kNotGraded = "--";

// 0 "OPEN", 1 "WPS", 2 "WEP", 3 "WPA", 4 "WPA2", anything else "?".
std::string securityText(int security);
// Everything but an open access point, or WPS without a cipher, shows the lock.
bool showsLock(int security, int cipher);
// "a/b/g/n/ac" pieces of the set standards bits, in that order; empty for none.
std::string modeText(unsigned standards);

// The name as it may be drawn: at most the 31 stored characters however large the length byte,
// cut at the first NUL, every control character (which would break the row into lines or move
// the text) shown as '?', bytes that are not UTF-8 as U+FFFD (AccessPointTexts::name).
std::string nameText(const AccessPoint& ap);

// "%.0f dBm"; "--" when the level is not a number.
std::string rssiText(float rssi);

// The level bar beside the RSSI text: fill in percent and colour.
struct LevelBar {
    float percent = 0;
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const LevelBar&) const = default;
};
// Red and 10 % at -90 dBm or below, through orange and yellow, to green and 100 % from -30 dBm;
// an empty bar for a level that is not a number.
LevelBar levelBar(float rssi);

// "[xx:xx:xx:xx:xx:xx]" in lower-case hexadecimal.
std::string bssidText(const uint8_t (&bssid)[6]);

// "L" for a 40 MHz access point whose secondary channel is above, "U" below, else empty.
std::string channelSuffix(const AccessPoint& ap);
// The channel number and its suffix, e.g. "6L".
std::string channelText(const AccessPoint& ap);

// Centre frequency in MHz: 2.4 GHz channels 1-13 at 2407 + 5 n, 14 at 2484, any other 0;
// 5 GHz at 5000 + 5 n.
int centreFrequencyMHz(const AccessPoint& ap);
// The centre frequency in GHz, "%.3f".
std::string frequencyText(const AccessPoint& ap);

std::string countText(int32_t seenCount);

// "Total AP: %d Total Scan: %u".
std::string titleText(size_t accessPoints, uint32_t scans);

// A column header: its name, followed by "-" (descending) or "+" when it is the active sort.
std::string headerText(const char* name, bool active, bool descending);

// Grade texts of the utilization table. An access point that has not been graded yet (or whose
// grade is not a number) shows "--" rather than a made-up "0% F". Grades are clamped to 0-100.
const char* gradeLetter(float grade);
std::string gradePercentText(float grade, bool graded);  // "%.0f%%"
std::string gradeLetterText(float grade, bool graded);   // "A" ... "F"
std::string compactGradeText(float grade, bool graded);  // "%s(%.0f%%)"

}  // namespace SSIDTableTexts
