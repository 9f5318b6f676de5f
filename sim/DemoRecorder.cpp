#include "sim/DemoRecorder.h"

#include <memory>

#include "sim/HostCommands.h"
#include "sim/SimRandom.h"
#include "sim/SimulatedAccessory.h"

namespace {

const char* const kSignalFiles[4] = {"None.bin", "Wifi.bin", "Dect.bin", "Dsss.bin"};

// The host polls the first generation once per 100 ms worker pass.
constexpr uint64_t kPollMs = 100;
// Scans kept in the access-point file; played one list per repeat interval, they outlast a
// minute on either scanning generation.
constexpr int kRecordedScans = 15;

// Trigger set-up the playback puts in the model before it plays power captures, so the
// recorded edges sit where the host draws its trigger.
HostCommands::PowerSetup playbackPowerSetup(SimGeneration generation) {
    HostCommands::PowerSetup setup;
    setup.autoTrigger = true;
    setup.risingEdge = true;
    setup.triggerHoldoff = 0.001f;
    if (generation == SimGeneration::Tarno) {
        setup.timeBaseIndex = 16;
        setup.triggerLevelDbm = -31.7f;
        setup.triggerDelay = 0.000016f;
    } else {
        setup.timeBaseIndex = 15;
        setup.triggerLevelDbm = -36.31f;
        setup.triggerDelay = 0.0000352f;
    }
    return setup;
}

// Runs a request for a minute the way the host would: sent once to a streaming accessory, once
// per pass to a polled one, and reading what arrived on every pass.
std::vector<uint8_t> runFor(SimulatedAccessory& sim, uint8_t request, uint64_t durationMs) {
    std::vector<uint8_t> out;
    auto keep = [&](std::vector<uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    uint64_t start = sim.now();
    for (uint64_t t = start; t < start + durationMs; t += kPollMs) {
        sim.advanceTo(t);
        if (t == start || !sim.profile().streams) {
            sim.receive(HostCommands::request(request));
        }
        sim.advanceTo(t + kPollMs);
        keep(sim.readAll());
    }
    return out;
}

// Drops the empty lists that only announce a scan; playback has no use for them.
std::vector<uint8_t> withoutEmptyLists(const std::vector<uint8_t>& lists) {
    std::vector<uint8_t> out;
    size_t pos = 0;
    while (pos + 4 <= lists.size()) {
        size_t length = 4 + static_cast<size_t>(lists[pos + 2]) * 64;
        if (pos + length > lists.size()) {
            break;
        }
        if (lists[pos + 2] != 0) {
            out.insert(out.end(), lists.begin() + static_cast<std::ptrdiff_t>(pos),
                       lists.begin() + static_cast<std::ptrdiff_t>(pos + length));
        }
        pos += length;
    }
    return out;
}

}  // namespace

std::vector<std::string> DemoRecorder::fileNames(SimGeneration generation) {
    const GenerationProfile& profile = generationProfile(generation);
    std::string prefix = std::string("packets/") + profile.folder + "/" + profile.filePrefix;
    std::vector<std::string> names = {prefix + "discover.bin", prefix + "settings.bin"};
    if (profile.hasPower) {
        for (const char* signal : kSignalFiles) {
            names.push_back(prefix + "power" + signal);
        }
    }
    for (const char* signal : kSignalFiles) {
        names.push_back(prefix + "spectrum" + signal);
    }
    if (profile.has5GHz) {
        for (const char* signal : kSignalFiles) {
            names.push_back(prefix + "spectrum5GHz" + signal);
        }
    }
    if (profile.hasScan) {
        names.push_back(prefix + "ssid.bin");
    }
    return names;
}

std::vector<DemoRecorder::File> DemoRecorder::record(SimGeneration generation) const {
    const GenerationProfile& profile = generationProfile(generation);
    std::vector<std::string> names = fileNames(generation);
    std::vector<File> files;
    size_t next = 0;
    auto add = [&](std::vector<uint8_t> bytes) {
        files.push_back({names[next++], std::move(bytes)});
    };
    auto accessory = [&](int signal) {
        uint64_t seed = SimRandom::mix(seed_, static_cast<uint64_t>(generation), signal);
        return SimulatedAccessory::create(generation, seed, static_cast<SignalType>(signal));
    };

    {
        auto sim = accessory(1);
        sim->receive(HostCommands::request(HostCommands::kDiscovery));
        add(sim->readAll());
        sim->receive(HostCommands::spectrumSettings(profile, 1, SimBand::Band24));
        add(sim->readAll());
    }
    if (profile.hasPower) {
        for (int signal = 0; signal < 4; ++signal) {
            auto sim = accessory(signal);
            sim->receive(HostCommands::powerSettings(profile, 1, playbackPowerSetup(generation)));
            sim->readAll();
            add(runFor(*sim, HostCommands::kPower, kRecordingMs));
        }
    }
    for (SimBand band : {SimBand::Band24, SimBand::Band5}) {
        if (band == SimBand::Band5 && !profile.has5GHz) {
            continue;
        }
        for (int signal = 0; signal < 4; ++signal) {
            auto sim = accessory(signal);
            sim->receive(HostCommands::spectrumSettings(profile, 1, band));
            sim->readAll();
            add(runFor(*sim, HostCommands::kSpectrum, kRecordingMs));
        }
    }
    if (profile.hasScan) {
        auto sim = accessory(1);
        sim->receive(HostCommands::spectrumSettings(profile, 1, SimBand::Band24));
        sim->readAll();
        std::vector<uint8_t> lists =
            runFor(*sim, HostCommands::kScan, kRecordedScans * uint64_t{profile.scanDurationMs});
        add(withoutEmptyLists(lists));
    }
    return files;
}

std::vector<DemoRecorder::File> DemoRecorder::recordAll() const {
    std::vector<File> all;
    for (SimGeneration generation :
         {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        std::vector<File> files = record(generation);
        for (File& file : files) {
            all.push_back(std::move(file));
        }
    }
    return all;
}
