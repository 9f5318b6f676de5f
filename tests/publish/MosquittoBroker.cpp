#include "MosquittoBroker.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

int freeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

bool accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

MosquittoBroker::MosquittoBroker() {
    char pattern[] = "/tmp/tarno-broker-XXXXXX";
    directory_ = mkdtemp(pattern);
    port_ = freeLoopbackPort();
    // Started as root, mosquitto would become the "mosquitto" user, who cannot write here.
    const passwd* user = getpwuid(getuid());
    std::ofstream(directory_ + "/mosquitto.conf")
        << "user " << (user ? user->pw_name : "root") << "\n"
        << "listener " << port_ << " 127.0.0.1\n"
        << "allow_anonymous true\n"
        << "persistence true\n"
        << "persistence_location " << directory_ << "/\n"
        << "max_queued_messages 100000\n"
        << "log_dest file " << directory_ << "/mosquitto.log\n";
}

MosquittoBroker::~MosquittoBroker() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

bool MosquittoBroker::start() {
    pid_ = fork();
    if (pid_ == 0) {
        const std::string config = directory_ + "/mosquitto.conf";
        // Its warnings (running as root) are not the test's output.
        const int log =
            open((directory_ + "/stderr.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (log >= 0) {
            dup2(log, STDERR_FILENO);
        }
        execl(TARNO_MOSQUITTO_BROKER, TARNO_MOSQUITTO_BROKER, "-c", config.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Bounded: a broker that has not opened its port in 20 s is not coming.
    for (int attempt = 0; attempt < 2000; ++attempt) {
        if (accepts(port_)) {
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "mosquitto exited (status " + std::to_string(WEXITSTATUS(status)) + ")";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    error_ = "mosquitto did not open port " + std::to_string(port_);
    return false;
}

void MosquittoBroker::stop() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

MqttSubscriber::MqttSubscriber(int port, std::string filter) : filter_(std::move(filter)) {
    mosquitto_lib_init();
    const std::string id = "tarno-test-subscriber-" + std::to_string(getpid());
    client_ = mosquitto_new(id.c_str(), false, this);
    mosquitto_connect_callback_set(client_, &MqttSubscriber::onConnect);
    mosquitto_subscribe_callback_set(client_, &MqttSubscriber::onSubscribe);
    mosquitto_message_callback_set(client_, &MqttSubscriber::onMessage);
    mosquitto_reconnect_delay_set(client_, 1, 1, false);
    mosquitto_connect_async(client_, "127.0.0.1", port, 30);
    mosquitto_loop_start(client_);
}

MqttSubscriber::~MqttSubscriber() {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
}

void MqttSubscriber::onConnect(mosquitto* client, void* self, int code) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    if (code == 0) {
        mosquitto_subscribe(client, nullptr, subscriber->filter_.c_str(), 1);
    }
}

void MqttSubscriber::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    std::lock_guard<std::mutex> guard(subscriber->lock_);
    ++subscriber->subscriptions_;
    subscriber->changed_.notify_all();
}

void MqttSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    std::lock_guard<std::mutex> guard(subscriber->lock_);
    subscriber->messages_.push_back(Message{message->topic,
                                            std::string(static_cast<const char*>(message->payload),
                                                        static_cast<size_t>(message->payloadlen)),
                                            message->retain});
    subscriber->changed_.notify_all();
}

bool MqttSubscriber::waitSubscribed(int times, std::chrono::seconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return subscriptions_ >= times; });
}

size_t MqttSubscriber::countLocked(const std::string& topic) const {
    size_t count = 0;
    for (const Message& message : messages_) {
        count += topic.empty() || message.topic == topic ? 1 : 0;
    }
    return count;
}

bool MqttSubscriber::waitFor(size_t count, const std::string& topic, std::chrono::seconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return countLocked(topic) >= count; });
}

std::vector<MqttSubscriber::Message> MqttSubscriber::messages(const std::string& topic) const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<Message> out;
    for (const Message& message : messages_) {
        if (topic.empty() || message.topic == topic) {
            out.push_back(message);
        }
    }
    return out;
}
