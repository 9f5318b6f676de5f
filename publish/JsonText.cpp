#include "publish/JsonText.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "model/Utf8Text.h"

namespace JsonText {

std::string string(std::string_view bytes) {
    std::string out = "\"";
    for (char32_t cp : Utf8Text::decode(bytes)) {
        if (cp == U'"' || cp == U'\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (Utf8Text::isControl(cp)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(cp));
            out += escaped;
        } else {
            Utf8Text::append(out, cp);
        }
    }
    return out + "\"";
}

std::string number(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string utcTime(uint64_t timeUs) {
    const std::time_t seconds = static_cast<std::time_t>(timeUs / 1000000u);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06uZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<unsigned>(timeUs % 1000000u));
    return text;
}

}  // namespace JsonText
