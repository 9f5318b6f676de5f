#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Integers, bools and byte blobs under string keys. Writes stay pending until flush(), which
// commits all of them at once: a crash between two flushes leaves exactly what the last
// successful flush wrote. The configuration slots and the engine's UserDefault sit on this.
class KeyValueStore {
  public:
    virtual ~KeyValueStore() = default;

    // A value stored under the key with another kind (a blob asked for as an integer) reads as
    // missing, so the default comes back.
    virtual int getInteger(std::string_view key, int defaultValue) = 0;
    virtual bool getBool(std::string_view key, bool defaultValue) = 0;
    // Empty when the key is missing or holds empty data.
    virtual std::vector<uint8_t> getData(std::string_view key) = 0;

    virtual void setInteger(std::string_view key, int value) = 0;
    virtual void setBool(std::string_view key, bool value) = 0;
    virtual void setData(std::string_view key, std::span<const uint8_t> bytes) = 0;

    // Commits every write since the last successful flush as one transaction. False when the
    // commit failed; the writes are then kept and the next flush tries again.
    virtual bool flush() = 0;
};
