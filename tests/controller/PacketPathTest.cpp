// The controller's packet path fed directly: framing across deliveries, identification, the run
// state, segment assembly, the heat map and streams no accessory would send.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "acquisition/HeatMapBuilder.h"
#include "link/SegmentAssembler.h"
#include "model/MillisecondClock.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "sim/PacketEncoder.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

using Phase = AccessoryCommunicationDelegate::Phase;

struct Wire {
    explicit Wire(SimGeneration generation) : encoder(generationProfile(generation)) {}

    std::vector<uint8_t> discovery() const {
        std::vector<uint8_t> out;
        encoder.discoveryReply(out);
        return out;
    }
    // One sweep whose point i has raw count base + i % 50.
    std::vector<uint8_t> sweep(uint8_t base, SimBand band = SimBand::Band24) const {
        std::vector<uint8_t> raw(static_cast<size_t>(encoder.spectrumLayout(band).totalValues()));
        for (size_t i = 0; i < raw.size(); ++i) {
            raw[i] = static_cast<uint8_t>(base + i % 50);
        }
        std::vector<uint8_t> out;
        encoder.spectrumSweep(band, raw, out);
        return out;
    }
    std::vector<uint8_t> capture(bool marker, std::vector<uint8_t>* raw = nullptr) const {
        std::vector<uint8_t> counts(static_cast<size_t>(encoder.profile().power.totalValues()));
        for (size_t i = 0; i < counts.size(); ++i) {
            counts[i] = static_cast<uint8_t>((i * 7) % 250);
        }
        if (raw) {
            *raw = counts;
        }
        std::vector<uint8_t> out;
        encoder.powerCapture(counts, marker, true, out);
        return out;
    }
    std::vector<uint8_t> ack() const {
        std::vector<uint8_t> out;
        encoder.settingsAck(1, out);
        return out;
    }

    PacketEncoder encoder;
};

int sweeps(ControllerRig& rig, BandSweepBuffers& band) {
    std::lock_guard<ModelLock> guard(rig.model.traceLock);
    return band.sweepCount();
}

// A rig whose controller has accepted the discovery reply of `generation`, and whose worker has
// taken that reply at its next pass.
struct IdentifiedRig : ControllerRig {
    explicit IdentifiedRig(SimGeneration generation) : wire(generation) {
        feed(wire.discovery());
        controller.runPass();
    }
    Wire wire;
};

}  // namespace

TEST(PacketPath, DiscoveryIdentifiesTheGenerationAndCopiesTheDescription) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    EXPECT_TRUE(rig.controller.identified());
    EXPECT_EQ(rig.controller.phase(), Phase::kIdentified);
    EXPECT_EQ(rig.model.accessory.generation, 6);
    EXPECT_TRUE(rig.model.accessory.hasSsidScan24);
    // A second reply outside phase 1 is framed and ignored.
    rig.model.accessory.generation = 0;
    rig.feed(rig.wire.discovery());
    EXPECT_EQ(rig.model.accessory.generation, 0);
    EXPECT_EQ(rig.controller.bufferedBytes(), 0u);
}

TEST(PacketPath, UnknownGenerationEmptiesTheBufferAndCreatesNoProtocol) {
    ControllerRig rig;
    std::vector<uint8_t> reply = Wire(SimGeneration::Tarno2).discovery();
    reply[2] = 5;
    std::vector<uint8_t> tail = Wire(SimGeneration::Tarno2).sweep(60);
    reply.insert(reply.end(), tail.begin(), tail.begin() + 100);
    rig.feed(reply);
    EXPECT_FALSE(rig.controller.identified());
    EXPECT_EQ(rig.controller.bufferedBytes(), 0u);
    EXPECT_EQ(rig.controller.droppedBytes(), reply.size());
    EXPECT_EQ(rig.controller.phase(), Phase::kAwaitDiscovery);
}

