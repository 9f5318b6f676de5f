// The publisher against a real mosquitto broker on the loopback interface: what arrives, byte for
// byte; the status and its last will; and a broker that goes away and comes back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MosquittoBroker.h"
#include "publish/MqttPublisher.h"

namespace {

constexpr std::chrono::seconds kPatience{30};

BrokerUrl urlOf(const MosquittoBroker& broker, const std::string& options = "") {
    BrokerUrl url;
    std::string error;
    EXPECT_TRUE(BrokerUrl::parse(broker.url() + "/site/lab" + options, url, error)) << error;
    return url;
}

// Distinct payloads of different lengths, one with bytes a careless copy would mangle.
std::string payload(int n) {
    std::string text = "{\"n\":" + std::to_string(n) + ",\"pad\":\"" + std::string(n % 97, 'x');
    if (n == 3) {
        text += std::string("\0\xff\n", 3);
    }
    return text + "\"}";
}

// Waits for an observable condition of the publisher, polling it, within a generous bound.
template <typename Condition>
bool waitUntil(Condition condition) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

TEST(MqttPublisher, EveryMessageArrivesByteForByteInOrderAtEachQos) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    MqttSubscriber subscriber(broker.port(), "site/#");
    ASSERT_TRUE(subscriber.waitSubscribed(1, kPatience));
    const char* serials[] = {"AB01", "CD02", "EF03"};
    const char* options[] = {"", "?qos=1", "?qos=2&retain=0"};
    for (int q = 0; q < 3; ++q) {
        MqttPublisher publisher(urlOf(broker, options[q]));
        std::string error;
        ASSERT_TRUE(publisher.start(serials[q], error)) << error;
        for (int n = 0; n < 300; ++n) {
            publisher.publish(n % 2 ? "sweep/2.4" : "power", payload(n));
        }
        const std::string root = std::string("site/lab/") + serials[q];
        ASSERT_TRUE(subscriber.waitFor(150, root + "/sweep/2.4", kPatience));
        ASSERT_TRUE(subscriber.waitFor(150, root + "/power", kPatience));
        publisher.stop(std::chrono::seconds(5));
        const auto counters = publisher.counters();
        EXPECT_EQ(counters.published, 300u);
        EXPECT_EQ(counters.sent, 300u);
        EXPECT_EQ(counters.dropped, 0u);
        const auto sweeps = subscriber.messages(root + "/sweep/2.4");
        const auto powers = subscriber.messages(root + "/power");
        ASSERT_EQ(sweeps.size(), 150u) << options[q];
        ASSERT_EQ(powers.size(), 150u) << options[q];
        for (int k = 0; k < 150; ++k) {
            EXPECT_EQ(sweeps[static_cast<size_t>(k)].payload, payload(2 * k + 1));
            EXPECT_EQ(powers[static_cast<size_t>(k)].payload, payload(2 * k));
            EXPECT_FALSE(powers[static_cast<size_t>(k)].retained);
        }
        ASSERT_TRUE(subscriber.waitFor(2, root + "/status", kPatience));
        const auto status = subscriber.messages(root + "/status");
        EXPECT_EQ(status.front().payload, "online");
        EXPECT_EQ(status.back().payload, "offline");  // said on the way out
    }
}

TEST(MqttPublisher, TheStatusIsRetainedForLateSubscribers) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    MqttPublisher publisher(urlOf(broker, "?retain=1"));
    std::string error;
    ASSERT_TRUE(publisher.start("with/slash+and#wild cards", error)) << error;
    publisher.publish("grades", "{\"channels\":[]}");
    ASSERT_TRUE(waitUntil([&] { return publisher.counters().sent == 1; }));

    MqttSubscriber late(broker.port(), "site/#");
    ASSERT_TRUE(late.waitFor(2, "", kPatience));
    const std::string root = "site/lab/with_slash_and_wild_cards";
    const auto status = late.messages(root + "/status");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].payload, "online");
    EXPECT_TRUE(status[0].retained);
    const auto grades = late.messages(root + "/grades");
    ASSERT_EQ(grades.size(), 1u);
    EXPECT_TRUE(grades[0].retained);  // retain=1 applies to the data too
}

