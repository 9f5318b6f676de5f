#pragma once

#include <span>

// A subcommand of tarno-cli. Each command lives in its own source file and registers itself with
// a static CliCommandRegistration, so adding a command never touches main.cpp.
struct CliCommand {
    const char* name;
    const char* summary;                // one line for --help
    int (*run)(std::span<char*> args);  // arguments after the command name; returns the exit status
};

struct CliCommandRegistration {
    explicit CliCommandRegistration(const CliCommand& command);
};

// The registered commands in name order.
std::span<const CliCommand> registeredCliCommands();
