// tarno-cli log: headless data logging from the first accessory found or from the demonstration
// recordings, into the CSV files the application writes.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/DataLogFile.h"
#include "model/SpectrumSettings.h"
#include "tools/tarno-cli/CliAcquisition.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/CliPublishing.h"
#include "tools/tarno-cli/LogPublishing.h"

namespace {

// One literal per printed line.
// clang-format off
constexpr const char* kUsage =
    "Usage: tarno-cli log --out DIR [--band B | --power] [--count N] [--mqtt URL]\n"
    "                     [--demo H --signal S [--simulated-time] [--resources DIR]]\n"
    "  --out DIR          directory for the Tarno_<date>_<time>.csv file; - writes the\n"
    "                     CSV to standard output\n"
    "  --band B           spectrum of band 0 (2.4 GHz, the default) or 1 (5 GHz)\n"
    "  --power            power captures instead of spectrum sweeps\n"
    "  --count N          stop after N rows (default: run until Ctrl-C)\n"
    TARNO_CLI_MQTT_USAGE
    "                     (each sweep as on PREFIX/<serial>/sweep/<2.4|5>, or each\n"
    "                     capture's pulse measurements on PREFIX/<serial>/power)\n"
    TARNO_CLI_SOURCE_USAGE;
// clang-format on

struct LogOptions {
    std::string out;
    long band = 0;
    bool power = false;
    long count = 0;
    AcquisitionSource source;
};

bool parse(std::span<char*> args, LogOptions& o, CliPublishing& publishing) {
    bool bandGiven = false;
    std::vector<std::string> operands;
    CliOptionParser parser("log", kUsage);
    parser.text("out", o.out)
        .number("band", 0, 1, o.band, &bandGiven)
        .number("count", 1, 1000000000, o.count)
        .flag("power", o.power);
    o.source.addOptions(parser);
    publishing.addOptions(parser);
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (o.out.empty()) {
        parser.refuse("--out is required");
    } else if (o.power && bandGiven) {
        parser.refuse("--band is for spectrum sweeps, not --power");
    } else if (const std::string why = o.source.problem(); !why.empty()) {
        parser.refuse(why);
    } else if (const std::string why = publishing.problem(); !why.empty()) {
        parser.refuse(why);
    } else {
        return true;
    }
    return false;
}

// The log starts only once the accessory has described itself: when it cannot measure what was
// asked for (power on an analyser without a power meter) the link switches the mode, and logging
// then would write rows of the other kind and call it success.
enum class LogGate { kWaiting, kStarted, kRefused };

LogGate advanceGate(LogGate gate, AccessoryCommunicationDelegate& controller,
                    SpectrumSettings& model) {
    if (gate != LogGate::kWaiting || !controller.identified()) {
        return gate;
    }
    if (model.runtime.modeChangedByLink) {
        return LogGate::kRefused;
    }
    model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    return LogGate::kStarted;
}

// Logging has ended on its own: the file failed or the accessory went away.
bool logEnded(LogGate gate, const SpectrumSettings& model) {
    return gate == LogGate::kRefused ||
           (gate == LogGate::kStarted &&
            model.runtime.dataLogState.load() == SpectrumSettings::kDataLogOff);
}

int runLog(std::span<char*> args) {
    LogOptions o;
    CliPublishing publishing("log");
    if (!parse(args, o, publishing)) {
        return 2;
    }
    const bool toStdout = o.out == "-";
    std::error_code error;
    if (!toStdout && !std::filesystem::is_directory(o.out, error)) {
        std::fprintf(stderr, "tarno-cli log: %s is not a directory\n", o.out.c_str());
        return 1;
    }
    std::string directory = toStdout || o.out.back() == '/' ? o.out : o.out + "/";
    DataLogFile::Opener opener;
    if (toStdout) {
        // Its own stream on a copy of the descriptor: closing the log leaves stdout open.
        opener = [](const std::string&) -> std::FILE* {
            int fd = dup(STDOUT_FILENO);
            std::FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
            if (file == nullptr && fd >= 0) {
                ::close(fd);
            }
            return file;
        };
    }

    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = o.power ? 0 : 1;
    model->spectrum_settings.band = static_cast<int32_t>(o.band);
    // Access-point scans would interrupt the sweeps for seconds at a time.
    model->spectrum_settings.ssidScanOn = 0;

    CliAcquisition acquisition("log", o.source);
    AccessoryCommunicationDelegate::Options options;
    if (!acquisition.prepare(*model, options)) {
        return 1;
    }
    DataLogFile log(directory, options.clock, {}, opener);
    options.dataLog = &log;
    AccessoryCommunicationDelegate controller(*model, options);
    controller.setLogRowLimit(static_cast<uint64_t>(o.count));
    const uint64_t count = static_cast<uint64_t>(o.count);
    watchForInterrupt();
    // Generous: even the slowest recording gives a row within a minute of virtual time.
    const uint64_t limitMs =
        o.source.simulated ? (count + 10) * 600 * AccessoryCommunicationDelegate::kPassMs : 0;
    LogPublishing live(publishing, *model, o.power ? -1 : static_cast<int>(o.band));
    if (publishing.enabled()) {
        live.attach(controller);
    }
    LogGate gate = LogGate::kWaiting;
    acquisition.run(
        controller,
        [&] {
            gate = advanceGate(gate, controller, *model);
            if (logEnded(gate, *model)) {
                return false;
            }
            live.step(acquisition.utcMicroseconds());
            return count == 0 || controller.rowsLogged() < count;
        },
        limitMs, 20);
    live.step(acquisition.utcMicroseconds());
    publishing.finish();
    log.close();
    uint64_t rows = controller.rowsLogged();
    if (gate == LogGate::kRefused) {
        std::fprintf(stderr, "tarno-cli log: this accessory has no %s\n",
                     o.power ? "power meter" : "spectrum analyser");
        return 1;
    }
    if (!log.failure().empty()) {
        std::fprintf(stderr, "tarno-cli log: stopped after %llu rows: %s\n",
                     static_cast<unsigned long long>(rows), log.failure().c_str());
        return 1;
    }
    if (rows == 0) {
        std::fprintf(stderr, "tarno-cli log: nothing was logged\n");
        return 1;
    }
    // Standard output carries the result: the file's name, or the log itself (then the summary
    // is a message on stderr).
    std::fprintf(toStdout ? stderr : stdout, "%llu rows written to %s\n",
                 static_cast<unsigned long long>(rows),
                 toStdout ? "standard output" : log.lastPath().c_str());
    if (count != 0 && rows < count) {
        std::fprintf(stderr, "tarno-cli log: %s after %llu of %llu rows\n",
                     interruptRequested() ? "interrupted" : "logging ended",
                     static_cast<unsigned long long>(rows), static_cast<unsigned long long>(count));
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"log", "log spectrum or power measurements to CSV without the window", kUsage, runLog});

}  // namespace
