#pragma once

#include <string>

// Whether the window publishes its measurements to an MQTT broker, and to which: kept in the
// persistent store, next to (not inside) the stored configurations, and off until turned on.
// Main thread only.
namespace PublishSetting {

// Where messages go until another broker is stored: a broker on this computer.
constexpr const char* kDefaultBrokerUrl = "mqtt://127.0.0.1:1883/tarno";

bool enabled();
void setEnabled(bool on);

std::string brokerUrl();
// Stores `url` when it is an mqtt:// broker URL; false, with the reason in `error`, otherwise.
bool setBrokerUrl(const std::string& url, std::string& error);

}  // namespace PublishSetting
