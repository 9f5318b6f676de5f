#include "model/PowerLogReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/DataLogFile.h"

namespace {

// Multipliers of the unit prefixes the log's engineering notation writes. Both micro spellings
// are read, and "u" for logs edited by hand.
double prefixMultiplier(const char* prefix) {
    struct Prefix {
        const char* text;
        double multiplier;
    };
    static const Prefix prefixes[] = {
        {"n", 1e-9}, {"\xC2\xB5", 1e-6}, {"\xCE\xBC", 1e-6}, {"u", 1e-6},
        {"m", 1e-3}, {"k", 1e3},         {"M", 1e6},         {"G", 1e9},
    };
    for (const Prefix& p : prefixes) {
        if (std::strcmp(prefix, p.text) == 0) {
            return p.multiplier;
        }
    }
    return *prefix == '\0' ? 1.0 : 0.0;
}

std::string trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return "";
    }
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool isHeaderLine(const std::string& line) {
    return line.rfind("time:", 0) == 0 || line.rfind("Freq", 0) == 0 ||
           line.rfind("Spectrum Mode", 0) == 0;
}

}  // namespace

float PowerLogReader::timeBaseOfScaleLine(const std::string& line) {
    if (line.rfind("time:,", 0) != 0) {
        return 0.0f;
    }
    const size_t start = 6;
    const size_t comma = line.find(',', start);
    std::string field =
        trimmed(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(field.c_str(), &end);
    if (end == field.c_str() || errno != 0) {
        return 0.0f;
    }
    while (*end == ' ') {
        ++end;
    }
    // Checked after narrowing: a time base a double holds can still overflow a float.
    const float seconds = static_cast<float>(value * prefixMultiplier(end));
    if (!std::isfinite(seconds) || seconds <= 0.0f) {
        return 0.0f;
    }
    return seconds;
}

bool PowerLogReader::readLine(std::string& line) {
    line.clear();
    std::streambuf* buffer = in_.rdbuf();
    if (buffer == nullptr || !error_.empty()) {
        return false;
    }
    using Traits = std::char_traits<char>;
    for (;;) {
        Traits::int_type c = buffer->sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            return !line.empty();
        }
        if (c == '\n') {
            return true;
        }
        if (line.size() >= kMaxLineBytes) {
            error_ = "line " + std::to_string(lineNumber_ + 1) + ": longer than " +
                     std::to_string(kMaxLineBytes) + " bytes; not a Tarno data log";
            return false;
        }
        line.push_back(Traits::to_char_type(c));
    }
}

bool PowerLogReader::next(Row& row) {
    std::string raw;
    while (readLine(raw)) {
        ++lineNumber_;
        std::string line = trimmed(raw);
        if (line.empty()) {
            continue;
        }
        // A mode word, alone or with the demonstration's mark.
        const std::string word = line.substr(0, line.find(','));
        if ((word == "Power" || word == "Spectrum") &&
            (word == line || line == word + DataLogFile::kDemonstrationMark)) {
            inPowerBlock_ = word == "Power";
            continue;
        }
        if (line.rfind("time:,", 0) == 0) {
            secondsPerDivision_ = timeBaseOfScaleLine(line);
            continue;
        }
        if (isHeaderLine(line) || !inPowerBlock_) {
            continue;
        }
        row.line = lineNumber_;
        row.secondsPerDivision = secondsPerDivision_;
        row.samples.clear();
        size_t pos = line.find(',');
        if (pos == std::string::npos) {
            error_ = "line " + std::to_string(lineNumber_) + ": a row without samples";
            return false;
        }
        while (pos != std::string::npos) {
            size_t begin = pos + 1;
            pos = line.find(',', begin);
            std::string field = trimmed(
                line.substr(begin, pos == std::string::npos ? std::string::npos : pos - begin));
            char* end = nullptr;
            float value = std::strtof(field.c_str(), &end);
            // "nan", "inf" and overflowing numbers parse, but no power meter measures them.
            if (field.empty() || *end != '\0' || !std::isfinite(value)) {
                error_ = "line " + std::to_string(lineNumber_) + ": sample " +
                         std::to_string(row.samples.size() + 1) +
                         (field.empty() || *end != '\0' ? " is not a number"
                                                        : " is not a finite number");
                return false;
            }
            row.samples.push_back(value);
        }
        return true;
    }
    return false;
}
