// SPDX-License-Identifier: MIT
// tarno-cli: command-line companion of Tarno for work without a window.
#include <cstdio>
#include <span>
#include <string_view>

#include "TarnoVersion.h"
#include "tools/tarno-cli/CliCommand.h"

namespace {

// With `everyUsage`, the usage of every command follows the list: what the man page is made of.
void printHelp(std::FILE* out, bool everyUsage = false) {
    std::fprintf(out,
                 "Usage: tarno-cli COMMAND [ARGUMENT]...\n"
                 "  or:  tarno-cli COMMAND --help\n"
                 "The command-line companion of Tarno: lists the Tarno USB radio accessories,\n"
                 "decodes their bytes, logs and records their data and surveys Wi-Fi access\n"
                 "points without a window. Data goes to standard output, messages to standard\n"
                 "error.\n\n"
                 "Commands:\n");
    for (const CliCommand& command : registeredCliCommands()) {
        std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
    }
    if (everyUsage) {
        std::fprintf(out, "\nCommand usage:\n");
        for (const CliCommand& command : registeredCliCommands()) {
            std::fprintf(out, "\n%s", command.usage);
        }
    }
    std::fprintf(
        out,
        "\nOptions:\n"
        "  -h, --help      display this help and exit\n"
        "      --help-all  display the usage of every command and exit\n"
        "  -V, --version   output version information and exit\n"
        "\nExit status: 0 on success, 1 when a command fails, 2 for a wrong command line.\n");
}

void printVersion() {
    std::printf(
        "tarno-cli %s\n"
        "Copyright 2026 The Tarno developers.\n"
        "License: MIT <https://opensource.org/licenses/MIT>.\n",
        TARNO_VERSION);
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
    bool option = name[0] == '-';
    std::fprintf(stderr,
                 "tarno-cli: unknown %s '%s'\nTry 'tarno-cli --help' for more information.\n",
                 option ? "option" : "command", name);
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
    if (first == "--help-all") {
        printHelp(stdout, true);
        return 0;
    }
    if (first == "--version" || first == "-V") {
        printVersion();
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
