// tarno-cli measure: pulse measurements of the power rows of a Tarno data log, one JSON object
// per row, without the window.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <istream>
#include <string>

#include "model/PowerLogReader.h"
#include "model/PulseMeasurement.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarno-cli measure [--dt SECONDS] FILE.csv\n"
    "  Pulse measurements of every power row of a Tarno data log, one JSON object\n"
    "  per row: times in s, frequency in Hz, duty in %, levels in dBm without the\n"
    "  attenuation offset; null where a value cannot be measured.\n"
    "  --dt SECONDS   sample interval; without it, ten divisions of the time base in\n"
    "                 the latest scale line before the row over the row's sample count\n";

// The shortest text that reads back to the same value (0.05f is "0.05", not "0.0500000007");
// measurements are floats, the sample interval a double.
template <typename Number>
void printNumber(const char* name, Number value) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (std::isfinite(value) && error == std::errc()) {
        std::printf(",\"%s\":%.*s", name, static_cast<int>(end - text), text);
    } else {
        std::printf(",\"%s\":null", name);
    }
}

void printRow(size_t row, size_t samples, double dt, const PulseMeasurement::Results& r) {
    using P = PulseMeasurement;
    struct Field {
        const char* name;
        int id;
    };
    static const Field fields[] = {
        {"period", P::kPeriod},
        {"frequency", P::kFrequency},
        {"riseTime", P::kRiseTime},
        {"fallTime", P::kFallTime},
        {"dutyPlus", P::kDutyPlus},
        {"dutyMinus", P::kDutyMinus},
        {"pulsePlus", P::kPulsePlus},
        {"pulseMinus", P::kPulseMinus},
        {"peakToPeak", P::kPeakToPeak},
        {"max", P::kMax},
        {"min", P::kMin},
        {"mean", P::kMean},
        {"cycleMean", P::kCycleMean},
        {"rms", P::kRms},
        {"cycleRms", P::kCycleRms},
    };
    std::printf("{\"row\":%zu,\"samples\":%zu", row, samples);
    printNumber("dt", dt);
    for (const Field& f : fields) {
        printNumber(f.name, r[static_cast<size_t>(f.id)]);
    }
    std::printf("}\n");
}

int runMeasure(std::span<char*> args) {
    double fixedDt = 0.0;
    std::vector<std::string> operands;
    CliOptionParser parser("measure", kUsage);
    // A positive number of seconds.
    parser.value("dt", 0, [&fixedDt](const char* value) {
        char* end = nullptr;
        errno = 0;
        fixedDt = std::strtod(value, &end);
        return errno == 0 && *end == '\0' && fixedDt > 0.0 && std::isfinite(fixedDt);
    });
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (operands.size() != 1) {
        return parser.refuse(operands.empty() ? "no FILE.csv to measure"
                                              : "one FILE.csv at a time");
    }
    const char* path = operands[0].c_str();
    int fd = openInputFile("measure", path);
    if (fd < 0) {
        return 1;
    }
    __gnu_cxx::stdio_filebuf<char> buffer(fd, std::ios::in);
    std::istream in(&buffer);
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    size_t rows = 0;
    while (reader.next(row)) {
        ++rows;
        double dt = fixedDt;
        if (dt <= 0.0 && row.secondsPerDivision > 0.0f) {
            dt = 10.0 * row.secondsPerDivision / static_cast<double>(row.samples.size());
        }
        auto results = PulseMeasurement::measure(row.samples.data(), row.samples.size(),
                                                 static_cast<float>(dt));
        if (!results) {
            std::fprintf(stderr,
                         "tarno-cli measure: %s line %zu: no sample interval (no time base "
                         "above the row; give --dt SECONDS)\n",
                         path, row.line);
            return 1;
        }
        printRow(rows, row.samples.size(), static_cast<float>(dt), *results);
    }
    if (!reader.error().empty()) {
        std::fprintf(stderr, "tarno-cli measure: %s %s\n", path, reader.error().c_str());
        return 1;
    }
    if (rows == 0) {
        std::fprintf(stderr, "tarno-cli measure: %s holds no power rows\n", path);
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration({"measure",
                                           "pulse measurements of the power rows of a data log",
                                           kUsage, runMeasure});

}  // namespace