TEST(PacketPath, IncompleteTailWaitsForTheNextDeliveryAndGarbageIsSkipped) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    std::vector<uint8_t> first = rig.wire.sweep(70);
    std::vector<uint8_t> second = rig.wire.sweep(90);
    std::vector<uint8_t> delivery = {0x00, 0x13, 0xFF, 0x55};
    delivery.insert(delivery.end(), first.begin(), first.end());
    delivery.insert(delivery.end(), second.begin(), second.begin() + 10);
    rig.feed(delivery);
    EXPECT_EQ(sweeps(rig, rig.model.band24), 1);
    EXPECT_EQ(rig.controller.bufferedBytes(), 10u);
    rig.feed(std::vector<uint8_t>(second.begin() + 10, second.end()));
    EXPECT_EQ(sweeps(rig, rig.model.band24), 2);
    EXPECT_EQ(rig.controller.bufferedBytes(), 0u);
    // Raw 90 at point 0 with the second generation's 0.5 dB counts from -120 dBm.
    EXPECT_FLOAT_EQ(rig.model.band24.sweep(1)[0], -75.0f);
    EXPECT_EQ(rig.model.band24.sweepPointCount, 256);
}

TEST(PacketPath, ReconnectDiscardsTheStaleTail) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    std::vector<uint8_t> sweep = rig.wire.sweep(70);
    rig.feed(std::vector<uint8_t>(sweep.begin(), sweep.begin() + 10));
    rig.controller.didDisconnect(nullptr, nullptr, 0);
    // The rest of the old packet followed by a whole new one: only the new one counts.
    std::vector<uint8_t> delivery(sweep.begin() + 10, sweep.end());
    delivery.insert(delivery.end(), sweep.begin(), sweep.end());
    rig.feed(delivery);
    EXPECT_EQ(sweeps(rig, rig.model.band24), 1);
}

TEST(PacketPath, PausedRunStateFramesAndDropsMeasurements) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    rig.model.runtime.runState = SpectrumSettings::kPaused;
    rig.feed(rig.wire.sweep(70));
    rig.feed(rig.wire.capture(true));
    EXPECT_EQ(sweeps(rig, rig.model.band24), 0);
    EXPECT_TRUE(rig.model.live.history.empty());
    EXPECT_EQ(rig.controller.bufferedBytes(), 0u);
}

TEST(PacketPath, SingleShotTakesTheFirstSweepAndHalts) {
    IdentifiedRig rig(SimGeneration::TarnoDuo);
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    rig.feed(rig.wire.sweep(70));
    EXPECT_EQ(rig.model.runtime.runState, SpectrumSettings::kSingleShotTaken);
    rig.pass();  // the worker takes the halt at the start of its next pass
    EXPECT_EQ(rig.controller.phase(), Phase::kHalt);
    rig.feed(rig.wire.sweep(80));
    EXPECT_EQ(sweeps(rig, rig.model.band24), 1);
}

TEST(PacketPath, FirstGenerationCaptureAssemblesSegmentsInAnyOrderAfterSegmentZero) {
    IdentifiedRig rig(SimGeneration::Tarno);
    rig.model.common_settings.spectrumMode = 0;
    std::vector<uint8_t> raw;
    std::vector<uint8_t> capture = rig.wire.capture(true, &raw);
    ASSERT_EQ(capture.size(), 6u * 62u);
    auto segment = [&](int s) {
        return std::vector<uint8_t>(capture.begin() + s * 62, capture.begin() + (s + 1) * 62);
    };
    for (int s : {0, 3, 1, 5, 2}) {
        rig.feed(segment(s));
    }
    EXPECT_TRUE(rig.model.live.history.empty());
    rig.feed(segment(4));
    ASSERT_EQ(rig.model.live.history.size(), 1u);
    const std::vector<float>& values = rig.model.live.history[0];
    ASSERT_EQ(values.size(), 240u);
    const LevelCalibration& cal = generationProfile(SimGeneration::Tarno).powerCal;
    for (size_t i = 0; i < values.size(); ++i) {
        ASSERT_FLOAT_EQ(values[i], cal.levelOf(raw[i])) << i;
    }
    EXPECT_EQ(rig.model.runtime.triggerStatus, 0);
}

