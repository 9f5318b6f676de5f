#include <cstdio>

#include <string>
#include <vector>

#include "TarnoVersion.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarno-cli version\n"
    "  Prints the version of tarno-cli.\n";

int runVersion(std::span<char*> args) {
    std::vector<std::string> operands;
    CliOptionParser parser("version", kUsage);
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (!operands.empty()) {
        return parser.refuse("takes no arguments");
    }
    std::printf("tarno-cli %s\n", TARNO_VERSION);
    return 0;
}

const CliCommandRegistration registration({"version", "print the version and exit", kUsage,
                                           runVersion});

}  // namespace
