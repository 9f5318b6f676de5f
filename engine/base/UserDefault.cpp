#include "engine/base/UserDefault.h"

namespace engine {

static UserDefault* s_userDefault = nullptr;

UserDefault* UserDefault::getInstance() {
    if (!s_userDefault)
        s_userDefault = new UserDefault();
    return s_userDefault;
}

void UserDefault::destroyInstance() {
    delete s_userDefault;
    s_userDefault = nullptr;
}

int UserDefault::getIntegerForKey(const char* key, int defaultValue) {
    auto it = _values.find(key ? key : "");
    if (it == _values.end() || !std::holds_alternative<int>(it->second))
        return defaultValue;
    return std::get<int>(it->second);
}

bool UserDefault::getBoolForKey(const char* key, bool defaultValue) {
    auto it = _values.find(key ? key : "");
    if (it == _values.end() || !std::holds_alternative<bool>(it->second))
        return defaultValue;
    return std::get<bool>(it->second);
}

Data UserDefault::getDataForKey(const char* key, const Data& defaultValue) {
    auto it = _values.find(key ? key : "");
    if (it == _values.end() || !std::holds_alternative<Data>(it->second))
        return defaultValue;
    return std::get<Data>(it->second);
}

void UserDefault::setIntegerForKey(const char* key, int value) {
    if (key)
        _values[key] = value;
}

void UserDefault::setBoolForKey(const char* key, bool value) {
    if (key)
        _values[key] = value;
}

void UserDefault::setDataForKey(const char* key, const Data& value) {
    if (key)
        _values[key] = value;
}

bool UserDefault::flush() {
    return true;
}

}  // namespace engine