TEST(PacketPath, RepeatedOrRestartedSegmentsNeverMakeAMixedCapture) {
    IdentifiedRig rig(SimGeneration::Tarno);
    rig.model.common_settings.spectrumMode = 0;
    std::vector<uint8_t> capture = rig.wire.capture(true);
    auto segment = [&](int s) {
        return std::vector<uint8_t>(capture.begin() + s * 62, capture.begin() + (s + 1) * 62);
    };
    // Segment 2 twice means one was lost: the capture is dropped, not padded with stale values.
    for (int s : {0, 1, 2, 2, 3, 4, 5}) {
        rig.feed(segment(s));
    }
    EXPECT_TRUE(rig.model.live.history.empty());
    // Segment 0 while segments are pending starts over.
    for (int s : {0, 1, 0, 1, 2, 3, 4, 5}) {
        rig.feed(segment(s));
    }
    EXPECT_EQ(rig.model.live.history.size(), 1u);
}

TEST(PacketPath, SettingsAcknowledgementDropsPendingSegments) {
    IdentifiedRig rig(SimGeneration::Tarno);
    std::vector<uint8_t> sweep = rig.wire.sweep(60);
    rig.feed(std::vector<uint8_t>(sweep.begin(), sweep.begin() + 52));
    rig.feed(rig.wire.ack());
    rig.controller.runPass();  // the worker takes the reply
    EXPECT_EQ(rig.controller.phase(), Phase::kSettingsAcked);
    rig.feed(std::vector<uint8_t>(sweep.begin() + 52, sweep.end()));
    EXPECT_EQ(sweeps(rig, rig.model.band24), 0);
    rig.feed(sweep);
    EXPECT_EQ(sweeps(rig, rig.model.band24), 1);
    EXPECT_EQ(rig.model.band24.sweepPointCount, 100);
}

TEST(PacketPath, NormalTriggerDropsUntriggeredCapturesAndTracksTriggerStatus) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    rig.model.common_settings.spectrumMode = 0;
    rig.model.power_setting.triggerAuto = 0;
    rig.feed(rig.wire.capture(true));
    EXPECT_EQ(rig.model.live.history.size(), 1u);
    EXPECT_EQ(rig.model.runtime.triggerStatus, 0);
    rig.clock.advance(2500);
    rig.feed(rig.wire.capture(false));
    EXPECT_EQ(rig.model.live.history.size(), 1u);
    EXPECT_EQ(rig.model.runtime.triggerStatus, 2);
    rig.clock.advance(8000);
    rig.feed(rig.wire.capture(false));
    EXPECT_EQ(rig.model.runtime.triggerStatus, 1);
}

TEST(PacketPath, PendingCapturesAreBoundedWithoutAView) {
    IdentifiedRig rig(SimGeneration::Tarno2);
    rig.model.common_settings.spectrumMode = 0;
    std::vector<uint8_t> capture = rig.wire.capture(true);
    for (int i = 0; i < 200; ++i) {
        rig.feed(capture);
    }
    EXPECT_EQ(rig.model.live.history.size(), AccessoryCommunicationDelegate::kMaxPendingCaptures);
}

TEST(PacketPath, HostileStreamsNeverGrowTheBufferOrWedgeThePath) {
    IdentifiedRig rig(SimGeneration::TarnoDuo);
    std::mt19937 random(7);
    std::vector<uint8_t> chunk(2048);
    size_t largest = 0;
    for (int i = 0; i < 2000; ++i) {
        for (uint8_t& b : chunk) {
            // Plenty of sync bytes and headers of every type with absurd lengths.
            b = random() % 3 == 0 ? 0xAA : static_cast<uint8_t>(random());
        }
        rig.feed(chunk);
        largest = std::max(largest, rig.controller.bufferedBytes());
    }
    EXPECT_LE(largest, chunk.size() + 516u);
    // A list announcing 5 records that holds one, then the stream goes on: it resynchronises.
    rig.model.runtime.runState = SpectrumSettings::kRunning;
    std::vector<uint8_t> list = {0xAA, 0xE0, 5, 0};
    list.resize(4 + 64, 0x11);
    rig.feed(list);
    std::vector<uint8_t> filler(5 * 64, 0x00);
    rig.feed(filler);
    rig.feed(rig.wire.sweep(70));
    rig.feed(rig.wire.sweep(70));
    EXPECT_GE(sweeps(rig, rig.model.band24), 1);
    std::lock_guard<ModelLock> guard(rig.model.apListLock);
    EXPECT_LE(rig.model.accessPoints.size(), AccessoryCommunicationDelegate::kMaxAccessPoints);
}

