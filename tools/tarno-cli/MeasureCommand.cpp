// tarno-cli measure: pulse measurements of the power rows of a Tarno data log, one JSON object
// per row, without the window.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <istream>
#include <string>

#include "model/PowerLogReader.h"
#include "model/PulseMeasurement.h"
#include "publish/PowerJson.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/MeasureLive.h"

namespace {

// One literal per printed line.
// clang-format off
constexpr const char* kUsage =
    "Usage: tarno-cli measure [--dt SECONDS] FILE.csv\n"
    "       tarno-cli measure --live [options]   (see below)\n"
    "  Pulse measurements of every power row of a Tarno data log, one JSON object\n"
    "  per row: times in s, frequency in Hz, duty in %, levels in dBm without the\n"
    "  attenuation offset; null where a value cannot be measured.\n"
    "  --dt SECONDS   sample interval; without it, ten divisions of the time base in\n"
    "                 the latest scale line before the row over the row's sample count\n"
    MEASURE_LIVE_USAGE;
// clang-format on

int runMeasure(std::span<char*> args) {
    // Up to "--", after which everything is a file name.
    for (const char* arg : args) {
        if (std::strcmp(arg, "--") == 0) {
            break;
        }
        if (std::strcmp(arg, "--live") == 0) {
            return runMeasureLive(args, kUsage);
        }
    }
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
        std::printf("%s\n", PowerJson::measurements("\"row\":" + std::to_string(rows),
                                                    row.samples.size(), dt, *results)
                                .c_str());
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
