#pragma once

#include <span>

// A subcommand of tarno-cli. Each command lives in its own source file and registers itself with
// a static CliCommandRegistration, so adding a command never touches main.cpp.
// `tarno-cli COMMAND --help` (or -h, anywhere among the arguments) and `tarno-cli help COMMAND`
// print the usage and succeed without running the command.
struct CliCommand {
    const char* name;
    const char* summary;                // one line for --help
    const char* usage;                  // "Usage: tarno-cli NAME ..." and the options, one per line
    int (*run)(std::span<char*> args);  // arguments after the command name; returns the exit status
};

struct CliCommandRegistration {
    explicit CliCommandRegistration(const CliCommand& command);
};

// The registered commands in name order.
std::span<const CliCommand> registeredCliCommands();
