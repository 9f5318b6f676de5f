#include "storage/MemoryKeyValueStore.h"

int MemoryKeyValueStore::getInteger(std::string_view key, int defaultValue) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        return defaultValue;
    }
    const int64_t* value = std::get_if<int64_t>(&found->second);
    return value != nullptr ? static_cast<int>(*value) : defaultValue;
}

bool MemoryKeyValueStore::getBool(std::string_view key, bool defaultValue) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        return defaultValue;
    }
    const int64_t* value = std::get_if<int64_t>(&found->second);
    return value != nullptr ? *value != 0 : defaultValue;
}

std::vector<uint8_t> MemoryKeyValueStore::getData(std::string_view key) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        return {};
    }
    const auto* value = std::get_if<std::vector<uint8_t>>(&found->second);
    return value != nullptr ? *value : std::vector<uint8_t>();
}

size_t MemoryKeyValueStore::dataSize(std::string_view key) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        return 0;
    }
    const auto* value = std::get_if<std::vector<uint8_t>>(&found->second);
    return value != nullptr ? value->size() : 0;
}

void MemoryKeyValueStore::setInteger(std::string_view key, int value) {
    entries_.insert_or_assign(std::string(key), static_cast<int64_t>(value));
}

void MemoryKeyValueStore::setBool(std::string_view key, bool value) {
    entries_.insert_or_assign(std::string(key), static_cast<int64_t>(value ? 1 : 0));
}

void MemoryKeyValueStore::setData(std::string_view key, std::span<const uint8_t> bytes) {
    entries_.insert_or_assign(std::string(key), std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

bool MemoryKeyValueStore::flush() {
    ++flushCount_;
    return flushResult_;
}
