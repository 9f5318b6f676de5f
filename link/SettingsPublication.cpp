#include "link/SettingsPublication.h"

SettingsPublication::SettingsPublication() : current_(std::make_shared<const LinkSettings>()) {}

void SettingsPublication::publish(const LinkSettings& settings) {
    std::lock_guard<std::mutex> guard(lock_);
    if (settings == published_)
        return;
    published_ = settings;
    current_.reset();
}

void SettingsPublication::setDescription(const AccessoryDescription& description) {
    std::lock_guard<std::mutex> guard(lock_);
    description_ = std::make_shared<const AccessoryDescription>(description);
    current_.reset();
}

void SettingsPublication::setConnected(bool connected) {
    std::lock_guard<std::mutex> guard(lock_);
    connected_ = connected;
    current_.reset();
}

SettingsPublication::Settings SettingsPublication::current() {
    std::lock_guard<std::mutex> guard(lock_);
    if (!current_) {
        auto settings = std::make_shared<LinkSettings>(published_);
        if (description_) {
            // The owner applies the same description and corrections once it takes the
            // identification; until then the link decides as it will have decided.
            settings->accessory = *description_;
            LinkSettings::correctForDescription(settings->accessory, settings->power,
                                                settings->common);
        }
        settings->deviceConnected = connected_;
        current_ = std::move(settings);
    }
    return current_;
}

bool SettingsPublication::measuring() const {
    return LinkSettings::measuring(runState_);
}
