// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

// The one argument parser of the tarno-cli commands, on getopt_long: "--name VALUE" or
// "--name=VALUE", a short alias where a command has one, operands anywhere among the options,
// "--" ends the options, and "-" is an ordinary value (standard output or input). Every refusal
// reads "tarno-cli COMMAND: why" followed by the command's usage, on stderr.
class CliOptionParser {
  public:
    // Checks and stores a value; false refuses it.
    using Accept = std::function<bool(const char* value)>;

    CliOptionParser(const char* command, const char* usage);

    // An option without a value.
    CliOptionParser& flag(const char* name, bool& out);
    // An option with a value that `accept` checks and stores; `shortName` 0 for none.
    CliOptionParser& value(const char* name, char shortName, Accept accept);
    CliOptionParser& text(const char* name, std::string& out);
    // A whole number in [low, high]; `given` (if any) records that the option was there.
    CliOptionParser& number(const char* name, long low, long high, long& out,
                            bool* given = nullptr);

    // Parses the arguments after the command name; the operands are kept in order. False after
    // the refusal has been printed.
    bool parse(std::span<char* const> args, std::vector<std::string>& operands) const;

    // For the checks after parsing: prints the refusal and returns the exit status 2.
    int refuse(const std::string& why) const;

  private:
    std::string unknownOption(const char* written) const;

    struct Option {
        std::string name;
        char shortName;
        bool takesValue;
        Accept accept;
    };

    const char* command_;
    const char* usage_;
    std::vector<Option> options_;
};
