#include <cstdio>

#include "tools/tarno-cli/CliCommand.h"

namespace {

int runVersion(std::span<char*>) {
    std::printf("tarno-cli %s\n", TARNO_VERSION);
    return 0;
}

const CliCommandRegistration registration({"version", "print the version and exit", runVersion});

}  // namespace
