#pragma once

#include <cstddef>
#include <string>
#include <vector>

class KeyValueStore;
class SpectrumSettings;

// Saves and loads the four configuration slots of the settings model. Slot 0 is the last-used
// configuration, slots 1 to 3 the user's. Every key of slot n starts with "config<n>."; the keys
// and the record images are listed in storage/SCHEMA.md.
//
// Both run on the thread that owns the model. SpectrumSettings::loadConfiguration and friends reach
// the store through current().
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
    // keep their current values. A record longer than its size is damage and is not even read;
    // a stored value out of its range loads as its default. False only for a slot outside 0 to 3
    // (the model is untouched).
    bool load(SpectrumSettings& settings, int slot);

    // What the last load() found wrong in the slot, one line each: refused records and values
    // put back to their defaults. The caller reports them.
    const std::vector<std::string>& notices() const { return notices_; }

    // The most any reference-trace key can hold: 64 captures of 1000 values with their vertex
    // lists stay far below it.
    static constexpr size_t kMaxReferenceBytes = 2 * 1024 * 1024;

    // "config<slot>.", or empty for a slot outside 0 to 3.
    static std::string prefix(int slot);

    // The store the model's configuration operations use: the shared SQLite store, unless a test
    // or tool installed another with use() (nullptr goes back to the shared one).
    static KeyValueStore& current();
    static void use(KeyValueStore* store);

  private:
    // The data under the key, or nothing (with a notice) when it is longer than `maxBytes`.
    std::vector<uint8_t> readData(const std::string& key, size_t maxBytes);

    KeyValueStore& store_;
    std::vector<std::string> notices_;
};
