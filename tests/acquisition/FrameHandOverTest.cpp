// Sweeps cross from the thread that decodes them to the model's owner only as frames: decoding
// leaves the bands alone, the owner's hand-over stores every sweep once and in order, and a
// stalled owner costs no more than the queue's bound.
#include <gtest/gtest.h>

#include <vector>

#include "acquisition/FrameQueue.h"
#include "link/DemoPlayback.h"
#include "tests/controller/ControllerTestSupport.h"

TEST(FrameQueue, TakesInOrderAndDropsTheOldestBeyondItsBound) {
    FrameQueue queue;
    for (size_t n = 0; n < FrameQueue::kMaxFrames + 3; ++n)
        queue.push(SweepFrame{1, std::vector<float>(1, static_cast<float>(n))});
    EXPECT_EQ(queue.dropped(), 3u);
    std::vector<LinkFrame> frames = queue.take();
    ASSERT_EQ(frames.size(), FrameQueue::kMaxFrames);
    EXPECT_EQ(std::get<SweepFrame>(frames.front()).levels[0], 3.f);
    EXPECT_EQ(std::get<SweepFrame>(frames.back()).levels[0],
              static_cast<float>(FrameQueue::kMaxFrames + 2));
    EXPECT_TRUE(queue.take().empty());
}

TEST(FrameQueue, AFullQueueDropsMeasurementsBeforeEvents) {
    FrameQueue queue;
    queue.push(LinkEvent::make(LinkEvent::kSettingsAcknowledged, true));
    for (size_t n = 0; n < FrameQueue::kMaxFrames; ++n)
        queue.push(SweepFrame{1, std::vector<float>(1, static_cast<float>(n))});
    EXPECT_EQ(queue.dropped(), 1u);
    std::vector<LinkFrame> frames = queue.take();
    ASSERT_EQ(frames.size(), FrameQueue::kMaxFrames);
    ASSERT_TRUE(std::holds_alternative<LinkEvent>(frames.front())) << "the clear was lost";
    EXPECT_EQ(std::get<SweepFrame>(frames[1]).levels[0], 1.f) << "not the oldest sweep went";
}

TEST(FrameHandOver, DecodedSweepsReachTheModelOnlyThroughTheOwnersHandOver) {
    const MemoryResources& files = MemoryResources::recordings(SimGeneration::Tarno2);
    ControllerRig rig;
    const std::string prefix = DemoPlayback::prefix(1);
    const std::vector<uint8_t> discovery = files.readFile(prefix + "discover.bin");
    const std::vector<uint8_t> sweeps = files.readFile(prefix + "spectrumWifi.bin");
    ASSERT_FALSE(discovery.empty());
    ASSERT_FALSE(sweeps.empty());
    rig.controller.didReceiveData(nullptr, nullptr, discovery.data(),
                                  static_cast<int>(discovery.size()));
    ASSERT_TRUE(rig.controller.identified());
    rig.controller.didReceiveData(nullptr, nullptr, sweeps.data(), static_cast<int>(sweeps.size()));
    EXPECT_EQ(rig.model.band24.sweepCount(), 0) << "the packet path stored a sweep itself";
    EXPECT_FALSE(rig.model.band24.tracesReady);

    const size_t delivered = rig.controller.deliverFrames();
    ASSERT_GE(delivered, 2u);
    EXPECT_EQ(static_cast<size_t>(rig.model.band24.sweepCount()), delivered);
    EXPECT_TRUE(rig.model.band24.tracesReady);
    EXPECT_GT(rig.model.band24.processedPointCount, 1);
    EXPECT_EQ(rig.controller.deliverFrames(), 0u) << "each sweep is handed over once";
}

TEST(FrameHandOver, ThePacketPathLeavesThePhaseAndTheModelToTheirOwners) {
    const MemoryResources& files = MemoryResources::recordings(SimGeneration::Tarno2);
    ControllerRig rig;
    const std::vector<uint8_t> discovery = files.readFile(DemoPlayback::prefix(1) + "discover.bin");
    ASSERT_FALSE(discovery.empty());
    rig.controller.didReceiveData(nullptr, nullptr, discovery.data(),
                                  static_cast<int>(discovery.size()));
    EXPECT_TRUE(rig.controller.identified());
    EXPECT_EQ(rig.controller.phase(), ControllerState::kAwaitDiscovery)
        << "the packet path moved the phase itself";
    EXPECT_EQ(rig.model.accessory.generation, 0) << "the packet path wrote the description";

    rig.controller.runPass();
    EXPECT_EQ(rig.controller.phase(), ControllerState::kIdentified);
    EXPECT_NE(rig.model.accessory.generation, 0);
}

TEST(FrameHandOver, SweepsQueuedBeforeAClearingAcknowledgementGoWithTheOldData) {
    const MemoryResources& files = MemoryResources::recordings(SimGeneration::Tarno2);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 1;
    for (int i = 0; i < 100 && rig.model.band24.sweepCount() == 0; ++i)
        rig.pass();
    ASSERT_GT(rig.model.band24.sweepCount(), 0) << "the demonstration never streamed";

    rig.controller.requestReconfigure(true);
    for (int i = 0; i < 10 && rig.controller.phase() != ControllerState::kSendSettings; ++i)
        rig.pass();
    ASSERT_EQ(rig.controller.phase(), ControllerState::kSendSettings);
    // Decoded while the new settings go out, taken only after their acknowledgement.
    const std::vector<uint8_t> sweeps =
        files.readFile(DemoPlayback::prefix(1) + "spectrumWifi.bin");
    rig.controller.didReceiveData(nullptr, nullptr, sweeps.data(), static_cast<int>(sweeps.size()));
    rig.pass();
    EXPECT_EQ(rig.controller.phase(), ControllerState::kSettingsAcked);
    EXPECT_EQ(rig.model.band24.sweepCount(), 0) << "a sweep of the old settings outlived the clear";

    rig.feed(sweeps);
    EXPECT_GT(rig.model.band24.sweepCount(), 0) << "a sweep after the acknowledgement was lost";
}
