#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "publish/BrokerUrl.h"

struct mosquitto;

// Publishes JSON messages of one accessory to an MQTT broker under PREFIX/<serial>/..., with a
// retained PREFIX/<serial>/status that reads "online" while connected and "offline" (the broker's
// last will for us) otherwise.
//
// publish() never blocks and never grows memory without bound: messages wait in a queue of
// kQueueMessages / kQueueBytes while the broker is away, and when that is full the oldest is
// dropped and counted. One network thread owns the libmosquitto client: it connects, reconnects
// with exponential back-off, and hands at most kInFlight messages at a time to libmosquitto, so
// the queue here is the only place messages pile up. The queue is all the two threads share.
class MqttPublisher {
  public:
    static constexpr size_t kQueueMessages = 2000;
    static constexpr size_t kQueueBytes = 8u << 20;
    static constexpr size_t kInFlight = 32;
    static constexpr int kKeepAliveSeconds = 30;
    static constexpr unsigned kReconnectMinSeconds = 1;
    static constexpr unsigned kReconnectMaxSeconds = 30;

    struct Counters {
        uint64_t published = 0;    // handed to publish()
        uint64_t sent = 0;         // written (QoS 0) or acknowledged (QoS 1, 2)
        uint64_t dropped = 0;      // dropped from a full queue
        uint64_t unconfirmed = 0;  // QoS 0 messages on a connection that broke
        size_t queued = 0;         // waiting now
        size_t queuedBytes = 0;
    };

    MqttPublisher(BrokerUrl url, size_t queueMessages = kQueueMessages,
                  size_t queueBytes = kQueueBytes);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Starts connecting in the background as the accessory `serial`. False, with the reason in
    // `error`, when libmosquitto refuses the settings; an unreachable broker is not an error.
    bool start(const std::string& serial, std::string& error);

    // Queues `payload` for PREFIX/<serial>/<subtopic>.
    void publish(const std::string& subtopic, std::string payload);

    // Says "offline", waits up to `drain` for the queue to empty, then disconnects.
    void stop(std::chrono::milliseconds drain);

    Counters counters() const;
    bool connected() const;
    // Lines about connections, losses and drops since the last call, for the owner to show.
    std::vector<std::string> takeNotes();
    // Dropped messages per subtopic so far.
    std::map<std::string, uint64_t> droppedBySubtopic() const;

    // The topic-safe form of a serial number: wildcards, separators and spaces become '_';
    // an empty one is "unknown".
    static std::string topicLevel(const std::string& serial);

    const BrokerUrl& url() const { return url_; }
    const std::string& topicRoot() const { return root_; }

  private:
    struct Message {
        std::string subtopic;
        std::string payload;
    };

    static void onConnect(mosquitto* client, void* self, int code);
    static void onPublish(mosquitto* client, void* self, int mid);

    void threadMain();
    // One connection attempt; false when it failed (noted once per outage).
    bool connect();
    // Hands waiting messages (the status first) to libmosquitto while under kInFlight.
    void pump();
    bool sendStatus(const char* status);
    void lostConnection(int code);
    // Waits out the back-off, or less when stop() is called; then doubles it.
    void backOff();
    bool drainedOrDue() const;
    void noteLocked(std::string line);

    BrokerUrl url_;
    size_t queueMessages_;
    size_t queueBytes_;
    std::string root_;  // PREFIX/<serial>
    mosquitto* client_ = nullptr;
    std::thread thread_;
    unsigned backOffSeconds_ = kReconnectMinSeconds;
    bool socketOpen_ = false;   // network thread only
    bool outageNoted_ = false;  // network thread only

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Message> queue_;
    std::set<int> inFlight_;
    std::set<int> earlyAcks_;  // acknowledged before mosquitto_publish() returned
    int statusMid_ = -1;
    bool connected_ = false;
    bool needOnline_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point drainDeadline_;
    uint64_t droppedAtLoss_ = 0;
    Counters counters_;
    std::map<std::string, uint64_t> droppedBySubtopic_;
    std::vector<std::string> notes_;
};
