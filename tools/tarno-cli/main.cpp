// tarno-cli: command-line companion of Tarno for work without a window.
#include <cstdio>
#include <string_view>

#include "tools/tarno-cli/CliCommand.h"

namespace {

void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: tarno-cli <command> [arguments]\n"
                 "       tarno-cli --help\n\n"
                 "Commands:\n");
    for (const CliCommand& command : registeredCliCommands()) {
        std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printHelp(stderr);
        return 2;
    }
    std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        printHelp(stdout);
        return 0;
    }
    for (const CliCommand& command : registeredCliCommands()) {
        if (first == command.name) {
            return command.run(std::span<char*>(argv + 2, static_cast<size_t>(argc - 2)));
        }
    }
    std::fprintf(stderr, "tarno-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
