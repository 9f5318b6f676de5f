// tarno-cli record DIR: records an accessory session as demonstration files, named and laid out
// as the playback looks them up, so users can make their own demonstrations.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/DemoPlayback.h"
#include "link/LibusbBackend.h"
#include "link/SessionRecorder.h"
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
    "Usage: tarno-cli record DIR [--seconds N] [--signal S] [--band B | --power]\n"
    "                            [--ssid]\n"
    "  DIR          where packets/<model>/<model>_*.bin are written\n"
    "  --seconds N  length of the recording (default 60)\n"
    "  --signal S   what is on the air, naming the files: 0 None, 1 Wifi (default),\n"
    "               2 Dect, 3 Dsss\n"
    "  --band B     spectrum of band 0 (2.4 GHz, the default) or 1 (5 GHz)\n"
    "  --power      power captures instead of sweeps\n"
    "  --ssid       include access-point scans (spectrum only)\n"
    "Copy DIR/packets below the resource folder's res/ to play it back.\n";

int runRecord(std::span<char*> args) {
    long seconds = 60, signal = 1, band = 0;
    bool power = false, ssid = false;
    std::vector<std::string> operands;
    CliOptionParser parser("record", kUsage);
    parser.flag("power", power)
        .flag("ssid", ssid)
        .number("seconds", 1, 86400, seconds)
        .number("signal", 0, 3, signal)
        .number("band", 0, 1, band);
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (operands.size() != 1) {
        return parser.refuse(operands.empty() ? "no DIR to record into" : "one DIR at a time");
    }
    const std::string directory = operands[0];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!std::filesystem::is_directory(directory, error)) {
        std::fprintf(stderr, "tarno-cli record: cannot create %s\n", directory.c_str());
        return 1;
    }

    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = power ? 0 : 1;
    model->spectrum_settings.band = static_cast<int32_t>(band);
    model->spectrum_settings.ssidScanOn = ssid ? 1 : 0;
    model->spectrum_settings.refreshInterval = 10.0f;
    SessionRecorder recorder(directory, DemoPlayback::signalFile(static_cast<int>(signal)));

    AccessoryCommunicationDelegate::Options options;
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(*model, options);
    AccessoryCommunication link(LibusbBackend::shared());
    controller.bind(link);
    // The recorder sees every byte before the controller does, on the link's thread.
    link.setDataHandlers(
        [&](AccessoryCommunication* l, BramelAccessoryDevice* d, const uint8_t* bytes, int n) {
            if (bytes != nullptr && n > 0) {
                recorder.deliver(bytes, static_cast<size_t>(n));
            }
            controller.didReceiveData(l, d, bytes, n);
        },
        nullptr);
    watchForInterrupt();
    controller.startWorker();
    link.start();
    std::fprintf(stderr, "tarno-cli record: waiting for an accessory (Ctrl-C stops)\n");
    while (!interrupted && !controller.connected()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!interrupted && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    controller.stopWorker();
    link.stop();
    recorder.finish();
    for (const auto& [name, bytes] : recorder.written()) {
        std::printf("%s/%s: %zu bytes\n", directory.c_str(), name.c_str(), bytes);
    }
    if (recorder.failed()) {
        std::fprintf(stderr, "tarno-cli record: %s\n", recorder.failure().c_str());
        return 1;
    }
    return recorder.written().empty() ? 1 : 0;
}

const CliCommandRegistration registration({"record",
                                           "record an accessory session as demonstration files",
                                           kUsage, runRecord});

}  // namespace
