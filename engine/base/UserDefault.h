#pragma once

#include "engine/base/Data.h"

class KeyValueStore;

namespace engine {

// Integers, bools and byte blobs under string keys, kept across runs in the persistent
// key-value store (SQLite, in the per-user data directory). Values written are visible to
// reads at once; flush() commits everything written since the last flush in one transaction.
class UserDefault {
  public:
    static UserDefault* getInstance();
    static void destroyInstance();
    // Replaces the backing store (tests use an in-memory one); nullptr restores the shared
    // SQLite store. The store must outlive its use here.
    static void setStore(KeyValueStore* store);

    int getIntegerForKey(const char* key) { return getIntegerForKey(key, 0); }
    int getIntegerForKey(const char* key, int defaultValue);
    bool getBoolForKey(const char* key) { return getBoolForKey(key, false); }
    bool getBoolForKey(const char* key, bool defaultValue);
    // Empty data (the default) when the key is missing, holds another kind or holds no bytes.
    Data getDataForKey(const char* key) { return getDataForKey(key, Data::Null); }
    Data getDataForKey(const char* key, const Data& defaultValue);

    void setIntegerForKey(const char* key, int value);
    void setBoolForKey(const char* key, bool value);
    void setDataForKey(const char* key, const Data& value);

    // False when the commit failed (full disk, locked file); the values stay pending and the
    // next flush tries again.
    bool flush();

  private:
    UserDefault() = default;
    KeyValueStore& store();
};

}  // namespace engine
