#include <cstdio>

#include "TarnoVersion.h"

#include "tools/tarno-cli/CliCommand.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarno-cli version\n"
    "  Prints the version of tarno-cli.\n";

int runVersion(std::span<char*>) {
    std::printf("tarno-cli %s\n", TARNO_VERSION);
    return 0;
}

const CliCommandRegistration registration({"version", "print the version and exit", kUsage,
                                           runVersion});

}  // namespace