TEST(MqttPublisher, ABrokerRestartLosesOnlyWhatTheDropCounterSays) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    auto subscriber = std::make_unique<MqttSubscriber>(broker.port(), "site/#");
    ASSERT_TRUE(subscriber->waitSubscribed(1, kPatience));
    constexpr size_t kQueue = 25;
    MqttPublisher publisher(urlOf(broker, "?qos=1"), kQueue);
    std::string error;
    ASSERT_TRUE(publisher.start("R1", error)) << error;
    const std::string topic = "site/lab/R1/sweep/5";
    ASSERT_TRUE(waitUntil([&] { return publisher.connected(); }));

    // In steps the queue holds: it is the bound whether or not the broker is there.
    for (int n = 0; n < 40; ++n) {
        publisher.publish("sweep/5", payload(n));
        if (n % 20 == 19) {
            ASSERT_TRUE(subscriber->waitFor(static_cast<size_t>(n + 1), topic, kPatience));
        }
    }

    // QoS 1 is at least once: what the broker took but had not acknowledged when it went would
    // come again after the restart. Stop it with nothing in flight, so that every copy counts.
    ASSERT_TRUE(waitUntil([&] { return publisher.counters().sent == 40; }));
    broker.stop();
    ASSERT_TRUE(waitUntil([&] { return !publisher.connected(); }));
    // While the broker is away the queue holds the newest kQueue messages and no more.
    for (int n = 40; n < 140; ++n) {
        publisher.publish("sweep/5", payload(n));
        EXPECT_LE(publisher.counters().queued, kQueue);
    }
    EXPECT_EQ(publisher.counters().dropped, 100 - kQueue);

    ASSERT_TRUE(broker.start()) << broker.error();
    ASSERT_TRUE(subscriber->waitSubscribed(2, kPatience));
    ASSERT_TRUE(waitUntil([&] { return publisher.counters().queued == 0; }));
    for (int n = 140; n < 160; ++n) {
        publisher.publish("sweep/5", payload(n));
    }
    const size_t expected = 160 - (100 - kQueue);
    ASSERT_TRUE(waitUntil([&] { return publisher.counters().sent == expected; }));
    // Messages of one publisher arrive in order: the last one closes the stream.
    ASSERT_TRUE(waitUntil([&] {
        const auto messages = subscriber->messages(topic);
        return !messages.empty() && messages.back().payload == payload(159);
    }));
    publisher.stop(std::chrono::seconds(5));

    const auto counters = publisher.counters();
    EXPECT_EQ(counters.published, 160u);
    EXPECT_EQ(counters.dropped, 100 - kQueue);
    EXPECT_EQ(counters.sent + counters.dropped, counters.published);
    EXPECT_EQ(publisher.droppedBySubtopic().at("sweep/5"), 100 - kQueue);
    // Everything but the oldest of the outage arrived, once and in order.
    std::vector<std::string> want;
    for (int n = 0; n < 160; ++n) {
        if (n < 40 || n >= 40 + static_cast<int>(100 - kQueue)) {
            want.push_back(payload(n));
        }
    }
    // The broker restores the subscriber's session with the deliveries it had in flight and
    // sends those again (QoS 1 is at least once): count each message once, at its first arrival.
    std::vector<std::string> got;
    for (const auto& message : subscriber->messages(topic)) {
        if (std::find(got.begin(), got.end(), message.payload) == got.end()) {
            got.push_back(message.payload);
        }
    }
    EXPECT_EQ(got, want);
    // The publisher said what happened.
    std::string notes;
    for (const std::string& note : publisher.takeNotes()) {
        notes += note + "\n";
    }
    EXPECT_NE(notes.find("lost the broker"), std::string::npos) << notes;
    EXPECT_NE(notes.find("reconnected to " + broker.url() + "/site/lab; " +
                         std::to_string(100 - kQueue) + " messages dropped while it was away"),
              std::string::npos)
        << notes;
}

TEST(MqttPublisher, AnUnreachableBrokerCostsNeitherTimeNorMemory) {
    MosquittoBroker broker;  // configured, never started: nothing listens on its port
    MqttPublisher byCount(urlOf(broker), 10, 1u << 20);
    MqttPublisher byBytes(urlOf(broker), 1000, 40000);
    std::string error;
    ASSERT_TRUE(byCount.start("X", error)) << error;
    ASSERT_TRUE(byBytes.start("Y", error)) << error;
    for (int n = 0; n < 1000; ++n) {
        byCount.publish("power", std::string(4096, 'p'));
        byBytes.publish("power", std::string(4096, 'p'));
    }
    auto counters = byCount.counters();
    EXPECT_EQ(counters.queued, 10u);
    EXPECT_EQ(counters.queuedBytes, 10u * 4096);
    EXPECT_EQ(counters.dropped, 990u);
    counters = byBytes.counters();
    EXPECT_EQ(counters.queued, 9u);
    EXPECT_EQ(counters.dropped, 991u);

    std::string notes;
    ASSERT_TRUE(waitUntil([&] {
        for (const std::string& note : byCount.takeNotes()) {
            notes += note;
        }
        return !notes.empty();
    }));
    EXPECT_EQ(notes, "cannot reach the broker " + broker.url() +
                         "/site/lab: Connection refused; retrying");
    const auto started = std::chrono::steady_clock::now();
    byCount.stop(std::chrono::seconds(20));        // nothing to drain without a connection
    EXPECT_EQ(byCount.counters().dropped, 1000u);  // what never left counts as dropped
    EXPECT_EQ(byCount.counters().queued, 0u);
    // Not a speed check: a stop that waited out the drain would take the whole 20 s.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
}
