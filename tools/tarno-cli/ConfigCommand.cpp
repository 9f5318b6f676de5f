// tarno-cli config show [SLOT] [--store FILE]: what a configuration slot holds, setting by setting.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationDescription.h"
#include "model/config/ConfigurationStore.h"
#include "storage/SqliteKeyValueStore.h"
#include "storage/WritableDirectory.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarno-cli config show [SLOT] [--store FILE]\n"
    "  SLOT  0 (last used, the default), 1, 2 or 3\n"
    "  FILE  settings store to read instead of the user's; it is only read, and anything\n"
    "        that is not a Tarno settings store is refused (exit status 1)\n";

bool parseSlot(std::string_view text, int& slot) {
    if (text.size() != 1 || text[0] < '0' || text[0] >= '0' + ConfigurationStore::kSlotCount) {
        return false;
    }
    slot = text[0] - '0';
    return true;
}

int showDefaults(int slot, const char* why) {
    std::printf("Configuration slot %d: %s; loading it gives the defaults:\n", slot, why);
    SpectrumSettings defaults;
    std::fputs(describeConfiguration(defaults).c_str(), stdout);
    return 0;
}

int runConfig(std::span<char*> args) {
    std::string path;
    std::vector<std::string> operands;
    CliOptionParser parser("config", kUsage);
    parser.text("store", path);
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (operands.empty() || operands[0] != "show") {
        return parser.refuse("the command is 'config show'");
    }
    int slot = 0;
    if (operands.size() > 1 && !parseSlot(operands[1], slot)) {
        return parser.refuse("no configuration slot '" + operands[1] + "'");
    }
    if (operands.size() > 2) {
        return parser.refuse("unexpected argument '" + operands[2] + "'");
    }
    const bool defaultStore = path.empty();
    if (defaultStore) {
        std::string dir = writableDirectory();
        if (dir.empty()) {
            std::fputs("tarno-cli config: no folder for the settings store is known\n", stderr);
            return 1;
        }
        path = dir + SqliteKeyValueStore::kFileName;
        // Nothing saved yet is an ordinary state of the user's own store.
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
            std::string why = "nothing stored yet (" + path + " does not exist)";
            return showDefaults(slot, why.c_str());
        }
    }

    // Looking never creates, writes or moves anything, whatever PATH is.
    SqliteKeyValueStore store;
    if (!store.openReadOnly(path)) {
        std::fprintf(stderr, "tarno-cli config: %s\n", store.problem().c_str());
        return 1;
    }
    const std::string prefix = ConfigurationStore::prefix(slot);
    const int version = store.getInteger(prefix + "version", -1);
    if (version == -1) {
        return showDefaults(slot, "never saved");
    }
    if (version < 0 || version > ConfigurationStore::kVersion) {
        std::string why = "saved by a later release (version " + std::to_string(version) + ")";
        return showDefaults(slot, why.c_str());
    }
    // A slot with a known version loads without writing anything back.
    SpectrumSettings settings;
    ConfigurationStore configuration(store);
    configuration.load(settings, slot);
    for (const std::string& notice : configuration.notices()) {
        std::fprintf(stderr, "tarno-cli config: %s\n", notice.c_str());
    }
    std::printf("Configuration slot %d (keys %s*, version %d) in %s\n", slot, prefix.c_str(),
                version, path.c_str());
    std::fputs(describeConfiguration(settings).c_str(), stdout);
    return 0;
}

const CliCommandRegistration registration({"config",
                                           "show [SLOT]: print what a configuration slot holds",
                                           kUsage, runConfig});

}  // namespace
