// Feeds arbitrary stored slots to the configuration loader.
//
// Input: one selector byte (bits 0-2 the stored version: 0-5 give 0, 1, 2 in turn, 6 gives 3, 7
// leaves the version missing; bits 3-4 the slot), then for each key below in turn a 16-bit
// little-endian length and that many bytes, until the input runs out. Data keys take the bytes
// as they are; integer and bool keys store a four-byte value as an int, a one-byte value as data
// (the wrong kind), and leave the key missing for any other length.
//
// Besides surviving, the loaded model must survive its own round trip: saving it and loading it
// again gives identical records.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/ByteOrder.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "model/config/ReferenceTraceImages.h"
#include "storage/MemoryKeyValueStore.h"

namespace {

struct Key {
    const char* name;
    bool isData;
};

constexpr Key kKeys[] = {
    {"graticule", false},
    {"alerts", false},
    {"cursors", true},
    {"common_settings", true},
    {"spectrum_settings", true},
    {"power_setting", true},
    {"power_channel0", true},
    {"reference_channel0", true},
    {"referenceHistory.history", true},
    {"referenceHistory.processedHistory", true},
    {"referenceHistory.alpha", true},
    {"referenceHistory.rollingHistory", true},
    {"referenceHistory.processedRollingHistory", true},
    {"referenceHistory.maxRollPointsNeeded", false},
    {"referenceHistory.timeScaleIndex", false},
    {"referenceHistory.amplitudeScaleIndex", false},
    {"referenceHistory.isValid", false},
    {"demo", true},
};

// Everything the slot holds, as stored bytes, so NaNs compare equal to themselves.
std::vector<uint8_t> snapshot(const SpectrumSettings& s) {
    std::vector<uint8_t> out;
    auto add = [&out](const auto& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    auto addInt = [&out](int32_t value) {
        uint8_t bytes[4];
        byte_order::writeS32le(bytes, value);
        out.insert(out.end(), bytes, bytes + 4);
    };
    addInt(static_cast<int32_t>(s.graticule));
    addInt(static_cast<int32_t>(s.alerts));
    add(encodeCursorSettings(s.cursors));
    add(encodeCommonSettings(s.common_settings));
    add(encodeSpectrumViewSettings(s.spectrum_settings));
    add(encodePowerSettings(s.power_setting));
    add(encodeTraceChannel(s.power_channel));
    add(encodeTraceChannel(s.reference_channel));
    for (const auto* list : {&s.reference.history, &s.reference.processedHistory}) {
        addInt(static_cast<int32_t>(list->size()));
        add(encodeRecordList(*list));
    }
    for (const auto* array :
         {&s.reference.alpha, &s.reference.rollingHistory, &s.reference.processedRollingHistory}) {
        addInt(static_cast<int32_t>(array->size()));
        add(encodeFloatArray(*array));
    }
    addInt(s.reference.maxRollPointsNeeded);
    addInt(s.reference.timeScaleIndex);
    addInt(s.reference.amplitudeScaleIndex);
    addInt(s.reference.isValid ? 1 : 0);
    add(encodeDemoSelection(s.demo));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr int kVersions[8] = {0, 1, 2, 0, 1, 2, 3, -1};
    const int version = kVersions[data[0] & 7];
    const int slot = (data[0] >> 3) & 3;
    const std::string prefix = ConfigurationStore::prefix(slot);

    MemoryKeyValueStore store;
    if (version != -1) {
        store.setInteger(prefix + "version", version);
    }
    size_t position = 1;
    for (const Key& key : kKeys) {
        if (size - position < 2) {
            break;
        }
        size_t length = data[position] | static_cast<size_t>(data[position + 1]) << 8;
        position += 2;
        if (length > size - position) {
            length = size - position;
        }
        // An exact-size copy, so a read past the value's end is caught by the sanitizers.
        std::vector<uint8_t> value(data + position, data + position + length);
        position += length;
        if (key.isData || length == 1) {
            store.setData(prefix + key.name, value);
        } else if (length == 4) {
            store.setInteger(prefix + key.name, byte_order::readS32le(value.data()));
        }
    }

    SpectrumSettings settings;
    if (!ConfigurationStore(store).load(settings, slot)) {
        __builtin_trap();
    }
    const std::vector<uint8_t> loaded = snapshot(settings);

    MemoryKeyValueStore copy;
    SpectrumSettings reloaded;
    if (!ConfigurationStore(copy).save(settings, slot) ||
        !ConfigurationStore(copy).load(reloaded, slot) || snapshot(reloaded) != loaded) {
        __builtin_trap();
    }
    return 0;
}
