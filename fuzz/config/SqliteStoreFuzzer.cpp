// Feeds arbitrary bytes to the real settings store as its database file, then loads every slot
// from it: once the way `tarno-cli config show` reads (read-only), once the way Tarno starts
// (read-write, moving a damaged file aside).
//
// Besides surviving:
// - the read-only pass changes nothing: the file keeps its bytes and nothing appears beside it;
// - the read-write pass moves only damage, and what it moves aside keeps the input's bytes;
// - every loaded slot survives its own round trip (save, load again: the same records).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "storage/MemoryKeyValueStore.h"
#include "storage/SqliteKeyValueStore.h"

namespace {

const std::filesystem::path& scratch() {
    // Never destroyed, so the exit handler below still finds it.
    static const std::filesystem::path* dir = [] {
        // Memory-backed when there is one: every read-write pass commits with fsync.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tarno-store-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratch(), ignored);
        });
        return new std::filesystem::path(pattern);
    }();
    return *dir;
}

std::set<std::string> names() {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(scratch())) {
        found.insert(entry.path().filename().string());
    }
    return found;
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

void writeFresh(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    for (const auto& entry : std::filesystem::directory_iterator(scratch())) {
        std::filesystem::remove_all(entry.path());
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The stored records of the model, as stored bytes, so NaNs compare equal to themselves.
std::vector<uint8_t> snapshot(const SpectrumSettings& s) {
    std::vector<uint8_t> out;
    auto add = [&out](const auto& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    add(encodeCursorSettings(s.cursors));
    add(encodeCommonSettings(s.common_settings));
    add(encodeSpectrumViewSettings(s.spectrum_settings));
    add(encodePowerSettings(s.power_setting));
    add(encodeTraceChannel(s.power_channel));
    add(encodeTraceChannel(s.reference_channel));
    add(encodeDemoSelection(s.demo));
    out.push_back(static_cast<uint8_t>(s.graticule));
    out.push_back(static_cast<uint8_t>(s.alerts));
    return out;
}

void loadEverySlot(KeyValueStore& store) {
    for (int slot = 0; slot < ConfigurationStore::kSlotCount; ++slot) {
        SpectrumSettings settings;
        if (!ConfigurationStore(store).load(settings, slot)) {
            __builtin_trap();
        }
        MemoryKeyValueStore copy;
        SpectrumSettings reloaded;
        if (!ConfigurationStore(copy).save(settings, slot) ||
            !ConfigurationStore(copy).load(reloaded, slot) ||
            snapshot(reloaded) != snapshot(settings)) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path path = scratch() / "settings.sqlite3";
    const std::vector<uint8_t> input(data, data + size);

    writeFresh(path, data, size);
    {
        SqliteKeyValueStore store;
        // One connection only: a lock can only be a damaged file's, so waiting for it is a hang.
        store.setBusyTimeout(0);
        if (store.openReadOnly(path.string())) {
            loadEverySlot(store);
        }
    }
    if (readFile(path) != input || names() != std::set<std::string>{"settings.sqlite3"}) {
        __builtin_trap();
    }

    writeFresh(path, data, size);
    {
        SqliteKeyValueStore store;
        store.setBusyTimeout(0);
        store.open(path.string());
        loadEverySlot(store);
    }
    const std::filesystem::path aside = scratch() / "settings.sqlite3.corrupt";
    if (std::filesystem::exists(aside) && readFile(aside) != input) {
        __builtin_trap();
    }
    return 0;
}
