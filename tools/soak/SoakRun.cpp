#include "tools/soak/SoakRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "model/DataLogFile.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "protocol/PacketFramer.h"
#include "sim/SimulatedAccessory.h"
#include "tests/link/AccessoryEndpoints.h"
#include "tests/link/FakeUsbBackend.h"

namespace {

// The firmware model behind the fake bus. Unlike the controller tests' endpoints it keeps no
// history of what went over the wire: a day of it would be the largest thing in memory.
class SoakEndpoints : public AccessoryEndpoints {
  public:
    SoakEndpoints(SimGeneration generation, const ManualClock& clock, uint64_t seed)
        : sim_(SimulatedAccessory::create(generation, seed)), clock_(clock) {}

    void receive(const uint8_t* data, size_t length) override {
        std::lock_guard<std::mutex> guard(lock_);
        sim_->advanceTo(clock_.nowMilliseconds());
        sim_->receive(std::span<const uint8_t>(data, length));
    }
    size_t transmit(uint8_t* buffer, size_t capacity) override {
        std::lock_guard<std::mutex> guard(lock_);
        sim_->advanceTo(clock_.nowMilliseconds());
        return sim_->read(buffer, capacity);
    }
    size_t pending() {
        std::lock_guard<std::mutex> guard(lock_);
        sim_->advanceTo(clock_.nowMilliseconds());
        return sim_->available();
    }

  private:
    std::mutex lock_;
    std::unique_ptr<SimulatedAccessory> sim_;
    const ManualClock& clock_;
};

// Frames a copy of what the host receives, only to count packets by kind.
class PacketCounter {
  public:
    PacketCounter() {
        ProtocolEnvironment environment;
        environment.console = nullptr;
        framer_.setProtocolEnvironment(environment);
    }
    void count(const uint8_t* bytes, size_t length, SoakRun::Report& report) {
        framer_.deliver(bytes, length, [&](const uint8_t* packet, size_t n, int type) {
            switch (type) {
                case 1:
                    ++report.powerPackets;
                    break;
                case 3:
                    if (!framer_.identified() &&
                        framer_.protocol()->parseDescription(packet, n, nullptr) == 0) {
                        framer_.setIdentified(true);
                    }
                    ++report.otherPackets;
                    break;
                case 5:
                    ++report.spectrumPackets;
                    break;
                case 7:
                    ++report.accessPointLists;
                    break;
                default:
                    ++report.otherPackets;
                    break;
            }
        });
    }

