// tarno-cli log: headless data logging from the first accessory found or from the demonstration
// recordings, into the CSV files the application writes.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include <unistd.h>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/DemoPlayback.h"
#include "link/FileResourceReader.h"
#include "link/LibusbBackend.h"
#include "model/DataLogFile.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

// Set by SIGINT and SIGTERM: stop and close the files properly.
volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) {
    interrupted = 1;
}

void watchForInterrupt() {
    interrupted = 0;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

constexpr const char* kUsage =
    "Usage: tarno-cli log --out DIR [--band B | --power] [--count N]\n"
    "                     [--demo H --signal S [--simulated-time] [--resources DIR]]\n"
    "  --out DIR          directory for the Tarno_<date>_<time>.csv file; - writes the\n"
    "                     CSV to standard output\n"
    "  --band B           spectrum of band 0 (2.4 GHz, the default) or 1 (5 GHz)\n"
    "  --power            power captures instead of spectrum sweeps\n"
    "  --count N          stop after N rows (default: run until Ctrl-C)\n"
    "  --demo H           play the demonstration of hardware 0, 1 or 2 instead of\n"
    "                     logging the first accessory found\n"
    "  --signal S         demonstration signal 0 none, 1 Wi-Fi, 2 DECT, 3 DSSS\n"
    "  --simulated-time   run the demonstration on a virtual clock, without waiting\n"
    "  --resources DIR    where the demonstration recordings are\n";

struct LogOptions {
    std::string out;
    long band = 0;
    bool power = false;
    long count = 0;
    long demo = -1;
    long signal = 1;
    bool simulated = false;
    std::string resources;
};

bool parse(std::span<char*> args, LogOptions& o) {
    bool bandGiven = false;
    std::vector<std::string> operands;
    CliOptionParser parser("log", kUsage);
    parser.text("out", o.out)
        .number("band", 0, 1, o.band, &bandGiven)
        .number("count", 1, 1000000000, o.count)
        .number("demo", 0, 2, o.demo)
        .number("signal", 0, 3, o.signal)
        .text("resources", o.resources)
        .flag("power", o.power)
        .flag("simulated-time", o.simulated);
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (o.out.empty()) {
        parser.refuse("--out is required");
    } else if (o.power && bandGiven) {
        parser.refuse("--band is for spectrum sweeps, not --power");
    } else if (o.simulated && o.demo < 0) {
        parser.refuse("--simulated-time needs --demo");
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

// Waits for the rows, Ctrl-C, the end of logging or, with an accessory, forever.
LogGate waitForRows(AccessoryCommunicationDelegate& controller, SpectrumSettings& model,
                    uint64_t count) {
    LogGate gate = LogGate::kWaiting;
    while (!interrupted && (count == 0 || controller.rowsLogged() < count)) {
        gate = advanceGate(gate, controller, model);
        if (logEnded(gate, model)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return gate;
}

int runLog(std::span<char*> args) {
    LogOptions o;
    if (!parse(args, o)) {
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

    ManualClock virtualClock(1);
    const MillisecondClock* clock = o.simulated ? &virtualClock : nullptr;
    DataLogFile log(directory, clock, {}, opener);
    AccessoryCommunicationDelegate::Options options;
    options.clock = clock;
    options.dataLog = &log;
    options.startWorker = false;
    std::unique_ptr<FileResourceReader> resources;
    if (o.demo >= 0) {
        model->demo.hardware = static_cast<uint8_t>(o.demo);
        model->demo.signalType = static_cast<uint8_t>(o.signal);
        resources = std::make_unique<FileResourceReader>(o.resources.empty() ? defaultResourceRoot()
                                                                             : o.resources);
        std::string discovery = DemoPlayback::prefix(static_cast<int>(o.demo)) + "discover.bin";
        if (resources->fullPath(discovery).empty()) {
            std::fprintf(stderr, "tarno-cli log: no demonstration recordings (%s) below %s\n",
                         discovery.c_str(),
                         (o.resources.empty() ? defaultResourceRoot() : o.resources).c_str());
            return 1;
        }
        options.resources = resources.get();
    }
    AccessoryCommunicationDelegate controller(*model, options);
    controller.setLogRowLimit(static_cast<uint64_t>(o.count));
    const uint64_t count = static_cast<uint64_t>(o.count);
    watchForInterrupt();

    LogGate gate = LogGate::kWaiting;
    if (o.simulated) {
        // Generous: even the slowest recording gives a row within a minute of virtual time.
        const uint64_t passLimit = (count + 10) * 600;
        for (uint64_t pass = 0;
             pass < passLimit && !interrupted && (count == 0 || controller.rowsLogged() < count);
             ++pass) {
            virtualClock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller.runPass();
            gate = advanceGate(gate, controller, *model);
            if (logEnded(gate, *model)) {
                break;
            }
        }
    } else if (o.demo >= 0) {
        controller.startWorker();
        gate = waitForRows(controller, *model, count);
        controller.stopWorker();
    } else {
        AccessoryCommunication link(LibusbBackend::shared());
        controller.bind(link);
        controller.startWorker();
        link.start();
        std::fprintf(stderr, "tarno-cli log: waiting for an accessory (Ctrl-C stops)\n");
        gate = waitForRows(controller, *model, count);
        controller.stopWorker();
        link.stop();
    }
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
                     interrupted ? "interrupted" : "logging ended",
                     static_cast<unsigned long long>(rows), static_cast<unsigned long long>(count));
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"log", "log spectrum or power measurements to CSV without the window", kUsage, runLog});

}  // namespace
