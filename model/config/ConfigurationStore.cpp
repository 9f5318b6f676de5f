#include "model/config/ConfigurationStore.h"

#include <atomic>

#include "model/SpectrumSettings.h"
#include "model/config/LegacySpectrumImages.h"
#include "model/config/RecordImages.h"
#include "model/config/ReferenceTraceImages.h"
#include "storage/SqliteKeyValueStore.h"

namespace {

std::atomic<KeyValueStore*> installedStore{nullptr};

// Stored refresh intervals under 20 s are lifted to 20 s so that access-point scans leave room
// for the spectrum stream; 0 ("ALWAYS") is a setting of its own and stays.
constexpr float kMinimumRefreshInterval = 20.0f;

bool isValidSlot(int slot) {
    return slot >= 0 && slot < ConfigurationStore::kSlotCount;
}

}  // namespace

std::string ConfigurationStore::prefix(int slot) {
    if (!isValidSlot(slot)) {
        return {};
    }
    return "config" + std::to_string(slot) + ".";
}

KeyValueStore& ConfigurationStore::current() {
    KeyValueStore* store = installedStore.load();
    return store != nullptr ? *store : SqliteKeyValueStore::shared();
}

void ConfigurationStore::use(KeyValueStore* store) {
    installedStore.store(store);
}

bool ConfigurationStore::save(const SpectrumSettings& settings, int slot) {
    if (!isValidSlot(slot)) {
        return false;
    }
    const std::string p = prefix(slot);
    store_.setInteger(p + "version", kVersion);
    store_.setInteger(p + "graticule", static_cast<int>(settings.graticule));
    store_.setInteger(p + "alerts", static_cast<int>(settings.alerts));
    store_.setData(p + "cursors", encodeCursorSettings(settings.cursors));
    store_.setData(p + "common_settings", encodeCommonSettings(settings.common_settings));
    store_.setData(p + "spectrum_settings", encodeSpectrumViewSettings(settings.spectrum_settings));
    store_.setData(p + "power_setting", encodePowerSettings(settings.power_setting));
    store_.setData(p + "power_channel0", encodeTraceChannel(settings.power_channel));
    store_.setData(p + "reference_channel0", encodeTraceChannel(settings.reference_channel));

    const std::string r = p + "referenceHistory.";
    const PowerReferenceSet& reference = settings.reference;
    store_.setData(r + "history", encodeRecordList(reference.history));
    store_.setData(r + "processedHistory", encodeRecordList(reference.processedHistory));
    store_.setData(r + "alpha", encodeFloatArray(reference.alpha));
    store_.setData(r + "rollingHistory", encodeFloatArray(reference.rollingHistory));
    store_.setData(r + "processedRollingHistory",
                   encodeFloatArray(reference.processedRollingHistory));
    store_.setInteger(r + "maxRollPointsNeeded", reference.maxRollPointsNeeded);
    store_.setInteger(r + "timeScaleIndex", reference.timeScaleIndex);
    store_.setInteger(r + "amplitudeScaleIndex", reference.amplitudeScaleIndex);
    store_.setBool(r + "isValid", reference.isValid);

    store_.setData(p + "demo", encodeDemoSelection(settings.demo));
    return store_.flush();
}

bool ConfigurationStore::load(SpectrumSettings& settings, int slot) {
    if (!isValidSlot(slot)) {
        return false;
    }
    const std::string p = prefix(slot);
    const int version = store_.getInteger(p + "version", -1);
    if (version < 0 || version > kVersion) {
        settings.resetToDefaults();
        save(settings, slot);
        return true;
    }

    settings.graticule = static_cast<uint32_t>(
        store_.getInteger(p + "graticule", static_cast<int>(settings.graticule)));
    settings.alerts =
        static_cast<uint32_t>(store_.getInteger(p + "alerts", static_cast<int>(settings.alerts)));
    decodeCursorSettings(store_.getData(p + "cursors"), settings.cursors);
    decodeCommonSettings(store_.getData(p + "common_settings"), settings.common_settings);

    const std::vector<uint8_t> spectrum = store_.getData(p + "spectrum_settings");
    SpectrumViewSettings& view = settings.spectrum_settings;
    switch (version) {
        case 2:
            decodeSpectrumViewSettings(spectrum, view);
            break;
        case 1:
            convertSpectrumSettingsV1(spectrum, view);
            break;
        default:
            convertSpectrumSettingsV0(spectrum, view);
            break;
    }
    if (view.refreshInterval > 0.0f && view.refreshInterval < kMinimumRefreshInterval) {
        view.refreshInterval = kMinimumRefreshInterval;
    }

    decodePowerSettings(store_.getData(p + "power_setting"), settings.power_setting);
    decodeTraceChannel(store_.getData(p + "power_channel0"), settings.power_channel);
    decodeTraceChannel(store_.getData(p + "reference_channel0"), settings.reference_channel);

    settings.clearReference();
    const std::string r = p + "referenceHistory.";
    PowerReferenceSet& reference = settings.reference;
    reference.history = decodeRecordList(store_.getData(r + "history"));
    reference.processedHistory = decodeRecordList(store_.getData(r + "processedHistory"));
    reference.alpha = decodeFloatArray(store_.getData(r + "alpha"));
    reference.rollingHistory = decodeFloatArray(store_.getData(r + "rollingHistory"));
    reference.processedRollingHistory =
        decodeFloatArray(store_.getData(r + "processedRollingHistory"));
    reference.maxRollPointsNeeded =
        store_.getInteger(r + "maxRollPointsNeeded", reference.maxRollPointsNeeded);
    reference.timeScaleIndex = store_.getInteger(r + "timeScaleIndex", reference.timeScaleIndex);
    reference.amplitudeScaleIndex =
        store_.getInteger(r + "amplitudeScaleIndex", reference.amplitudeScaleIndex);
    reference.isValid = store_.getBool(r + "isValid", reference.isValid);

    decodeDemoSelection(store_.getData(p + "demo"), settings.demo);
    return true;
}
