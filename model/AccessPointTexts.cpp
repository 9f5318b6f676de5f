#include "model/AccessPointTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/AccessPointOrder.h"
#include "model/Utf8Text.h"

namespace {

float clampedGrade(float grade) {
    return std::isfinite(grade) ? std::clamp(grade, 0.0f, 100.0f) : 0.0f;
}

}  // namespace

std::string AccessPointTexts::name(const AccessPoint& ap) {
    const std::string_view stored = ap.nameView();
    std::string out;
    out.reserve(stored.size());
    for (char32_t cp : Utf8Text::decode(stored.substr(0, stored.find('\0'))))
        Utf8Text::append(out, Utf8Text::isControl(cp) ? char32_t(kControlReplacement) : cp);
    return out;
}

const char* AccessPointTexts::security(int security) {
    static const char* const kTexts[] = {"OPEN", "WPS", "WEP", "WPA", "WPA2"};
    return security >= 0 && security <= 4 ? kTexts[security] : "?";
}

bool AccessPointTexts::showsLock(const AccessPoint& ap) {
    return !(ap.security == 0 || (ap.security == 1 && ap.cipher == 0));
}

std::string AccessPointTexts::mode(unsigned standards) {
    std::string text = modeSortText(standards);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

std::string AccessPointTexts::rssi(float rssi) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f dBm", static_cast<double>(rssi));
    return text;
}

std::string AccessPointTexts::bssid(const AccessPoint& ap) {
    char text[24];
    std::snprintf(text, sizeof text, "[%.2x:%.2x:%.2x:%.2x:%.2x:%.2x]", ap.bssid[0], ap.bssid[1],
                  ap.bssid[2], ap.bssid[3], ap.bssid[4], ap.bssid[5]);
    return text;
}

const char* AccessPointTexts::channelSuffix(const AccessPoint& ap) {
    if (ap.bandwidthMHz == 40 && ap.secondaryChannel == 1) {
        return "L";
    }
    if (ap.bandwidthMHz == 40 && ap.secondaryChannel == 2) {
        return "U";
    }
    return "";
}

std::string AccessPointTexts::channel(const AccessPoint& ap) {
    return std::to_string(ap.channel) + channelSuffix(ap);
}

int AccessPointTexts::centreMHz(const AccessPoint& ap) {
    if (ap.is5GHz == 1) {
        return 5000 + 5 * ap.channel;
    }
    if (ap.channel >= 1 && ap.channel <= 13) {
        return 2407 + 5 * ap.channel;
    }
    return ap.channel == 14 ? 2484 : 0;
}

std::string AccessPointTexts::frequency(const AccessPoint& ap) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", centreMHz(ap) / 1000.0);
    return text;
}

std::string AccessPointTexts::seenCount(const AccessPoint& ap) {
    return std::to_string(ap.seenCount);
}

AccessPointTexts::LevelBar AccessPointTexts::levelBar(float rssi) {
    LevelBar bar;
    if (!std::isfinite(rssi) || rssi <= -90.0f) {
        return bar;
    }
    if (rssi <= -60.0f) {
        bar.percent = (0.1f + (rssi + 90.0f) / 75.0f) * 100.0f;
        bar.green = static_cast<uint8_t>((rssi + 90.0f) / 30.0f * 255.0f);
    } else if (rssi < -30.0f) {
        bar.percent = (0.5f + (rssi + 60.0f) / 60.0f) * 100.0f;
        bar.red = static_cast<uint8_t>((1.0f - (rssi + 60.0f) / 30.0f) * 255.0f);
        bar.green = 255;
    } else {
        bar.percent = 100.0f;
        bar.red = 0;
        bar.green = 255;
    }
    return bar;
}

std::string AccessPointTexts::utilizationChannel(const AccessPoint& ap, bool selected) {
    const std::string own = channel(ap);
    if (!selected) {
        return own;
    }
    const int recommended = ap.grading.recommendedChannel();
    if (recommended == 0) {
        return own + "->?";
    }
    if (recommended == ap.channel) {
        return own;
    }
    return own + "->" + std::to_string(recommended) + channelSuffix(ap);
}

std::string AccessPointTexts::gradeCompact(const AccessPoint& ap) {
    if (!ap.grading.graded) {
        return "--";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%s(%.0f%%)", AccessPointGrading::letter(ap.grade),
                  static_cast<double>(clampedGrade(ap.grade)));
    return text;
}

std::string AccessPointTexts::gradePercent(const AccessPoint& ap) {
    if (!ap.grading.graded) {
        return "--";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.0f%%", static_cast<double>(clampedGrade(ap.grade)));
    return text;
}

std::string AccessPointTexts::gradeLetter(const AccessPoint& ap) {
    return ap.grading.graded ? AccessPointGrading::letter(ap.grade) : "--";
}
