// A thousand plug/unplug cycles of a streaming accessory through the link and the controller:
// each cycle brings a freshly powered accessory (the three generations in turn) and pulls it at
// a different point of the controller's cycle, from discovery to streaming and scans. Every
// cycle must give exactly one didConnect and one didDisconnect, leave nothing open, and the
// controller must start over cleanly. The link's own storm (tests/link) has no controller and no
// stream; this one is about the two together. Run under ASan/LSan and, threaded, under TSan.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/controller/ControllerTestSupport.h"

namespace {

using Phase = AccessoryCommunicationDelegate::Phase;

constexpr int kCycles = 1000;

// The link's handlers, counted once the controller has handled them, so a count seen on another
// thread means the controller's state has moved on too.
struct CountingHandlers {
    std::atomic<int> connects{0};
    std::atomic<int> disconnects{0};
    std::atomic<int> failures{0};
    std::atomic<uint64_t> bytes{0};

    void install(AccessoryCommunication& link, AccessoryCommunicationDelegate& controller) {
        controller.bind(link);
        link.setConnectionHandlers(
            [&controller](AccessoryCommunication* l, BramelAccessoryDevice* d) {
                return controller.shouldConnect(l, d);
            },
            [this, &controller](AccessoryCommunication* l, BramelAccessoryDevice* d) {
                controller.didConnect(l, d);
                ++connects;
            },
            [this, &controller](AccessoryCommunication* l, BramelAccessoryDevice* d, int code) {
                controller.didDisconnect(l, d, code);
                ++failures;
            },
            [this, &controller](AccessoryCommunication* l, BramelAccessoryDevice* d, int code) {
                controller.didDisconnect(l, d, code);
                ++disconnects;
            });
        link.setDataHandlers(
            [this, &controller](AccessoryCommunication* l, BramelAccessoryDevice* d,
                                const uint8_t* b, int n) {
                bytes += static_cast<uint64_t>(n);
                controller.didReceiveData(l, d, b, n);
            },
            nullptr);
    }
};

SimGeneration generationOf(int cycle) {
    return static_cast<SimGeneration>(cycle % 3);
}

template <typename Done>
bool eventually(Done done) {
    // Only keeps a broken build from hanging; nothing is asserted about the time taken.
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST(HotPlugStorm, ThousandCyclesWhileStreamingSteppedByHand) {
    ControllerRig rig;
    rig.model.spectrum_settings.ssidScanOn = 1;
    FakeUsbBackend bus;
    AccessoryCommunication link(bus, rig.console);
    CountingHandlers counts;
    counts.install(link, rig.controller);
    const int accessory = bus.addAccessory();
    bus.unplug(accessory);

    int streamedCycles = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        auto endpoints = std::make_shared<SimEndpoints>(generationOf(cycle), rig.clock,
                                                        static_cast<uint64_t>(cycle));
        bus.modify(accessory, [&](FakeUsbBackend::Device& d) { d.endpoints = endpoints; });
        bus.plug(accessory);
        link.runPass();
        ASSERT_EQ(counts.connects, cycle + 1);
        ASSERT_TRUE(rig.controller.connected());

        // Pull the plug after 1 to 16 passes: before the discovery reply, while configuring,
        // streaming, and during scans.
        const int passes = 1 + cycle % 16;
        const uint64_t bytesBefore = counts.bytes;
        for (int i = 0; i < passes; ++i) {
            rig.pass();
            for (int j = 0; j < 64 && (link.queuedPackets() > 0 || endpoints->pending() > 0); ++j) {
                link.runPass();
            }
        }
        const uint64_t discovery = generationProfile(generationOf(cycle)).discoveryLength;
        if (rig.controller.ackCount() > 0 && counts.bytes - bytesBefore > discovery + 4) {
            ++streamedCycles;
        }

        bus.unplug(accessory);
        link.runPass();
        ASSERT_EQ(counts.disconnects, cycle + 1) << "cycle " << cycle;
        ASSERT_EQ(counts.connects, cycle + 1);
        ASSERT_FALSE(rig.controller.connected());
        rig.controller.deliverFrames();  // the owner's hand-over tells the model
        ASSERT_FALSE(rig.model.runtime.deviceConnected);
        ASSERT_EQ(rig.controller.phase(), Phase::kSendDiscovery);
        // A pass while nothing is plugged finds nothing.
        rig.pass();
        link.runPass();
        ASSERT_EQ(counts.connects, cycle + 1);
    }
    EXPECT_EQ(counts.failures, 0);
    EXPECT_EQ(bus.totalOpenHandles(), 0);
    EXPECT_EQ(bus.totalReferences(), 0);
    // Most cycles last long enough to be configured and stream.
    EXPECT_GT(streamedCycles, kCycles / 2);
}

// The same storm with the link's I/O thread and the controller's worker running, the test thread
// plugging and unplugging. The worker steps the manual clock at the end of each pass once the
// link has moved everything queued.
TEST(HotPlugStorm, ThousandCyclesWithTheLinkAndWorkerThreads) {
    std::FILE* console = std::tmpfile();
    ManualClock clock(1000);
    SpectrumSettings model;
    DataLogFile log("/nonexistent-tarno-dir/", &clock, fixedLocalTime);
    FakeUsbBackend bus;
    AccessoryCommunication link(bus, console);
    std::atomic<bool> stopping{false};
    // Every cycle's accessory stays alive until the end: the worker may still be asking the
    // previous one how much it has to send.
    std::vector<std::shared_ptr<SimEndpoints>> accessories;
    accessories.reserve(kCycles);
    std::atomic<SimEndpoints*> current{nullptr};

    AccessoryCommunicationDelegate::Options options;
    options.clock = &clock;
    options.dataLog = &log;
    options.console = console;
    options.waitUntil = [&](uint64_t until) {
        while (!stopping && link.isConnected()) {
            SimEndpoints* endpoints = current;
            if (link.queuedPackets() == 0 && (endpoints == nullptr || endpoints->pending() == 0)) {
                break;
            }
            std::this_thread::yield();
        }
        if (clock.nowMilliseconds() < until) {
            clock.set(until);
        }
        std::this_thread::yield();
    };
    AccessoryCommunicationDelegate controller(model, options);
    CountingHandlers counts;
    counts.install(link, controller);
    const int accessory = bus.addAccessory();
    bus.unplug(accessory);
    // A thousand cycles: the production pause between bus listings would dominate the run.
    link.setSearchInterval(std::chrono::milliseconds(1));
    link.start();
    int configuredCycles = 0;

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        accessories.push_back(std::make_shared<SimEndpoints>(generationOf(cycle), clock,
                                                             static_cast<uint64_t>(cycle)));
        current = accessories.back().get();
        bus.modify(accessory, [&](FakeUsbBackend::Device& d) { d.endpoints = accessories.back(); });
        bus.plug(accessory);
        ASSERT_TRUE(eventually([&] { return counts.connects == cycle + 1; })) << cycle;
        // Every other cycle streams until the settings are acknowledged; the others are pulled
        // wherever the threads happen to be.
        if (cycle % 2 == 0) {
            // Phases from kRequest on follow an acknowledged configuration; the disconnect
            // put the phase back to discovery.
            ASSERT_TRUE(eventually([&] { return controller.phase() >= Phase::kRequest; }))
                << "cycle " << cycle << " phase " << controller.phase();
            ++configuredCycles;
        }
        bus.unplug(accessory);
        ASSERT_TRUE(eventually([&] { return counts.disconnects == cycle + 1; })) << cycle;
        ASSERT_EQ(counts.connects, cycle + 1);
        ASSERT_FALSE(controller.connected());
        ASSERT_EQ(controller.phase(), Phase::kSendDiscovery);
    }
    stopping = true;
    controller.stopWorker();
    link.stop();
    EXPECT_EQ(counts.connects, kCycles);
    EXPECT_EQ(counts.disconnects, kCycles);
    EXPECT_EQ(counts.failures, 0);
    EXPECT_EQ(bus.totalOpenHandles(), 0);
    EXPECT_EQ(bus.totalReferences(), 0);
    EXPECT_EQ(configuredCycles, kCycles / 2);
    std::fclose(console);
}

}  // namespace
