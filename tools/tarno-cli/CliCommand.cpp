#include "tools/tarno-cli/CliCommand.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<CliCommand>& registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

}  // namespace

CliCommandRegistration::CliCommandRegistration(const CliCommand& command) {
    auto& commands = registry();
    commands.push_back(command);
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
}

std::span<const CliCommand> registeredCliCommands() {
    return registry();
}
