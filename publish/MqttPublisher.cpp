#include "publish/MqttPublisher.h"

#include <mosquitto.h>

#include <cstring>

namespace {

constexpr const char* kOnline = "online";
constexpr const char* kOffline = "offline";
constexpr int kLoopTimeoutMs = 20;

void initLibrary() {
    static const int once = mosquitto_lib_init();
    (void)once;
}

}  // namespace

MqttPublisher::MqttPublisher(BrokerUrl url, size_t queueMessages, size_t queueBytes)
    : url_(std::move(url)), queueMessages_(queueMessages), queueBytes_(queueBytes) {}

MqttPublisher::~MqttPublisher() {
    stop(std::chrono::milliseconds(0));
    if (client_) {
        mosquitto_destroy(client_);
    }
}

std::string MqttPublisher::topicLevel(const std::string& serial) {
    std::string level;
    for (unsigned char c : serial) {
        const bool plain = c > 0x20 && c < 0x7F && c != '/' && c != '+' && c != '#';
        level += plain ? static_cast<char>(c) : '_';
    }
    return level.empty() ? "unknown" : level;
}

bool MqttPublisher::start(const std::string& serial, std::string& error) {
    if (thread_.joinable()) {
        error = "already started";
        return false;
    }
    initLibrary();
    root_ = url_.prefix + "/" + topicLevel(serial);
    // A random client id: two demonstrations on one machine share a serial but must not take
    // each other's connection.
    client_ = mosquitto_new(nullptr, true, this);
    if (!client_) {
        error = "cannot create an MQTT client";
        return false;
    }
    int rc = MOSQ_ERR_SUCCESS;
    if (url_.hasCredentials) {
        rc = mosquitto_username_pw_set(client_, url_.user.c_str(),
                                       url_.password.empty() ? nullptr : url_.password.c_str());
    }
    const std::string status = root_ + "/status";
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_will_set(client_, status.c_str(), static_cast<int>(std::strlen(kOffline)),
                                kOffline, url_.qos, true);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = mosquitto_strerror(rc);
        return false;
    }
    mosquitto_connect_callback_set(client_, &MqttPublisher::onConnect);
    mosquitto_publish_callback_set(client_, &MqttPublisher::onPublish);
    mosquitto_int_option(client_, MOSQ_OPT_TCP_NODELAY, 1);
    thread_ = std::thread(&MqttPublisher::threadMain, this);
    return true;
}

void MqttPublisher::publish(const std::string& subtopic, std::string payload) {
    std::lock_guard<std::mutex> guard(lock_);
    ++counters_.published;
    counters_.queuedBytes += payload.size();
    queue_.push_back(Message{subtopic, std::move(payload)});
    while (!queue_.empty() &&
           (queue_.size() > queueMessages_ || counters_.queuedBytes > queueBytes_)) {
        // The newest measurements matter most to whoever reads them live.
        counters_.queuedBytes -= queue_.front().payload.size();
        ++droppedBySubtopic_[queue_.front().subtopic];
        queue_.pop_front();
        ++counters_.dropped;
    }
    counters_.queued = queue_.size();
}

void MqttPublisher::stop(std::chrono::milliseconds drain) {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        drainDeadline_ = std::chrono::steady_clock::now() + drain;
    }
    wake_.notify_all();
    thread_.join();
}

MqttPublisher::Counters MqttPublisher::counters() const {
    std::lock_guard<std::mutex> guard(lock_);
    return counters_;
}

bool MqttPublisher::connected() const {
    std::lock_guard<std::mutex> guard(lock_);
    return connected_;
}

std::vector<std::string> MqttPublisher::takeNotes() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> notes;
    notes.swap(notes_);
    return notes;
}

std::map<std::string, uint64_t> MqttPublisher::droppedBySubtopic() const {
    std::lock_guard<std::mutex> guard(lock_);
    return droppedBySubtopic_;
}

void MqttPublisher::noteLocked(std::string line) {
    // The owner may never read them; a few are enough to say what happened.
    if (notes_.size() < 64) {
        notes_.push_back(std::move(line));
    }
}

// --- Network thread ---------------------------------------------------------------------------

void MqttPublisher::threadMain() {
    while (true) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (stopping_ && drainedOrDue()) {
                break;
            }
        }
        if (!socketOpen_) {
            if (!connect()) {
                backOff();
                continue;
            }
        }
        pump();
        const int rc = mosquitto_loop(client_, kLoopTimeoutMs, 1);
        if (rc != MOSQ_ERR_SUCCESS) {
            lostConnection(rc);
            backOff();
        }
    }
    if (socketOpen_) {
        bool online = false;
        {
            std::lock_guard<std::mutex> guard(lock_);
            online = connected_;
        }
        // A clean disconnect does not fire the will: say "offline" ourselves first.
        if (online && sendStatus(kOffline)) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            while (std::chrono::steady_clock::now() < until) {
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    if (statusMid_ < 0 || !connected_) {
                        break;
                    }
                }
                if (mosquitto_loop(client_, kLoopTimeoutMs, 1) != MOSQ_ERR_SUCCESS) {
                    break;
                }
            }
        }
        mosquitto_disconnect(client_);
        mosquitto_loop(client_, kLoopTimeoutMs, 1);
        socketOpen_ = false;
    }
    std::lock_guard<std::mutex> guard(lock_);
    connected_ = false;
    // What never left is lost like what a full queue dropped, and counted the same way.
    for (const Message& message : queue_) {
        ++droppedBySubtopic_[message.subtopic];
        ++counters_.dropped;
    }
    queue_.clear();
    counters_.queued = 0;
    counters_.queuedBytes = 0;
    if (url_.qos == 0) {
        counters_.unconfirmed += inFlight_.size();
        inFlight_.clear();
    }
}

