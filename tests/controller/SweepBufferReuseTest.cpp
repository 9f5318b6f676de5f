// A sweep's levels cross to the model's owner in buffers that come back and are used again: a
// reused buffer must carry its own sweep only, segments must land whatever buffer they land in,
// and an owner that lags must cost neither a sweep beyond the queue's bound nor a wait on the
// decoding thread.
#include <gtest/gtest.h>

#include <vector>

#include "acquisition/FrameQueue.h"
#include "link/SegmentAssembler.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "sim/PacketEncoder.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

// The first generation's accessory, identified: two interleaved segments of 50 points a sweep.
struct FirstGenerationRig : ControllerRig {
    FirstGenerationRig() : encoder(generationProfile(SimGeneration::Tarno)) {
        std::vector<uint8_t> discovery;
        encoder.discoveryReply(discovery);
        feed(discovery);
        controller.runPass();
    }
    // A sweep whose point i has the raw count base + i (above the floor for a base from 20).
    std::vector<uint8_t> sweep(uint8_t base, std::vector<uint8_t>* raw = nullptr) const {
        std::vector<uint8_t> counts(
            static_cast<size_t>(encoder.spectrumLayout(SimBand::Band24).totalValues()));
        for (size_t i = 0; i < counts.size(); ++i)
            counts[i] = static_cast<uint8_t>(base + i);
        if (raw)
            *raw = counts;
        std::vector<uint8_t> out;
        encoder.spectrumSweep(SimBand::Band24, counts, out);
        return out;
    }
    // What a row of the band must hold for `raw`: the decoded levels, then zeros.
    std::vector<float> expectedRow(const std::vector<uint8_t>& raw) const {
        std::vector<float> row(static_cast<size_t>(model.band24.pointsPerSweep()), 0.0f);
        const LevelCalibration& cal = generationProfile(SimGeneration::Tarno).spectrumCal24;
        for (size_t i = 0; i < raw.size(); ++i)
            row[i] = cal.levelOf(raw[i]);
        return row;
    }
    std::vector<float> newestRow() const {
        const BandSweepBuffers& band = model.band24;
        const float* row = band.sweep(band.sweepCount() - 1);
        return std::vector<float>(row, row + band.pointsPerSweep());
    }

    PacketEncoder encoder;
};

}  // namespace

TEST(SweepBufferReuse, EveryReusedBufferCarriesOnlyItsOwnSweep) {
    FirstGenerationRig rig;
    // Falling bases: a buffer that kept any point of the sweep before would show it.
    for (int base = 150; base >= 30; base -= 40) {
        std::vector<uint8_t> raw;
        rig.feed(rig.sweep(static_cast<uint8_t>(base), &raw));
        ASSERT_EQ(rig.newestRow(), rig.expectedRow(raw)) << "sweep of base " << base;
        EXPECT_EQ(rig.model.band24.sweepPointCount, 100);
        EXPECT_EQ(rig.controller.spareSweepBuffers(), 1u)
            << "the sweep's buffer did not come back, or a new one was made beside it";
    }
}

TEST(SweepBufferReuse, ALaggingOwnerLosesOnlyWhatTheBoundDropsAndNeverBlocksTheDecoder) {
    FirstGenerationRig rig;
    const size_t sweeps = FrameQueue::kMaxFrames + 40;
    std::vector<uint8_t> raw;
    // The owner takes nothing while every one of these is decoded: each needs a new buffer.
    for (size_t s = 0; s < sweeps; ++s) {
        const std::vector<uint8_t> bytes = rig.sweep(static_cast<uint8_t>(s % 150), &raw);
        rig.controller.didReceiveData(nullptr, nullptr, bytes.data(),
                                      static_cast<int>(bytes.size()));
    }
    EXPECT_EQ(rig.controller.framesDropped(), sweeps - FrameQueue::kMaxFrames);
    // A dropped frame's buffer is the decoder's again: each went to the sweep after it.
    EXPECT_EQ(rig.controller.spareSweepBuffers(), 0u);
    const uint64_t before =
        rig.model.band24.firstSerial() + static_cast<uint64_t>(rig.model.band24.sweepCount());
    EXPECT_EQ(rig.controller.deliverFrames(), FrameQueue::kMaxFrames);
    const uint64_t after =
        rig.model.band24.firstSerial() + static_cast<uint64_t>(rig.model.band24.sweepCount());
    EXPECT_EQ(after - before, FrameQueue::kMaxFrames);
    EXPECT_EQ(rig.newestRow(), rig.expectedRow(raw)) << "the newest sweep was not the last kept";
    // Every buffer came back, and no more are kept than the queue can hold.
    EXPECT_EQ(rig.controller.spareSweepBuffers(), FrameQueue::kMaxFrames);
    rig.feed(rig.sweep(70, &raw));
    EXPECT_EQ(rig.newestRow(), rig.expectedRow(raw));
    EXPECT_EQ(rig.controller.spareSweepBuffers(), FrameQueue::kMaxFrames)
        << "a steady stream took more buffers than it gave back";
}

