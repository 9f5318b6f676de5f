#include "model/ValueFormatting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// "%.*f %s" of the scaled value, or the empty text when longer than `limit` characters.
std::string printScaled(double scaled, int decimals, const char* prefix, int limit) {
    std::string text(static_cast<size_t>(limit) + 2, '\0');
    int written = std::snprintf(text.data(), text.size(), "%.*f %s", decimals, scaled, prefix);
    if (written < 0 || written > limit) {
        return "";
    }
    text.resize(static_cast<size_t>(written));
    return text;
}

constexpr const char* kMicroSign = "\xC2\xB5";  // U+00B5
constexpr const char* kGreekMu = "\xCE\xBC";    // U+03BC

}  // namespace

std::string formatFixed2(float value) {
    char text[64];
    int n = std::snprintf(text, sizeof(text), "%.*f", 2, static_cast<double>(value));
    if (n < 0 || n > 52) {
        return "";
    }
    return text;
}

std::string formatEngineering(float value, int decimals) {
    // Beyond a thousand decimals nothing is meaningful, and the length limit must not overflow.
    decimals = std::clamp(decimals, 0, 1000);
    const double v = value;
    const double m = std::fabs(v);
    double scaled = v;
    const char* prefix = "";
    // The bounds sit just below each decade so that a value that prints as 1000 of one prefix is
    // shown as 1 of the next.
    if (m == 0.0) {
    } else if (m < 9.999999e-14) {
        scaled = v * 1e15;
        prefix = "f";
    } else if (m < 9.999999e-11) {
        scaled = v * 1e12;
        prefix = "p";
    } else if (m < 9.999999e-8) {
        scaled = v * 1e9;
        prefix = "n";
    } else if (m < 0.00099999999) {
        scaled = v * 1e6;
        prefix = kMicroSign;
    } else if (m < 0.99999999) {
        scaled = v * 1000.0;
        prefix = "m";
    } else if (m < 999.99999) {
    } else if (m < 999999.99) {
        scaled = v * 0.001;
        prefix = "k";
    } else if (m < 999999990.0) {
        scaled = v * 1e-6;
        prefix = "M";
    } else {
        scaled = v * 1e-9;
        prefix = "G";
    }
    return printScaled(scaled, decimals, prefix, decimals + 50);
}

std::string formatThreeDigits(float value) {
    struct Row {
        float bound;
        double scale;
        const char* prefix;
        int decimals;
    };
    // Bounds are compared in float so that a float decade such as 1e-6f lands in its own row.
    static const Row rows[] = {
        {1e8f, 1e-6, "M", 0},      {1e7f, 1e-6, "M", 1},      {1e6f, 1e-6, "M", 2},
        {1e5f, 1e-3, "k", 0},      {1e4f, 1e-3, "k", 1},      {1000.0f, 1e-3, "k", 2},
        {100.0f, 1.0, "", 0},      {10.0f, 1.0, "", 1},       {1.0f, 1.0, "", 2},
        {0.1f, 1e3, "m", 0},       {0.01f, 1e3, "m", 1},      {0.001f, 1e3, "m", 2},
        {1e-4f, 1e6, kGreekMu, 0}, {1e-5f, 1e6, kGreekMu, 1}, {1e-6f, 1e6, kGreekMu, 2},
        {1e-7f, 1e9, "n", 0},      {1e-8f, 1e9, "n", 1},      {1e-9f, 1e9, "n", 2},
    };
    const float m = std::fabs(value);
    for (const Row& row : rows) {
        if (m >= row.bound) {
            return printScaled(value * row.scale, row.decimals, row.prefix, row.decimals + 50);
        }
    }
    // Below every row (and NaN): the value times zero keeps its sign, so tiny negatives read -0.
    return printScaled(static_cast<double>(value) * 0.0, 0, "", 50);
}
