// tarno-soak: a simulated day of each accessory generation through the controller, reporting
// memory and measurement counts. Exits 1 when memory kept growing after warm-up.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

#include "tools/soak/SoakRun.h"

namespace {

void usage() {
    std::fprintf(
        stderr,
        "usage: tarno-soak [--hours H] [--generation 0|1|2] [--seed N] [--phase-minutes M]\n"
        "                  [--samples]\n"
        "                  [--capture FILE --capture-bytes N]\n"
        "  Runs the controller against the simulated accessory for H simulated hours\n"
        "  (default 24) per generation (default: all three), switching measurement every M\n"
        "  simulated minutes (default 20), and prints the figures.\n");
}

// Resident memory may wander by allocator noise, not by a growing structure.
constexpr size_t kResidentSlackKiB = 2048;

}  // namespace

int main(int argc, char** argv) {
    double hours = 24.0;
    int only = -1;
    uint64_t seed = 1;
    double phaseMinutes = 20.0;
    bool printSamples = false;
    const char* capturePath = nullptr;
    size_t captureBytes = 0;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--hours" && hasValue) {
            hours = std::atof(argv[++i]);
        } else if (arg == "--generation" && hasValue) {
            only = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--phase-minutes" && hasValue) {
            phaseMinutes = std::atof(argv[++i]);
        } else if (arg == "--samples") {
            printSamples = true;
        } else if (arg == "--capture" && hasValue) {
            capturePath = argv[++i];
        } else if (arg == "--capture-bytes" && hasValue) {
            captureBytes = std::strtoul(argv[++i], nullptr, 10);
        } else {
            usage();
            return 2;
        }
    }
    if (hours <= 0 || phaseMinutes < 1.0 || only > 2) {
        usage();
        return 2;
    }

    bool flat = true;
    for (int g = 0; g < 3; ++g) {
        if (only >= 0 && g != only) {
            continue;
        }
        SoakRun::Options options;
        options.generation = static_cast<SimGeneration>(g);
        options.durationMs = static_cast<uint64_t>(hours * 3600.0 * 1000.0);
        options.seed = seed;
        options.phaseMs = static_cast<uint64_t>(phaseMinutes * 60.0 * 1000.0);
        options.warmUpMs = std::min<uint64_t>(options.warmUpMs, options.durationMs / 4);
        options.captureBytes = captureBytes;
        SoakRun::Report r = SoakRun(options).run();

        const bool residentFlat = r.finalResidentKiB <= r.warmResidentKiB + kResidentSlackKiB;
        // What the model holds depends on the measurement running, so compare the most held in
        // the two halves after warm-up, each many measurement cycles long.
        const uint64_t middle = (options.warmUpMs + r.simulatedMs) / 2;
        size_t firstHalf = 0, secondHalf = 0;
        for (const SoakRun::Sample& s : r.samples) {
            if (s.atMs >= options.warmUpMs) {
                size_t& most = s.atMs < middle ? firstHalf : secondHalf;
                most = std::max(most, s.retainedItems);
            }
        }
        const bool itemsFlat = secondHalf <= firstHalf;
        flat = flat && residentFlat && itemsFlat;
        std::printf("%s: %.1f h simulated in %llu passes\n", r.generation.c_str(),
                    static_cast<double>(r.simulatedMs) / 3600000.0,
                    static_cast<unsigned long long>(r.passes));
        std::printf(
            "  packets: %llu spectrum, %llu power, %llu access-point lists, %llu other "
            "(%llu bytes)\n",
            static_cast<unsigned long long>(r.spectrumPackets),
            static_cast<unsigned long long>(r.powerPackets),
            static_cast<unsigned long long>(r.accessPointLists),
            static_cast<unsigned long long>(r.otherPackets),
            static_cast<unsigned long long>(r.bytesReceived));
        std::printf(
            "  reconfigurations %llu, acknowledged %llu; access points: at most %zu held, "
            "%zu distinct\n",
            static_cast<unsigned long long>(r.reconfigurations),
            static_cast<unsigned long long>(r.acknowledgements), r.mostAccessPoints,
            r.distinctAccessPoints);
        std::printf("  resident KiB: after warm-up %zu, final %zu, peak %zu (%s)\n",
                    r.warmResidentKiB, r.finalResidentKiB, r.peakResidentKiB,
                    residentFlat ? "flat" : "GROWING");
        std::printf(
            "  retained items: most in first half after warm-up %zu, in second half %zu, "
            "final %zu (%s)\n",
            firstHalf, secondHalf, r.finalRetainedItems, itemsFlat ? "flat" : "GROWING");
        if (printSamples) {
            for (const SoakRun::Sample& s : r.samples) {
                std::printf("    %8.2f h  %zu KiB  %zu items\n",
                            static_cast<double>(s.atMs) / 3600000.0, s.residentKiB,
                            s.retainedItems);
            }
        }
        if (capturePath != nullptr && !r.captured.empty()) {
            std::string path = std::string(capturePath) + "." + r.generation;
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(r.captured.data()),
                      static_cast<std::streamsize>(r.captured.size()));
            if (!out) {
                std::fprintf(stderr, "tarno-soak: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        std::fflush(stdout);
    }
    return flat ? 0 : 1;
}
