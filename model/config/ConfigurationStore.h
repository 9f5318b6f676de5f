#pragma once

#include <string>

class KeyValueStore;
class SpectrumSettings;

// Saves and loads the four configuration slots of the settings model. Slot 0 is the last-used
// configuration, slots 1 to 3 the user's. Every key of slot n starts with "config<n>."; the keys
// and the record images are listed in storage/SCHEMA.md.
//
// Neither operation takes the model's locks: callers hold them (or run before other threads
// exist). SpectrumSettings::loadConfiguration and friends reach the store through current().
class ConfigurationStore {
  public:
    static constexpr int kVersion = 2;
    static constexpr int kSlotCount = 4;

    explicit ConfigurationStore(KeyValueStore& store) : store_(store) {}

    // Writes every key of the slot and flushes, so the slot changes as a whole or not at all.
    // False for a slot outside 0 to 3, or when the store could not commit.
    bool save(const SpectrumSettings& settings, int slot);

    // Reads the slot into the model. A slot never saved, or saved by a later release, resets the
    // model to its defaults and saves them into the slot. Records that are missing or too short
    // keep their current values. False only for a slot outside 0 to 3 (the model is untouched).
    bool load(SpectrumSettings& settings, int slot);

    // "config<slot>.", or empty for a slot outside 0 to 3.
    static std::string prefix(int slot);

    // The store the model's configuration operations use: the shared SQLite store, unless a test
    // or tool installed another with use() (nullptr goes back to the shared one).
    static KeyValueStore& current();
    static void use(KeyValueStore* store);

  private:
    KeyValueStore& store_;
};
