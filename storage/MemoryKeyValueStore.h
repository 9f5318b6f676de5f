#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "storage/KeyValueStore.h"

// A KeyValueStore that lives in memory only, with the same kind rules as the SQLite store (bools
// are integers 0 or 1). For tests, fuzzing and read-only views of a stored slot.
class MemoryKeyValueStore final : public KeyValueStore {
  public:
    int getInteger(std::string_view key, int defaultValue) override;
    bool getBool(std::string_view key, bool defaultValue) override;
    std::vector<uint8_t> getData(std::string_view key) override;
    size_t dataSize(std::string_view key) override;
    void setInteger(std::string_view key, int value) override;
    void setBool(std::string_view key, bool value) override;
    void setData(std::string_view key, std::span<const uint8_t> bytes) override;
    bool flush() override;

    bool contains(std::string_view key) const { return entries_.find(key) != entries_.end(); }
    size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }
    int flushCount() const { return flushCount_; }
    // What flush() answers, so callers' handling of a failed commit can be exercised.
    void setFlushResult(bool result) { flushResult_ = result; }

  private:
    std::map<std::string, std::variant<int64_t, std::vector<uint8_t>>, std::less<>> entries_;
    int flushCount_ = 0;
    bool flushResult_ = true;
};
