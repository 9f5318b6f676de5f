#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/GenerationProfile.h"

// A long run of the accessory controller against the simulated firmware of one generation, on a
// virtual clock: the controller's worker passes and the link's reads are stepped by hand over the
// fake USB bus, so a simulated day takes minutes. The run cycles through the measurements the
// application offers (2.4 GHz spectrum with access-point scans, power, 5 GHz spectrum with scans,
// rolling power; those the generation has), reconfiguring between them, and samples the
// process's memory as it goes.
class SoakRun {
  public:
    struct Options {
        SimGeneration generation = SimGeneration::Tarno2;
        uint64_t durationMs = 24ull * 3600 * 1000;
        uint64_t seed = 1;
        uint64_t phaseMs = 20ull * 60 * 1000;    // time in each measurement before switching
        uint64_t sampleMs = 10ull * 60 * 1000;   // memory sampling interval
        uint64_t warmUpMs = 2ull * 3600 * 1000;  // memory after this is the flat-line reference
        size_t captureBytes = 0;  // keep this many of the first bytes the host received
    };

    // One memory sample: the process's resident set and what the model and link hold.
    struct Sample {
        uint64_t atMs = 0;
        size_t residentKiB = 0;
        size_t retainedItems = 0;
    };

    struct Report {
        std::string generation;
        uint64_t simulatedMs = 0;
        uint64_t passes = 0;
        // Packets the host framed, by kind.
        uint64_t spectrumPackets = 0;
        uint64_t powerPackets = 0;
        uint64_t accessPointLists = 0;
        uint64_t otherPackets = 0;
        uint64_t bytesReceived = 0;
        uint64_t reconfigurations = 0;
        uint64_t acknowledgements = 0;
        size_t mostAccessPoints = 0;  // largest list the model held
        size_t distinctAccessPoints = 0;
        std::vector<Sample> samples;
        size_t peakResidentKiB = 0;  // VmHWM at the end
        size_t warmResidentKiB = 0;  // resident set at the first sample after warm-up
        size_t finalResidentKiB = 0;
        size_t warmRetainedItems = 0;
        size_t maxRetainedItemsAfterWarmUp = 0;
        size_t finalRetainedItems = 0;
        std::vector<uint8_t> captured;  // the stream's beginning, see Options::captureBytes
    };

    explicit SoakRun(Options options) : options_(options) {}

    Report run();

    // Resident set and its high-water mark of this process, from /proc/self/status (0 when
    // unreadable).
    static size_t residentKiB();
    static size_t peakResidentKiB();

  private:
    Options options_;
};
