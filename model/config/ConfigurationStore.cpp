#include "model/config/ConfigurationStore.h"

#include <atomic>

#include "model/SpectrumSettings.h"
#include "model/config/LegacySpectrumImages.h"
#include "model/config/RecordImages.h"
#include "model/config/ReferenceTraceImages.h"
#include "model/config/StoredValueChecks.h"
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

std::vector<uint8_t> ConfigurationStore::readData(const std::string& key, size_t maxBytes) {
    // Measured first: a damaged store may hold a blob of hundreds of megabytes under a key whose
    // record has 44 bytes.
    const size_t size = store_.dataSize(key);
    if (size > maxBytes) {
        notices_.push_back(key + ": " + std::to_string(size) + " bytes where at most " +
                           std::to_string(maxBytes) + " belong; ignored");
        return {};
    }
    return store_.getData(key);
}

bool ConfigurationStore::load(SpectrumSettings& settings, int slot) {
    if (!isValidSlot(slot)) {
        return false;
    }
    notices_.clear();
    const std::string p = prefix(slot);
    const int version = store_.getInteger(p + "version", -1);
    if (version < 0 || version > kVersion) {
        settings.resetToDefaults();
        save(settings, slot);
        return true;
    }

    StoredValueChecks slotChecks(p.substr(0, p.size() - 1), notices_);
    settings.graticule = static_cast<uint32_t>(
        store_.getInteger(p + "graticule", static_cast<int>(settings.graticule)));
    slotChecks.checkInteger("graticule", settings.graticule, SpectrumSettings::kGraticuleAll,
                            SpectrumSettings::kGraticuleAll);
    settings.alerts =
        static_cast<uint32_t>(store_.getInteger(p + "alerts", static_cast<int>(settings.alerts)));
    slotChecks.checkInteger("alerts", settings.alerts, SpectrumSettings::kAlertsBoth,
                            SpectrumSettings::kAlertsBoth);

    const std::string cursorsKey = p + "cursors";
    if (decodeCursorSettings(readData(cursorsKey, kCursorImageSize), settings.cursors)) {
        StoredValueChecks(cursorsKey, notices_).check(settings.cursors);
    }
    const std::string commonKey = p + "common_settings";
    if (decodeCommonSettings(readData(commonKey, kCommonImageSize), settings.common_settings)) {
        StoredValueChecks(commonKey, notices_).check(settings.common_settings);
    }

    const std::string spectrumKey = p + "spectrum_settings";
    SpectrumViewSettings& view = settings.spectrum_settings;
    bool spectrumLoaded = false;
    switch (version) {
        case 2:
            spectrumLoaded =
                decodeSpectrumViewSettings(readData(spectrumKey, kSpectrumImageSize), view);
            break;
        case 1:
            spectrumLoaded =
                convertSpectrumSettingsV1(readData(spectrumKey, kSpectrumImageSizeV1), view);
            break;
        default:
            spectrumLoaded =
                convertSpectrumSettingsV0(readData(spectrumKey, kSpectrumImageSizeV0), view);
            break;
    }
    if (spectrumLoaded) {
        StoredValueChecks(spectrumKey, notices_).check(view);
    }
    if (view.refreshInterval > 0.0f && view.refreshInterval < kMinimumRefreshInterval) {
        view.refreshInterval = kMinimumRefreshInterval;
    }

    const std::string powerKey = p + "power_setting";
    if (decodePowerSettings(readData(powerKey, kPowerImageSize), settings.power_setting)) {
        StoredValueChecks(powerKey, notices_).check(settings.power_setting);
    }
    const std::string liveKey = p + "power_channel0";
    if (decodeTraceChannel(readData(liveKey, kChannelImageSize), settings.power_channel)) {
        StoredValueChecks(liveKey, notices_)
            .check(settings.power_channel, TraceChannel::liveDefaults());
    }
    const std::string referenceKey = p + "reference_channel0";
    if (decodeTraceChannel(readData(referenceKey, kChannelImageSize), settings.reference_channel)) {
        StoredValueChecks(referenceKey, notices_)
            .check(settings.reference_channel, TraceChannel::referenceDefaults());
    }

    settings.clearReference();
    const std::string r = p + "referenceHistory.";
    PowerReferenceSet& reference = settings.reference;
    reference.history = decodeRecordList(readData(r + "history", kMaxReferenceBytes));
    reference.processedHistory =
        decodeRecordList(readData(r + "processedHistory", kMaxReferenceBytes));
    reference.alpha = decodeFloatArray(readData(r + "alpha", kMaxReferenceBytes));
    reference.rollingHistory = decodeFloatArray(readData(r + "rollingHistory", kMaxReferenceBytes));
    reference.processedRollingHistory =
        decodeFloatArray(readData(r + "processedRollingHistory", kMaxReferenceBytes));
    StoredValueChecks referenceChecks(r.substr(0, r.size() - 1), notices_);
    reference.maxRollPointsNeeded =
        store_.getInteger(r + "maxRollPointsNeeded", reference.maxRollPointsNeeded);
    referenceChecks.checkInteger("maxRollPointsNeeded", reference.maxRollPointsNeeded, 0,
                                 StoredValueChecks::kMaxRollPoints, 0);
    reference.timeScaleIndex = store_.getInteger(r + "timeScaleIndex", reference.timeScaleIndex);
    referenceChecks.checkInteger("timeScaleIndex", reference.timeScaleIndex, -1,
                                 StoredValueChecks::kMaxListIndex, -1);
    reference.amplitudeScaleIndex =
        store_.getInteger(r + "amplitudeScaleIndex", reference.amplitudeScaleIndex);
    referenceChecks.checkInteger("amplitudeScaleIndex", reference.amplitudeScaleIndex, -1,
                                 StoredValueChecks::kMaxListIndex, -1);
    reference.isValid = store_.getBool(r + "isValid", reference.isValid);

    const std::string demoKey = p + "demo";
    if (decodeDemoSelection(readData(demoKey, kDemoImageSize), settings.demo)) {
        StoredValueChecks(demoKey, notices_).check(settings.demo);
    }
    return true;
}
