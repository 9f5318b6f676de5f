#pragma once

#include <map>
#include <string>
#include <variant>

#include "engine/base/Data.h"

namespace engine {

// Integers, bools and byte blobs under string keys, kept across runs. Values written are
// visible to reads at once; flush() makes them durable.
class UserDefault {
  public:
    static UserDefault* getInstance();
    static void destroyInstance();

    int getIntegerForKey(const char* key) { return getIntegerForKey(key, 0); }
    int getIntegerForKey(const char* key, int defaultValue);
    bool getBoolForKey(const char* key) { return getBoolForKey(key, false); }
    bool getBoolForKey(const char* key, bool defaultValue);
    Data getDataForKey(const char* key) { return getDataForKey(key, Data::Null); }
    Data getDataForKey(const char* key, const Data& defaultValue);

    void setIntegerForKey(const char* key, int value);
    void setBoolForKey(const char* key, bool value);
    void setDataForKey(const char* key, const Data& value);

    // False when the values could not be made durable; they stay pending for the next flush.
    bool flush();

  private:
    UserDefault() = default;
    // Waiting for the persistent store: values live in memory only for now.
    std::map<std::string, std::variant<int, bool, Data>> _values;
};

}  // namespace engine
