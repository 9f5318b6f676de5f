// `tarno-cli measure`'s input: a file of arbitrary text read as a data log, every power row it
// yields measured as the command measures it. What the reader hands on must hold what the
// command relies on: finite samples, a usable time base, rising line numbers, and the reader
// stops at its first error.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "model/PowerLogReader.h"
#include "model/PulseMeasurement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    size_t lastLine = 0;
    while (reader.next(row)) {
        if (row.line <= lastLine || row.samples.empty() || !reader.error().empty()) {
            std::abort();
        }
        lastLine = row.line;
        if (!std::isfinite(row.secondsPerDivision) || row.secondsPerDivision < 0.0f) {
            std::abort();
        }
        for (float sample : row.samples) {
            if (!std::isfinite(sample)) {
                std::abort();
            }
        }
        double dt = row.secondsPerDivision > 0.0f
                        ? 10.0 * row.secondsPerDivision / static_cast<double>(row.samples.size())
                        : 1e-3;
        PulseMeasurement::measure(row.samples.data(), row.samples.size(), static_cast<float>(dt));
    }
    if (reader.next(row)) {
        std::abort();  // no row after the end or after an error
    }
    return 0;
}
