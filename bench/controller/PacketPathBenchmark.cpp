// The controller's packet path per generation: framing, decoding, the write into the model, the
// heat-map update and every sweep's processed traces, fed in USB-sized reads (peaks are worked out
// when read, and nothing reads them here). Reported as accessory bytes per second (and
// sweeps per second); USB full speed bulk tops out near 1.2 MB/s, and every spectrum path should
// keep a hundred times that (120 MB/s) of headroom.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "sim/HostCommands.h"
#include "sim/SimulatedAccessory.h"

namespace {

constexpr size_t kReadBytes = 2048;  // one bulk IN read of the link

struct Stream {
    std::vector<uint8_t> discovery;
    std::vector<uint8_t> packets;
};

// Ten seconds of what the accessory sends for a request, after its discovery reply.
Stream record(SimGeneration generation, SimBand band, uint8_t request) {
    auto sim = SimulatedAccessory::create(generation, 5, SignalType::Wifi);
    Stream s;
    sim->receive(HostCommands::request(HostCommands::kDiscovery));
    s.discovery = sim->readAll();
    const GenerationProfile& profile = sim->profile();
    if (request == HostCommands::kPower) {
        HostCommands::PowerSetup setup;
        sim->receive(HostCommands::powerSettings(profile, 1, setup));
    } else {
        sim->receive(HostCommands::spectrumSettings(profile, 1, band));
    }
    sim->readAll();
    for (int pass = 0; pass < 100; ++pass) {
        if (!profile.streams || pass == 0) {
            sim->receive(HostCommands::request(request));
        }
        sim->step(100);
        std::vector<uint8_t> bytes = sim->readAll();
        s.packets.insert(s.packets.end(), bytes.begin(), bytes.end());
    }
    return s;
}

// `readBytes` per read; `deliverEachRead`: the owner takes the frames after every read, as the
// window does once a frame (about one sweep a frame), instead of once per ten seconds of packets.
void packetPathIn(benchmark::State& state, SimGeneration generation, SimBand band, uint8_t request,
                  size_t readBytes, bool deliverEachRead) {
    Stream stream = record(generation, band, request);
    std::FILE* console = std::tmpfile();
    ManualClock clock(1000);
    SpectrumSettings model;
    model.common_settings.spectrumMode = request == HostCommands::kPower ? 0 : 1;
    AccessoryCommunicationDelegate::Options options;
    options.clock = &clock;
    options.console = console;
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(model, options);
    controller.didReceiveData(nullptr, nullptr, stream.discovery.data(),
                              static_cast<int>(stream.discovery.size()));
    // Sweeps appended so far: each band's serials run on without gaps.
    auto appended = [&model] {
        uint64_t sweeps = 0;
        for (const BandSweepBuffers* band : {&model.band24, &model.band5}) {
            sweeps += band->firstSerial() + static_cast<uint64_t>(band->sweepCount());
        }
        return sweeps;
    };
    const uint64_t sweepsBefore = appended();
    for (auto _ : state) {
        for (size_t at = 0; at < stream.packets.size(); at += readBytes) {
            size_t n = std::min(readBytes, stream.packets.size() - at);
            controller.didReceiveData(nullptr, nullptr, stream.packets.data() + at,
                                      static_cast<int>(n));
            if (deliverEachRead)
                controller.deliverFrames();
        }
        // The sweeps' derived data is part of the path, computed where the window computes it.
        controller.deliverFrames();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.packets.size()));
    state.counters["sweeps"] = benchmark::Counter(static_cast<double>(appended() - sweepsBefore),
                                                  benchmark::Counter::kIsRate);
    state.counters["sweeps_kept"] = model.band24.sweepCount() + model.band5.sweepCount();
    state.counters["captures_kept"] = static_cast<double>(model.live.history.size());
    std::fclose(console);
}

void packetPath(benchmark::State& state, SimGeneration generation, SimBand band, uint8_t request) {
    packetPathIn(state, generation, band, request, kReadBytes, false);
}

// The first generation's sweep is two 52-byte packets: one sweep a read and a frame.
void sweepPerFrame(benchmark::State& state) {
    packetPathIn(state, SimGeneration::Tarno, SimBand::Band24, HostCommands::kSpectrum, 104, true);
}

}  // namespace

BENCHMARK_CAPTURE(packetPath, Tarno_spectrum24, SimGeneration::Tarno, SimBand::Band24,
                  HostCommands::kSpectrum);
BENCHMARK_CAPTURE(packetPath, Tarno2_spectrum24, SimGeneration::Tarno2, SimBand::Band24,
                  HostCommands::kSpectrum);
BENCHMARK_CAPTURE(packetPath, TarnoDuo_spectrum24, SimGeneration::TarnoDuo, SimBand::Band24,
                  HostCommands::kSpectrum);
BENCHMARK_CAPTURE(packetPath, TarnoDuo_spectrum5, SimGeneration::TarnoDuo, SimBand::Band5,
                  HostCommands::kSpectrum);
BENCHMARK_CAPTURE(packetPath, Tarno_power, SimGeneration::Tarno, SimBand::Band24,
                  HostCommands::kPower);
BENCHMARK_CAPTURE(packetPath, Tarno2_power, SimGeneration::Tarno2, SimBand::Band24,
                  HostCommands::kPower);
BENCHMARK(sweepPerFrame)->Name("packetPath/Tarno_spectrum24_sweepPerFrame");
