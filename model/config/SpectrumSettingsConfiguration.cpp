// The configuration operations of SpectrumSettings, kept with the configuration store so that the
// model library itself needs no storage.
#include <cstdio>

#include "model/DiagnosticSink.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"

namespace {

constexpr int kWarningLevel = 2;

}  // namespace

bool SpectrumSettings::loadConfiguration(int slot) {
    ConfigurationStore store(ConfigurationStore::current());
    const bool loaded = store.load(*this, slot);
    // Once per load: the values are defaults now, so the next save stores them and the next load
    // is quiet.
    DiagnosticSink* log = runtime.screenLog.load();
    for (const std::string& notice : store.notices()) {
        std::fprintf(stderr, "Tarno: %s\n", notice.c_str());
        if (log != nullptr) {
            log->log(kWarningLevel, "%s", notice.c_str());
        }
    }
    return loaded;
}

bool SpectrumSettings::saveConfiguration(int slot) {
    return ConfigurationStore(ConfigurationStore::current()).save(*this, slot);
}

bool SpectrumSettings::loadConfigurationAndClear(int slot) {
    // An unknown slot does nothing, so there is nothing to clear either.
    if (ConfigurationStore::prefix(slot).empty()) {
        return false;
    }
    bool loaded = loadConfiguration(slot);
    clearAfterConfigurationChange();
    return loaded;
}

bool SpectrumSettings::saveConfigurationAndClear(int slot) {
    if (ConfigurationStore::prefix(slot).empty()) {
        return false;
    }
    bool saved = saveConfiguration(slot);
    clearAfterConfigurationChange();
    return saved;
}

void SpectrumSettings::resetConfiguration() {
    resetToDefaults();
    clearAfterConfigurationChange();
}