bool MqttPublisher::drainedOrDue() const {
    // A connection still being made is waited for (a short command stops before its broker
    // has answered); a broker known to be away is not.
    return (queue_.empty() && inFlight_.empty()) || (!connected_ && outageNoted_) ||
           std::chrono::steady_clock::now() >= drainDeadline_;
}

bool MqttPublisher::connect() {
    // Asynchronous, so that stop() never waits on a TCP time-out; the loop completes it.
    const int rc =
        mosquitto_connect_async(client_, url_.host.c_str(), url_.port, kKeepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS) {
        socketOpen_ = true;
        return true;
    }
    if (!outageNoted_) {
        outageNoted_ = true;
        std::lock_guard<std::mutex> guard(lock_);
        noteLocked("cannot reach the broker " + url_.display() + ": " +
                   (rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc)) +
                   "; retrying");
        droppedAtLoss_ = counters_.dropped;
    }
    return false;
}

void MqttPublisher::backOff() {
    std::unique_lock<std::mutex> guard(lock_);
    wake_.wait_for(guard, std::chrono::seconds(backOffSeconds_), [this] { return stopping_; });
    backOffSeconds_ = std::min(backOffSeconds_ * 2, kReconnectMaxSeconds);
}

void MqttPublisher::lostConnection(int code) {
    socketOpen_ = false;
    std::lock_guard<std::mutex> guard(lock_);
    if (connected_) {
        noteLocked("lost the broker " + url_.display() + " (" + mosquitto_strerror(code) +
                   "); queuing up to " + std::to_string(queueMessages_) + " messages");
        droppedAtLoss_ = counters_.dropped;
    } else if (!outageNoted_) {
        // The connection was begun but never answered (a broker that refuses us, or a remote
        // host that never replied).
        noteLocked("cannot reach the broker " + url_.display() + ": " + mosquitto_strerror(code) +
                   "; retrying");
        droppedAtLoss_ = counters_.dropped;
    }
    outageNoted_ = true;
    connected_ = false;
    if (url_.qos == 0) {
        // libmosquitto does not resend QoS 0 messages: whether these arrived is unknown.
        counters_.unconfirmed += inFlight_.size();
        inFlight_.clear();
        earlyAcks_.clear();
    }
    statusMid_ = -1;
}

bool MqttPublisher::sendStatus(const char* status) {
    const std::string topic = root_ + "/status";
    int mid = 0;
    const int rc = mosquitto_publish(client_, &mid, topic.c_str(),
                                     static_cast<int>(std::strlen(status)), status, url_.qos, true);
    std::lock_guard<std::mutex> guard(lock_);
    if (rc != MOSQ_ERR_SUCCESS || earlyAcks_.erase(mid) > 0) {
        statusMid_ = -1;
    } else {
        statusMid_ = mid;
    }
    return rc == MOSQ_ERR_SUCCESS;
}

void MqttPublisher::pump() {
    bool online = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!connected_) {
            return;
        }
        online = needOnline_;
        needOnline_ = false;
    }
    if (online) {
        sendStatus(kOnline);
    }
    while (true) {
        Message message;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (!connected_ || queue_.empty() || inFlight_.size() >= kInFlight) {
                return;
            }
            message = std::move(queue_.front());
            queue_.pop_front();
            counters_.queuedBytes -= message.payload.size();
            counters_.queued = queue_.size();
        }
        const std::string topic = root_ + "/" + message.subtopic;
        int mid = 0;
        const int rc = mosquitto_publish(client_, &mid, topic.c_str(),
                                         static_cast<int>(message.payload.size()),
                                         message.payload.data(), url_.qos, url_.retain);
        std::lock_guard<std::mutex> guard(lock_);
        if (rc != MOSQ_ERR_SUCCESS) {
            // The connection went while we were sending: put it back at the front.
            counters_.queuedBytes += message.payload.size();
            queue_.push_front(std::move(message));
            counters_.queued = queue_.size();
            return;
        }
        if (earlyAcks_.erase(mid) > 0) {
            ++counters_.sent;
        } else {
            inFlight_.insert(mid);
        }
    }
}

void MqttPublisher::onConnect(mosquitto*, void* self, int code) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard<std::mutex> guard(publisher->lock_);
    if (code != 0) {
        publisher->noteLocked("the broker " + publisher->url_.display() +
                              " refused us: " + mosquitto_connack_string(code));
        return;
    }
    publisher->connected_ = true;
    publisher->needOnline_ = true;
    publisher->backOffSeconds_ = kReconnectMinSeconds;
    if (publisher->outageNoted_ || publisher->counters_.dropped > publisher->droppedAtLoss_) {
        publisher->noteLocked(
            "reconnected to " + publisher->url_.display() + "; " +
            std::to_string(publisher->counters_.dropped - publisher->droppedAtLoss_) +
            " messages dropped while it was away");
    } else {
        publisher->noteLocked("connected to " + publisher->url_.display());
    }
    publisher->outageNoted_ = false;
}

void MqttPublisher::onPublish(mosquitto*, void* self, int mid) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard<std::mutex> guard(publisher->lock_);
    if (mid == publisher->statusMid_) {
        publisher->statusMid_ = -1;
    } else if (publisher->inFlight_.erase(mid) > 0) {
        ++publisher->counters_.sent;
    } else {
        publisher->earlyAcks_.insert(mid);
    }
}
