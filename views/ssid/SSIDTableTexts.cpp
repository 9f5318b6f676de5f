#include "views/ssid/SSIDTableTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/AccessPointTexts.h"

namespace SSIDTableTexts {

std::string securityText(int security) {
    switch (security) {
        case 0:
            return "OPEN";
        case 1:
            return "WPS";
        case 2:
            return "WEP";
        case 3:
            return "WPA";
        case 4:
            return "WPA2";
        default:
            return "?";
    }
}

bool showsLock(int security, int cipher) {
    return !(security == 0 || (security == 1 && cipher == 0));
}

std::string modeText(unsigned standards) {
    static constexpr struct {
        unsigned bit;
        const char* piece;
    } kPieces[] = {{0x08, "a/"}, {0x01, "b/"}, {0x02, "g/"}, {0x04, "n/"}, {0x10, "ac/"}};
    std::string text;
    for (const auto& p : kPieces) {
        if (standards & p.bit)
            text += p.piece;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

std::string nameText(const AccessPoint& ap) {
    return AccessPointTexts::name(ap);
}

std::string rssiText(float rssi) {
    if (!std::isfinite(rssi))
        return "--";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f dBm", static_cast<double>(rssi));
    return text;
}

namespace {

uint8_t channelByte(float fraction) {
    return static_cast<uint8_t>(std::clamp(fraction, 0.f, 1.f) * 255.f);
}

}  // namespace

LevelBar levelBar(float rssi) {
    if (std::isnan(rssi))
        return {0, 0, 0, 0};
    if (rssi <= -90)
        return {10, 255, 0, 0};
    if (rssi <= -60)
        return {(0.1f + (rssi + 90) / 75) * 100, 255, channelByte((rssi + 90) / 30), 0};
    if (rssi < -30)
        return {(0.5f + (rssi + 60) / 60) * 100, channelByte(1 - (rssi + 60) / 30), 255, 0};
    return {100, 0, 255, 0};
}

std::string bssidText(const uint8_t (&bssid)[6]) {
    char text[32];
    std::snprintf(text, sizeof text, "[%.2x:%.2x:%.2x:%.2x:%.2x:%.2x]", bssid[0], bssid[1],
                  bssid[2], bssid[3], bssid[4], bssid[5]);
    return text;
}

std::string channelSuffix(const AccessPoint& ap) {
    if (ap.bandwidthMHz != 40)
        return "";
    if (ap.secondaryChannel == 1)
        return "L";
    if (ap.secondaryChannel == 2)
        return "U";
    return "";
}

std::string channelText(const AccessPoint& ap) {
    return std::to_string(ap.channel) + channelSuffix(ap);
}

int centreFrequencyMHz(const AccessPoint& ap) {
    if (ap.is5GHz == 1)
        return 5000 + 5 * ap.channel;
    if (ap.channel >= 1 && ap.channel <= 13)
        return 2407 + 5 * ap.channel;
    return ap.channel == 14 ? 2484 : 0;
}

std::string frequencyText(const AccessPoint& ap) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", centreFrequencyMHz(ap) / 1000.0);
    return text;
}

std::string countText(int32_t seenCount) {
    return std::to_string(seenCount);
}

std::string titleText(size_t accessPoints, uint32_t scans) {
    char text[64];
    std::snprintf(text, sizeof text, "Total AP: %zu Total Scan: %u", accessPoints, scans);
    return text;
}

std::string headerText(const char* name, bool active, bool descending) {
    std::string text = name;
    if (active)
        text += descending ? "-" : "+";
    return text;
}

const char* gradeLetter(float grade) {
    grade = std::clamp(grade, 0.f, 100.f);
    if (grade >= 90)
        return "A";
    if (grade >= 80)
        return "B";
    if (grade >= 70)
        return "C";
    if (grade >= 60)
        return "D";
    return "F";
}

std::string gradePercentText(float grade, bool graded) {
    if (!graded || std::isnan(grade))
        return kNotGraded;
    char text[16];
    std::snprintf(text, sizeof text, "%.0f%%", static_cast<double>(std::clamp(grade, 0.f, 100.f)));
    return text;
}

std::string gradeLetterText(float grade, bool graded) {
    if (!graded || std::isnan(grade))
        return kNotGraded;
    return gradeLetter(grade);
}

std::string compactGradeText(float grade, bool graded) {
    if (!graded || std::isnan(grade))
        return kNotGraded;
    char text[16];
    std::snprintf(text, sizeof text, "%s(%.0f%%)", gradeLetter(grade),
                  static_cast<double>(std::clamp(grade, 0.f, 100.f)));
    return text;
}

}  // namespace SSIDTableTexts
