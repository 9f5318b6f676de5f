// The configuration operations of SpectrumSettings, kept with the configuration store so that the
// model library itself needs no storage.
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"

bool SpectrumSettings::loadConfiguration(int slot) {
    return ConfigurationStore(ConfigurationStore::current()).load(*this, slot);
}

bool SpectrumSettings::saveConfiguration(int slot) {
    return ConfigurationStore(ConfigurationStore::current()).save(*this, slot);
}

bool SpectrumSettings::loadConfigurationLocked(int slot) {
    // An unknown slot does nothing, so there is nothing to clear either.
    if (ConfigurationStore::prefix(slot).empty()) {
        return false;
    }
    ScopedModelLocks locks(*this, ScopedModelLocks::kAll);
    bool loaded = loadConfiguration(slot);
    clearAfterConfigurationChange();
    return loaded;
}

bool SpectrumSettings::saveConfigurationLocked(int slot) {
    if (ConfigurationStore::prefix(slot).empty()) {
        return false;
    }
    ScopedModelLocks locks(*this, ScopedModelLocks::kAll);
    bool saved = saveConfiguration(slot);
    clearAfterConfigurationChange();
    return saved;
}

void SpectrumSettings::resetConfiguration() {
    ScopedModelLocks locks(*this, ScopedModelLocks::kAll);
    resetToDefaults();
    clearAfterConfigurationChange();
}