  private:
    PacketFramer framer_;
};

bool fixedLocalTime(std::tm& out) {
    out = std::tm{};
    out.tm_year = 126;
    out.tm_mday = 1;
    return true;
}

size_t statusKiB(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return 0;
    }
    char line[256];
    size_t kib = 0;
    const size_t fieldLength = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, fieldLength) == 0) {
            kib = std::strtoul(line + fieldLength, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

// The measurement a phase of the cycle runs.
enum class Measurement { Spectrum24, Power, Spectrum5, RollingPower };

void select(SpectrumSettings& model, Measurement measurement) {
    const bool spectrum =
        measurement == Measurement::Spectrum24 || measurement == Measurement::Spectrum5;
    model.common_settings.spectrumMode = spectrum ? 1 : 0;
    model.spectrum_settings.ssidScanOn = spectrum ? 1 : 0;
    model.spectrum_settings.band = measurement == Measurement::Spectrum5 ? 1 : 0;
    // Index 3 is the fastest rolling time base, the default 15 a triggered capture.
    model.power_setting.powerTimeBaseIndex = measurement == Measurement::RollingPower ? 3 : 15;
}

}  // namespace

size_t SoakRun::residentKiB() {
    return statusKiB("VmRSS:");
}

size_t SoakRun::peakResidentKiB() {
    return statusKiB("VmHWM:");
}

SoakRun::Report SoakRun::run() {
    Report report;
    report.generation = generationProfile(options_.generation).folder;

    std::FILE* console = std::fopen("/dev/null", "w");
    ManualClock clock(1000);
    SpectrumSettings model;
    // No log directory: a day of sweeps would fill the disk, not memory.
    DataLogFile log("/nonexistent-tarno-soak/", &clock, fixedLocalTime);
    AccessoryCommunicationDelegate::Options controllerOptions;
    controllerOptions.clock = &clock;
    controllerOptions.dataLog = &log;
    controllerOptions.console = console;
    controllerOptions.startWorker = false;
    auto controller = std::make_unique<AccessoryCommunicationDelegate>(model, controllerOptions);

    FakeUsbBackend bus;
    auto endpoints = std::make_shared<SoakEndpoints>(options_.generation, clock, options_.seed);
    const int accessory = bus.addAccessory();
    bus.modify(accessory, [&](FakeUsbBackend::Device& d) { d.endpoints = endpoints; });
    auto link = std::make_unique<AccessoryCommunication>(bus, console);
    controller->bind(*link);
    PacketCounter counter;
    link->setDataHandlers(
        [&](AccessoryCommunication* l, BramelAccessoryDevice* d, const uint8_t* bytes, int n) {
            report.bytesReceived += static_cast<uint64_t>(n);
            if (report.captured.size() < options_.captureBytes) {
                const size_t keep = std::min(static_cast<size_t>(n),
                                             options_.captureBytes - report.captured.size());
                report.captured.insert(report.captured.end(), bytes, bytes + keep);
            }
            counter.count(bytes, static_cast<size_t>(n), report);
            controller->didReceiveData(l, d, bytes, n);
        },
        nullptr);

    std::set<std::string> seenAddresses;
    auto retained = [&] {
        size_t items = controller->bufferedBytes() + link->queuedPackets();
        {
            items += model.live.history.size() + model.live.processedHistory.size() +
                     model.live.rollingHistory.size() + model.live.processedRollingHistory.size();
        }
        items += model.accessPoints.size();
        report.mostAccessPoints = std::max(report.mostAccessPoints, model.accessPoints.size());
        for (const auto& ap : model.accessPoints) {
            seenAddresses.insert(
                std::string(reinterpret_cast<const char*>(ap->bssid), sizeof ap->bssid));
        }
        return items;
    };

    // The measurements this generation has, in the order a user might switch between them.
    const GenerationProfile& profile = generationProfile(options_.generation);
    std::vector<Measurement> cycle{Measurement::Spectrum24};
    if (profile.hasPower) {
        cycle.push_back(Measurement::Power);
    }
    if (profile.has5GHz) {
        cycle.push_back(Measurement::Spectrum5);
    }
    if (profile.hasPower) {
        cycle.push_back(Measurement::RollingPower);
    }
    size_t phase = 0;
    select(model, cycle[0]);
    link->runPass();  // finds and opens the accessory

    const uint64_t start = clock.nowMilliseconds();
    uint64_t nextPhase = start + options_.phaseMs;
    uint64_t nextSample = start;
    const uint64_t end = start + options_.durationMs;
    while (clock.nowMilliseconds() < end) {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller->runPass();
        for (int i = 0; i < 64 && (link->queuedPackets() > 0 || endpoints->pending() > 0); ++i) {
            link->runPass();
        }
        ++report.passes;
        // The fake bus records every command it carried, for tests; a day of the first
        // generation's polled requests would otherwise be the soak's own leak.
        if (report.passes % 100 == 0) {
            bus.modify(accessory, [](FakeUsbBackend::Device& d) { d.writes.clear(); });
        }
        const uint64_t now = clock.nowMilliseconds();
        if (now >= nextPhase && now < end) {
            phase = (phase + 1) % cycle.size();
            select(model, cycle[phase]);
            controller->requestReconfigure(true);
            ++report.reconfigurations;
            nextPhase += options_.phaseMs;
        }
        if (now >= nextSample) {
            Sample sample{now - start, residentKiB(), retained()};
            report.samples.push_back(sample);
            const bool warm = sample.atMs >= options_.warmUpMs;
            if (warm && report.warmResidentKiB == 0) {
                report.warmResidentKiB = sample.residentKiB;
                report.warmRetainedItems = sample.retainedItems;
            }
            if (warm) {
                report.maxRetainedItemsAfterWarmUp =
                    std::max(report.maxRetainedItemsAfterWarmUp, sample.retainedItems);
            }
            nextSample += options_.sampleMs;
        }
    }
    report.simulatedMs = clock.nowMilliseconds() - start;
    report.acknowledgements = static_cast<uint64_t>(controller->ackCount());
    report.finalRetainedItems = retained();
    report.distinctAccessPoints = seenAddresses.size();
    report.finalResidentKiB = residentKiB();
    report.peakResidentKiB = peakResidentKiB();

    link->stop();
    link.reset();
    controller.reset();
    std::fclose(console);
    return report;
}
