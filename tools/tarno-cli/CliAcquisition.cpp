#include "tools/tarno-cli/CliAcquisition.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "link/AccessoryCommunication.h"
#include "link/DemoPlayback.h"
#include "link/FileResourceReader.h"
#include "link/LibusbBackend.h"
#include "model/SpectrumSettings.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) {
    interrupted = 1;
}

}  // namespace

void watchForInterrupt() {
    interrupted = 0;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

bool interruptRequested() {
    return interrupted != 0;
}

void AcquisitionSource::addOptions(CliOptionParser& parser) {
    parser.number("demo", 0, 2, demo)
        .number("signal", 0, 3, signal)
        .text("resources", resources)
        .flag("simulated-time", simulated);
}

std::string AcquisitionSource::problem() const {
    return simulated && demo < 0 ? "--simulated-time needs --demo" : "";
}

CliAcquisition::CliAcquisition(const char* command, const AcquisitionSource& source)
    : command_(command), source_(source) {}

CliAcquisition::~CliAcquisition() = default;

bool CliAcquisition::prepare(SpectrumSettings& model,
                             AccessoryCommunicationDelegate::Options& options) {
    options.clock = source_.simulated ? &virtualClock_ : nullptr;
    options.startWorker = false;
    if (source_.demo < 0) {
        return true;
    }
    model.demo.hardware = static_cast<uint8_t>(source_.demo);
    model.demo.signalType = static_cast<uint8_t>(source_.signal);
    const std::string root = source_.resources.empty() ? defaultResourceRoot() : source_.resources;
    resources_ = std::make_unique<FileResourceReader>(root);
    const std::string discovery =
        DemoPlayback::prefix(static_cast<int>(source_.demo)) + "discover.bin";
    if (resources_->fullPath(discovery).empty()) {
        std::fprintf(stderr, "tarno-cli %s: no demonstration recordings (%s) below %s\n", command_,
                     discovery.c_str(), root.c_str());
        return false;
    }
    options.resources = resources_.get();
    return true;
}

uint64_t CliAcquisition::nowMilliseconds() const {
    return source_.simulated ? virtualClock_.nowMilliseconds() : ::nowMilliseconds();
}

uint64_t CliAcquisition::utcMicroseconds() const {
    if (source_.simulated) {
        return virtualClock_.nowMilliseconds() * 1000u;
    }
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
}

void CliAcquisition::run(AccessoryCommunicationDelegate& controller, const Step& step,
                         uint64_t limitMs, uint64_t pollMs) {
    if (source_.simulated) {
        for (uint64_t elapsed = 0; !interruptRequested() && (limitMs == 0 || elapsed < limitMs);
             elapsed += AccessoryCommunicationDelegate::kPassMs) {
            virtualClock_.advance(AccessoryCommunicationDelegate::kPassMs);
            controller.runPass();
            if (!step()) {
                break;
            }
        }
        return;
    }
    std::unique_ptr<AccessoryCommunication> link;
    if (source_.demo < 0) {
        link = std::make_unique<AccessoryCommunication>(LibusbBackend::shared());
        controller.bind(*link);
    }
    controller.startWorker();
    if (link) {
        link->start();
        std::fprintf(stderr, "tarno-cli %s: waiting for an accessory (Ctrl-C stops)\n", command_);
    }
    const auto start = std::chrono::steady_clock::now();
    while (!interruptRequested()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
        // This loop owns the model: the sweeps the link decoded meanwhile are stored here.
        controller.deliverFrames();
        if (!step()) {
            break;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (limitMs != 0 && elapsed >= std::chrono::milliseconds(limitMs)) {
            break;
        }
    }
    controller.stopWorker();
    if (link) {
        link->stop();
    }
}
