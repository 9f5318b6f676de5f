// tarno-cli: command-line companion of Tarno for work without a window.
#include <cstdio>
#include <span>
#include <string_view>

#include "tools/tarno-cli/CliCommand.h"

namespace {

void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: tarno-cli <command> [arguments]\n"
                 "       tarno-cli <command> --help\n"
                 "       tarno-cli --help\n\n"
                 "Commands:\n");
    for (const CliCommand& command : registeredCliCommands()) {
        std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
    }
}

const CliCommand* findCommand(std::string_view name) {
    for (const CliCommand& command : registeredCliCommands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

bool asksForHelp(std::span<char*> args) {
    for (std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

int unknownCommand(const char* name) {
    std::fprintf(stderr, "tarno-cli: unknown command '%s' (try --help)\n", name);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printHelp(stderr);
        return 2;
    }
    std::string_view first = argv[1];
    std::span<char*> args(argv + 2, static_cast<size_t>(argc - 2));
    if (first == "--help" || first == "-h" || (first == "help" && args.empty())) {
        printHelp(stdout);
        return 0;
    }
    if (first == "help") {
        const CliCommand* command = findCommand(args[0]);
        if (command == nullptr) {
            return unknownCommand(args[0]);
        }
        std::fputs(command->usage, stdout);
        return 0;
    }
    const CliCommand* command = findCommand(first);
    if (command == nullptr) {
        return unknownCommand(argv[1]);
    }
    if (asksForHelp(args)) {
        std::fputs(command->usage, stdout);
        return 0;
    }
    return command->run(args);
}
