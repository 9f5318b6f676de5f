#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

// Reads the power rows back out of a Tarno CSV data log. A log is a sequence of header blocks
// ("Power" or "Spectrum", an optional scale line, the frequency line of a sweep) and rows whose
// first field is a time stamp. Only rows inside a "Power" block are returned; each carries the
// time base of the latest scale line above it, so that its sample interval can be recovered.
// Lines are read one at a time and no longer than kMaxLineBytes, so memory does not grow with
// the file.
class PowerLogReader {
  public:
    // Far beyond any row Tarno writes (a power capture is a few thousand samples).
    static constexpr size_t kMaxLineBytes = 1 << 20;

    struct Row {
        size_t line = 0;               // 1-based line number in the file
        std::vector<float> samples;    // dBm, as logged (four significant digits)
        float secondsPerDivision = 0;  // of the latest scale line before the row; 0 when none
    };

    explicit PowerLogReader(std::istream& in) : in_(in) {}

    // The next power row. False at the end of the file or on a damaged row (a sample that is
    // not a finite number, a line longer than kMaxLineBytes), in which case error() says which
    // line and why.
    bool next(Row& row);
    const std::string& error() const { return error_; }

    // Seconds per division of a scale line ("time:,1 m,s/div, Power:,..."), 0 when the line is
    // not a power scale line or its time base cannot be read.
    static float timeBaseOfScaleLine(const std::string& line);

  private:
    // The next line without its line break; false at the end or when it is too long.
    bool readLine(std::string& line);

    std::istream& in_;
    size_t lineNumber_ = 0;
    bool inPowerBlock_ = false;
    float secondsPerDivision_ = 0.0f;
    std::string error_;
};