TEST(SweepBufferReuse, TheQueueHandsBackWhatTheOwnerReturnedAndKeepsDroppedBuffers) {
    FrameQueue queue;
    EXPECT_EQ(queue.pushSweep(SweepFrame{1, std::vector<float>(512, -50.0f)}).capacity(), 0u)
        << "a buffer came from nowhere";
    std::vector<LinkFrame> taken;
    queue.takeInto(taken);
    ASSERT_EQ(taken.size(), 1u);
    queue.recycle(taken);
    EXPECT_TRUE(taken.empty());
    ASSERT_EQ(queue.spareBuffers(), 1u);
    const std::vector<float> reused = queue.pushSweep(SweepFrame{1, std::vector<float>(4)});
    EXPECT_GE(reused.capacity(), 512u) << "the owner's buffer was not handed back";
    EXPECT_EQ(queue.spareBuffers(), 0u);
    queue.takeInto(taken);
    queue.recycle(taken);

    // A full queue drops its oldest measurement, whose buffer goes to the next sweep.
    FrameQueue full;
    for (size_t n = 0; n < FrameQueue::kMaxFrames; ++n)
        full.push(SweepFrame{1, std::vector<float>(4, static_cast<float>(n))});
    const std::vector<float> victim = full.pushSweep(SweepFrame{1, std::vector<float>(4, -1.0f)});
    EXPECT_EQ(full.dropped(), 1u);
    ASSERT_EQ(victim.size(), 4u);
    EXPECT_EQ(victim[0], 0.0f) << "not the oldest sweep's buffer";
    full.takeInto(taken);
    EXPECT_EQ(std::get<SweepFrame>(taken.front()).levels[0], 1.0f);
    EXPECT_EQ(std::get<SweepFrame>(taken.back()).levels[0], -1.0f);
    full.recycle(taken);
    EXPECT_EQ(full.spareBuffers(), FrameQueue::kMaxFrames) << "more spares than frames in flight";
}

TEST(SegmentAssembler, ATraceSwappedOutLeavesNothingOfItInTheNext) {
    auto protocol = createAccessoryProtocol(2);  // the first generation: interleaved segments
    ASSERT_NE(protocol, nullptr);
    SegmentAssembler assembler;
    const std::vector<float> a0(50, 1.0f), a1(50, 2.0f), b0(50, 3.0f), b1(50, 4.0f);
    ASSERT_EQ(assembler.add(*protocol, a0.data(), 50, 0, 2), SegmentAssembler::Result::kPending);
    ASSERT_EQ(assembler.add(*protocol, a1.data(), 50, 1, 2), SegmentAssembler::Result::kComplete);
    std::vector<float> first(100, 99.0f);  // a used buffer of the same size, handed in
    assembler.swapValues(first);
    ASSERT_EQ(first.size(), 100u);
    EXPECT_EQ(first[0], 1.0f);
    EXPECT_EQ(first[1], 2.0f);
    // The next trace fills the swapped-in buffer, its segments in reverse order.
    ASSERT_EQ(assembler.add(*protocol, b1.data(), 50, 1, 2), SegmentAssembler::Result::kPending);
    ASSERT_EQ(assembler.add(*protocol, b0.data(), 50, 0, 2), SegmentAssembler::Result::kPending)
        << "segment 0 restarts a pending trace";
    ASSERT_EQ(assembler.add(*protocol, b1.data(), 50, 1, 2), SegmentAssembler::Result::kComplete);
    const std::vector<float>& second = assembler.values();  // in the buffer of 99s
    ASSERT_EQ(second.size(), 100u);
    for (size_t i = 0; i < second.size(); ++i)
        ASSERT_EQ(second[i], i % 2 == 0 ? 3.0f : 4.0f) << i;
}

TEST(SegmentAssembler, AShortSegmentOrTooManySegmentsDropTheTrace) {
    auto protocol = createAccessoryProtocol(2);
    ASSERT_NE(protocol, nullptr);
    SegmentAssembler assembler;
    const std::vector<float> values(100, 1.0f);
    ASSERT_EQ(assembler.add(*protocol, values.data(), 50, 0, 2),
              SegmentAssembler::Result::kPending);
    EXPECT_EQ(assembler.add(*protocol, values.data(), 49, 1, 2),
              SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.pendingSegments(), 0u);
    // Another segment count in the middle of a trace is another trace.
    ASSERT_EQ(assembler.add(*protocol, values.data(), 25, 0, 4),
              SegmentAssembler::Result::kPending);
    EXPECT_EQ(assembler.add(*protocol, values.data(), 25, 1, 2),
              SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.add(*protocol, values.data(), 1, 0, SegmentAssembler::kMaxSegments + 1),
              SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.pendingSegments(), 0u);
}
