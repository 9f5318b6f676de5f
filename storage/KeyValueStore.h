#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
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
    // The size of the data under the key, 0 when missing or of another kind, found without
    // reading the data: a damaged or hostile store may hold a blob far larger than any record.
    virtual size_t dataSize(std::string_view key) = 0;

    virtual void setInteger(std::string_view key, int value) = 0;
    virtual void setBool(std::string_view key, bool value) = 0;
    virtual void setData(std::string_view key, std::span<const uint8_t> bytes) = 0;

    // Commits every write since the last successful flush as one transaction. False when the
    // commit failed; the writes are then kept and the next flush tries again.
    virtual bool flush() = 0;

    // Why the store is not working as a store should (it cannot be read, or cannot be written),
    // in one sentence; empty while it works. Already printed on stderr when it arose.
    virtual std::string problem() const { return {}; }
};
