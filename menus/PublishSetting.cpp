#include "menus/PublishSetting.h"

#include "engine/base/UserDefault.h"
#include "publish/BrokerUrl.h"

namespace {

constexpr const char* kEnabledKey = "PublishOn";
constexpr const char* kBrokerUrlKey = "PublishBrokerUrl";

}  // namespace

namespace PublishSetting {

bool enabled() {
    return engine::UserDefault::getInstance()->getBoolForKey(kEnabledKey, false);
}

void setEnabled(bool on) {
    auto* store = engine::UserDefault::getInstance();
    store->setBoolForKey(kEnabledKey, on);
    store->flush();
}

std::string brokerUrl() {
    const engine::Data data = engine::UserDefault::getInstance()->getDataForKey(kBrokerUrlKey);
    if (data.isNull()) {
        return kDefaultBrokerUrl;
    }
    return std::string(reinterpret_cast<const char*>(data.getBytes()), data.getSize());
}

bool setBrokerUrl(const std::string& url, std::string& error) {
    BrokerUrl parsed;
    if (!BrokerUrl::parse(url, parsed, error)) {
        return false;
    }
    auto* store = engine::UserDefault::getInstance();
    store->setDataForKey(
        kBrokerUrlKey,
        engine::Data(reinterpret_cast<const unsigned char*>(url.data()), url.size()));
    if (!store->flush()) {
        error = "the settings store could not be written";
        return false;
    }
    return true;
}

}  // namespace PublishSetting
