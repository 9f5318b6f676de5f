#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;

// A real mosquitto broker for the test, on a free port of 127.0.0.1 only, with its
// persistence in a temporary directory so that a restart keeps the subscriber's session.
class MosquittoBroker {
  public:
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    // Starts the broker and waits until it accepts connections; false (with the reason in
    // error()) when it does not within the time-out.
    bool start();
    // Ends the broker with SIGTERM (it saves its sessions) and waits for it.
    void stop();

    int port() const { return port_; }
    std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
    const std::string& error() const { return error_; }

  private:
    std::string directory_;
    int port_ = 0;
    pid_t pid_ = -1;
    std::string error_;
};

// A libmosquitto subscriber that keeps its session (clean session off, QoS 1) across broker
// restarts and collects what arrives.
class MqttSubscriber {
  public:
    struct Message {
        std::string topic;
        std::string payload;
        bool retained = false;
    };

    explicit MqttSubscriber(int port, std::string filter = "tarno/#");
    ~MqttSubscriber();
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    // Waits until the subscription has been acknowledged `times` times (once per connection).
    bool waitSubscribed(int times, std::chrono::seconds timeout);
    // Waits until `count` messages matching `topic` (all topics when empty) have arrived.
    bool waitFor(size_t count, const std::string& topic, std::chrono::seconds timeout);
    std::vector<Message> messages(const std::string& topic = "") const;

  private:
    static void onConnect(mosquitto* client, void* self, int code);
    static void onSubscribe(mosquitto* client, void* self, int mid, int count, const int* qos);
    static void onMessage(mosquitto* client, void* self, const struct mosquitto_message* message);
    size_t countLocked(const std::string& topic) const;

    std::string filter_;
    mosquitto* client_ = nullptr;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    int subscriptions_ = 0;
    std::vector<Message> messages_;
};
