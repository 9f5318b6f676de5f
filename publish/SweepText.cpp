#include "publish/SweepText.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "model/TraceProcessing.h"
#include "publish/JsonText.h"

namespace {

struct TraceName {
    const char* name;
    uint8_t bit;
};
// In record order: raw, decay, maximum, minimum, average.
constexpr TraceName kTraceNames[SweepRecord::kTraceCount] = {
    {"live", TraceProcessing::kRawBit},    {"decay", TraceProcessing::kDecayBit},
    {"max", TraceProcessing::kMaxBit},     {"min", TraceProcessing::kMinBit},
    {"avg", TraceProcessing::kAverageBit},
};

void appendLevel(std::string& line, float level) {
    char text[32];
    // hackrf_sweep prints what the FFT gave, infinities included; so do we.
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(level));
    line += text;
}

void appendLevels(std::string& line, const std::vector<float>& levels) {
    line += '[';
    for (size_t i = 0; i < levels.size(); ++i) {
        if (i > 0)
            line += ',';
        line += JsonText::number(levels[i], 2);
    }
    line += ']';
}

}  // namespace

namespace SweepText {

std::string csv(const SweepRecord& sweep) {
    const std::time_t seconds = static_cast<std::time_t>(sweep.timeUs / 1000000u);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    const uint64_t n = sweep.levels.size();
    char head[160];
    std::snprintf(head, sizeof head, "%04d-%02d-%02d, %02d:%02d:%02d.%06u, %llu, %llu, %llu, %llu",
                  utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                  utc.tm_sec, static_cast<unsigned>(sweep.timeUs % 1000000u),
                  static_cast<unsigned long long>(sweep.startHz),
                  static_cast<unsigned long long>(sweep.startHz + n * sweep.stepHz),
                  static_cast<unsigned long long>(sweep.stepHz),
                  static_cast<unsigned long long>(n));
    std::string line = head;
    line.reserve(line.size() + n * 9);
    for (float level : sweep.levels) {
        line += ", ";
        appendLevel(line, level);
    }
    return line;
}

std::string json(const SweepRecord& sweep) {
    const uint64_t n = sweep.levels.size();
    const uint64_t stop = n > 0 ? sweep.startHz + (n - 1) * sweep.stepHz : sweep.startHz;
    std::string line = "{\"time\":\"" + JsonText::utcTime(sweep.timeUs) + "\"";
    line += std::string(",\"band\":") + (sweep.band == 0 ? "\"2.4\"" : "\"5\"");
    line += ",\"start\":" + std::to_string(sweep.startHz);
    line += ",\"stop\":" + std::to_string(stop);
    line += ",\"step\":" + std::to_string(sweep.stepHz);
    line += ",\"levels\":";
    appendLevels(line, sweep.levels);
    if (sweep.traceMask & TraceProcessing::kKindBits & ~TraceProcessing::kHeatMapBit) {
        // The live trace is the levels themselves; only the processed ones are repeated.
        line += ",\"traces\":{";
        bool first = true;
        for (int t = 1; t < SweepRecord::kTraceCount; ++t) {
            if (!(sweep.traceMask & kTraceNames[t].bit))
                continue;
            line += first ? "\"" : ",\"";
            line += kTraceNames[t].name;
            line += "\":";
            appendLevels(line, sweep.traces[static_cast<size_t>(t)]);
            first = false;
        }
        line += "},\"peaks\":{";
        first = true;
        for (int t = 0; t < SweepRecord::kTraceCount; ++t) {
            if (!(sweep.traceMask & kTraceNames[t].bit))
                continue;
            line += first ? "\"" : ",\"";
            line += kTraceNames[t].name;
            line += "\":[";
            bool firstPeak = true;
            for (const PeakEntry& peak : sweep.peaks[static_cast<size_t>(t)]) {
                if (peak.index < 0)
                    continue;
                line += firstPeak ? "{" : ",{";
                line +=
                    "\"hz\":" + std::to_string(sweep.startHz +
                                               static_cast<uint64_t>(peak.index) * sweep.stepHz);
                line += ",\"dB\":" + JsonText::number(peak.value, 2) + "}";
                firstPeak = false;
            }
            line += "]";
            first = false;
        }
        line += "}";
    }
    return line + "}";
}

bool parseTraceList(const char* text, uint8_t& mask) {
    if (text == nullptr || *text == '\0')
        return false;
    uint8_t bits = 0;
    std::string_view rest = text;
    while (true) {
        const size_t comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        bool known = false;
        for (const TraceName& trace : kTraceNames) {
            if (name == trace.name) {
                bits |= trace.bit;
                known = true;
            }
        }
        if (!known)
            return false;
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    mask = bits;
    return true;
}

}  // namespace SweepText
