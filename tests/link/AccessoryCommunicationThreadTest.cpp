// The link on its own I/O thread against the fake bus. These tests wait for events, never for
// time; run them under ThreadSanitizer as well.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "link/AccessoryCommunication.h"
#include "tests/link/FakeUsbBackend.h"
#include "tests/link/LinkEventLog.h"
#include "tests/link/ScriptedAccessory.h"

namespace {

using Kind = LinkEventLog::Kind;

class LinkThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        accessory = bus.addAccessory();
        bus.modify(accessory, [this](auto& device) { device.endpoints = firmware; });
        events.bind(link);
    }

    bool sendCounter(uint32_t counter) {
        std::vector<uint8_t> data(6);
        data[0] = 0xAA;
        data[1] = 0x06;
        std::memcpy(data.data() + 2, &counter, sizeof(counter));
        return link.send(std::move(data), 3);
    }

    FakeUsbBackend bus;
    std::shared_ptr<ScriptedAccessory> firmware = std::make_shared<ScriptedAccessory>();
    // Declared before the link: a test that stops early leaves the I/O thread reporting to it
    // until the link's destructor joins the thread.
    LinkEventLog events;
    AccessoryCommunication link{bus, nullptr};
    int accessory = 0;
};

TEST_F(LinkThreadTest, HotPlugCyclesWhileAnotherThreadSends) {
    link.start();
    link.start();  // a second start is a no-op
    ASSERT_TRUE(link.isRunning());
    for (int cycle = 1; cycle <= 50; ++cycle) {
        ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == cycle; }));
        ASSERT_TRUE(sendCounter(static_cast<uint32_t>(cycle)));
        ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::Sent) == cycle; }));
        bus.unplug(accessory);
        ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidDisconnect) == cycle; }));
        bus.plug(accessory);
    }
    link.stop();
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(events.count(Kind::DidConnect), events.count(Kind::DidDisconnect));
    EXPECT_EQ(bus.totalReferences(), 0);
    EXPECT_EQ(bus.totalOpenHandles(), 0);
}

TEST_F(LinkThreadTest, ConcurrentSendersKeepTheirOrderAndLoseNothing) {
    link.start();
    ASSERT_TRUE(events.waitFor([&] { return link.isConnected(); }));
    constexpr uint32_t kPerSender = 200;
    auto sender = [this](uint32_t base) {
        for (uint32_t i = 0; i < kPerSender; ++i) {
            EXPECT_TRUE(sendCounter(base + i));
        }
    };
    std::thread first(sender, 0);
    std::thread second(sender, 1000000);
    first.join();
    second.join();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::Sent) == 2 * kPerSender; }));
    link.stop();

    uint32_t lastFirst = 0;
    uint32_t lastSecond = 1000000;
    bool firstSeen = false;
    bool secondSeen = false;
    auto writes = bus.device(accessory).writes;
    ASSERT_EQ(writes.size(), 2 * kPerSender);
    for (const auto& write : writes) {
        ASSERT_EQ(write.size(), 6u);
        uint32_t counter = 0;
        std::memcpy(&counter, write.data() + 2, sizeof(counter));
        uint32_t& last = counter < 1000000 ? lastFirst : lastSecond;
        bool& seen = counter < 1000000 ? firstSeen : secondSeen;
        if (seen) {
            EXPECT_EQ(counter, last + 1);
        }
        seen = true;
        last = counter;
    }
}

TEST_F(LinkThreadTest, StopReportsTheConnectedDeviceOnceAndClosesIt) {
    link.start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 1; }));
    link.stop();
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
    EXPECT_EQ(bus.totalOpenHandles(), 0);
    // The link can be started again after an orderly stop.
    link.start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 2; }));
    link.stop();
    EXPECT_EQ(events.count(Kind::DidDisconnect), 2);
}

TEST_F(LinkThreadTest, SuspendWhileStreamingThenResume) {
    ASSERT_TRUE(sendCounter(1));
    link.start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::Sent) == 1; }));
    link.setSuspended(true);
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidDisconnect) == 1; }));
    int offered = events.count(Kind::ShouldConnect);
    link.setSuspended(false);
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 2; }));
    EXPECT_EQ(events.count(Kind::ShouldConnect), offered + 1);
    link.stop();
}

}  // namespace
