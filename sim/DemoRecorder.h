#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/GenerationProfile.h"

// Records the demonstration packet files by driving a simulated accessory the way the host
// would and keeping what it sends: the discovery reply, a settings acknowledgement, about a
// minute of power captures and of sweeps for each kind of signal, and a series of scans.
class DemoRecorder {
  public:
    struct File {
        std::string path;  // below the resource folder, e.g. "packets/Tarno/Tarno_discover.bin"
        std::vector<uint8_t> bytes;
    };

    static constexpr uint64_t kDefaultSeed = 0x7A2D0C11;
    static constexpr uint64_t kRecordingMs = 60000;

    explicit DemoRecorder(uint64_t seed = kDefaultSeed) : seed_(seed) {}

    std::vector<File> record(SimGeneration generation) const;
    std::vector<File> recordAll() const;

    // Names of every file record() produces for a generation, in the same order.
    static std::vector<std::string> fileNames(SimGeneration generation);

  private:
    uint64_t seed_;
};