TEST(SegmentAssembler, RejectsIndicesOutsideTheTrace) {
    auto protocol = createAccessoryProtocol(2);
    SegmentAssembler assembler;
    float values[50] = {};
    EXPECT_EQ(assembler.add(*protocol, values, 50, 2, 2), SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.add(*protocol, values, 50, -1, 2), SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.add(*protocol, values, 50, 0, 2), SegmentAssembler::Result::kPending);
    // A segment of another length cannot belong to this trace.
    EXPECT_EQ(assembler.add(*protocol, values, 49, 1, 2), SegmentAssembler::Result::kDropped);
    EXPECT_EQ(assembler.pendingSegments(), 0u);
}

TEST(HeatMap, CountsEachPointOfTheNewestFiftySweepsInItsLevelRow) {
    BandSweepBuffers band(256);
    std::vector<float> sweep(4);
    for (int s = 0; s < 60; ++s) {
        sweep = {-90.0f, -50.0f, -10.0f, s < 10 ? -10.0f : -90.0f};
        band.appendSweep(sweep.data(), 4);
    }
    HeatMapBuilder::rebuild(band, 4, 5, -90.0f, -10.0f);
    const HeatMap& map = band.heatMap;
    ASSERT_EQ(map.columns, 4);
    ASSERT_EQ(map.rows, 5);
    EXPECT_EQ(map.counts[0 * 4 + 0], 50);  // -90 in row 0
    EXPECT_EQ(map.counts[2 * 4 + 1], 50);  // -50 in the middle row
    EXPECT_EQ(map.counts[4 * 4 + 2], 50);  // -10 in the top row
    EXPECT_EQ(map.counts[0 * 4 + 3], 50);  // the ten older sweeps at -10 are not counted
    EXPECT_EQ(map.counts[4 * 4 + 3], 0);
    EXPECT_TRUE(map.dirty);
    EXPECT_TRUE(band.waterfallDirty);
}

TEST(HeatMap, LevelsOutsideTheRangeAndNanRangesStayInsideTheGrid) {
    BandSweepBuffers band(256);
    std::vector<float> sweep = {-150.0f, 30.0f, NAN, -50.0f};
    band.appendSweep(sweep.data(), 4);
    HeatMapBuilder::rebuild(band, 4, 5, -90.0f, -10.0f);
    const HeatMap& map = band.heatMap;
    EXPECT_EQ(map.counts[0 * 4 + 0], 1);  // below the range: bottom row
    EXPECT_EQ(map.counts[4 * 4 + 1], 1);  // above: top row
    int nanColumn = 0;
    for (int r = 0; r < 5; ++r) {
        nanColumn += map.counts[static_cast<size_t>(r) * 4 + 2];
    }
    EXPECT_EQ(nanColumn, 0);

    // No description yet: NaN range, and an empty one. Sized, but nothing counted.
    for (auto [lo, hi] : {std::pair{NAN, NAN}, std::pair{-50.0f, -50.0f}}) {
        HeatMapBuilder::rebuild(band, 4, 5, lo, hi);
        EXPECT_EQ(band.heatMap.counts.size(), 20u);
        EXPECT_EQ(std::accumulate(band.heatMap.counts.begin(), band.heatMap.counts.end(), 0), 0);
    }
    HeatMapBuilder::rebuild(band, 4, 0, -90.0f, -10.0f);
    EXPECT_TRUE(band.heatMap.counts.empty());
    HeatMapBuilder::rebuild(band, 4, 1 << 30, -90.0f, -10.0f);
    EXPECT_EQ(band.heatMap.rows, HeatMapBuilder::kMaxRows);
}

