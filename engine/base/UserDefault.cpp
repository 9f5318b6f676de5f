#include "engine/base/UserDefault.h"

#include <span>

#include "storage/KeyValueStore.h"
#include "storage/SqliteKeyValueStore.h"

namespace engine {

static UserDefault* s_userDefault = nullptr;
static KeyValueStore* s_store = nullptr;

UserDefault* UserDefault::getInstance() {
    if (!s_userDefault)
        s_userDefault = new UserDefault();
    return s_userDefault;
}

void UserDefault::destroyInstance() {
    delete s_userDefault;
    s_userDefault = nullptr;
}

void UserDefault::setStore(KeyValueStore* store) {
    s_store = store;
}

KeyValueStore& UserDefault::store() {
    return s_store ? *s_store : SqliteKeyValueStore::shared();
}

int UserDefault::getIntegerForKey(const char* key, int defaultValue) {
    return key ? store().getInteger(key, defaultValue) : defaultValue;
}

bool UserDefault::getBoolForKey(const char* key, bool defaultValue) {
    return key ? store().getBool(key, defaultValue) : defaultValue;
}

Data UserDefault::getDataForKey(const char* key, const Data& defaultValue) {
    if (!key)
        return defaultValue;
    std::vector<uint8_t> bytes = store().getData(key);
    if (bytes.empty())
        return defaultValue;
    return Data(bytes.data(), bytes.size());
}

void UserDefault::setIntegerForKey(const char* key, int value) {
    if (key)
        store().setInteger(key, value);
}

void UserDefault::setBoolForKey(const char* key, bool value) {
    if (key)
        store().setBool(key, value);
}

void UserDefault::setDataForKey(const char* key, const Data& value) {
    if (!key)
        return;
    store().setData(key, std::span<const uint8_t>(value.getBytes(), value.getSize()));
}

bool UserDefault::flush() {
    return store().flush();
}

}  // namespace engine
