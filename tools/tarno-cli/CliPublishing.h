#pragma once

#include <memory>
#include <string>

#include "publish/BrokerUrl.h"

class CliOptionParser;
class MqttPublisher;

// The usage lines of --mqtt.
#define TARNO_CLI_MQTT_USAGE                                                          \
    "  --mqtt URL         also publish the JSON messages to an MQTT broker,\n"        \
    "                     mqtt://[user:pass@]host[:port][/prefix][?retain=1&qos=1]\n" \
    "                     (prefix \"tarno\" unless given), under PREFIX/<serial>/...\n"

// --mqtt URL of the streaming commands: the messages a command makes go to an MQTT broker as
// well, under PREFIX/<serial>/..., where <serial> is the accessory's. What the publisher has to
// say (connections, losses, drops) goes to stderr.
class CliPublishing {
  public:
    explicit CliPublishing(const char* command);
    ~CliPublishing();

    // Registers --mqtt URL on a command's parser.
    void addOptions(CliOptionParser& parser);
    // After parsing: takes the URL given (publishing is then enabled) and says why it is not
    // one; empty when it is, or when none was given.
    std::string problem();
    bool enabled() const { return enabled_; }

    // Publishes under PREFIX/<serial>/<subtopic>; connects on the first message, once the
    // accessory has said who it is. False when the publisher cannot be started.
    bool publish(const std::string& serial, const std::string& subtopic, std::string payload);
    // The publisher's notes to stderr.
    void report();
    // Sends what is waiting (up to a few seconds), disconnects and says what was lost.
    void finish();

  private:
    const char* command_;
    bool enabled_ = false;
    std::string urlText_;
    BrokerUrl url_;
    std::unique_ptr<MqttPublisher> publisher_;
};