TEST(HeatMap, SweepBySweepUpdatesEqualAFullRecountThroughLimitsAndClears) {
    BandSweepBuffers band(256);
    band.sweepLimit = 120;
    HeatMapBuilder builder;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> level(-110.0f, 0.0f);
    std::vector<float> sweep(200);
    for (int s = 0; s < 400; ++s) {
        for (float& v : sweep) {
            v = level(random);
        }
        sweep[s % 200] = NAN;
        if (s == 250) {
            band.clear();  // a configuration change in between
        }
        band.appendSweep(sweep.data(), 200);
        builder.update(band, 200, 64, -90.0f, -10.0f);
        if (s % 37 == 0 || s == 399) {
            std::vector<uint16_t> incremental = band.heatMap.counts;
            HeatMapBuilder::rebuild(band, 200, 64, -90.0f, -10.0f);
            ASSERT_EQ(incremental, band.heatMap.counts) << "after sweep " << s;
        }
    }
    // A new level range recounts.
    builder.update(band, 200, 64, -100.0f, -20.0f);
    std::vector<uint16_t> incremental = band.heatMap.counts;
    HeatMapBuilder::rebuild(band, 200, 64, -100.0f, -20.0f);
    EXPECT_EQ(incremental, band.heatMap.counts);
}

TEST(PacketPath, EverNewAccessPointsKeepTheListBoundedToTheMostRecentlySeen) {
    IdentifiedRig rig(SimGeneration::TarnoDuo);
    std::vector<SimAccessPoint> batch(20);
    for (int list = 0; list < 40; ++list) {
        for (int i = 0; i < 20; ++i) {
            SimAccessPoint& ap = batch[static_cast<size_t>(i)];
            ap.name = "net";
            ap.bssid[0] = 0x02;
            ap.bssid[4] = static_cast<uint8_t>(list);
            ap.bssid[5] = static_cast<uint8_t>(i);
            ap.channel = 6;
            ap.rssi = -60;
            ap.standards = 0x06;
        }
        std::vector<uint8_t> packet;
        rig.wire.encoder.accessPointList(batch, packet);
        rig.feed(packet);
        rig.clock.advance(100);
    }
    std::lock_guard<ModelLock> guard(rig.model.apListLock);
    ASSERT_EQ(rig.model.accessPoints.size(), AccessoryCommunicationDelegate::kMaxAccessPoints);
    EXPECT_EQ(rig.model.runtime.scanCount, 40);
    for (const auto& ap : rig.model.accessPoints) {
        // 800 were seen: the 288 least recently seen (lists 0 to 13 and part of 14) are gone.
        ASSERT_GE(ap->bssid[4], 14);
    }
}

TEST(PacketPath, AccessPointsAreLastSeenAtTheControllersClockNotTheProcessClock) {
    IdentifiedRig rig(SimGeneration::TarnoDuo);
    std::vector<SimAccessPoint> list(3);
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].name = "lab";
        list[i].bssid[0] = 0x02;
        list[i].bssid[5] = static_cast<uint8_t>(i);
        list[i].channel = 1;
        list[i].rssi = -50;
    }
    std::vector<uint8_t> packet;
    rig.wire.encoder.accessPointList(list, packet);
    rig.feed(packet);
    // Simulated time jumps an hour ahead; the next sighting is stamped an hour later.
    rig.clock.advance(3600 * 1000);
    list.pop_back();
    packet.clear();
    rig.wire.encoder.accessPointList(list, packet);
    rig.feed(packet);

    std::lock_guard<ModelLock> guard(rig.model.apListLock);
    ASSERT_EQ(rig.model.accessPoints.size(), 3u);
    EXPECT_EQ(rig.model.accessPoints[0]->lastSeen, 1000u + 3600u * 1000u);
    EXPECT_EQ(rig.model.accessPoints[1]->lastSeen, 1000u + 3600u * 1000u);
    EXPECT_EQ(rig.model.accessPoints[2]->lastSeen, 1000u);
}
