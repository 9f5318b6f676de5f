// Spectrum levels are looked up, not worked out, per point, and segments go straight to their
// places: both must give exactly what the formula and the reorder give, for every byte, every
// calibration the accessory may announce, and every order the segments may arrive in.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "protocol/LevelTable.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

bool sameBits(float a, float b) {
    uint32_t x;
    uint32_t y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// What the decoder gave before the table: the formula, evaluated per point.
float formula(uint8_t raw, const BandCalibration& band) {
    const float v = static_cast<float>(raw) * band.scale + band.offset;
    return v < band.floor ? band.floor : v;
}

}  // namespace

TEST(LevelTable, EveryByteDecodesBitForBitAsTheFormulaUnderEveryCalibration) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<BandCalibration> calibrations = {
        {0.36290324f, -100.0f, 20 * 0.36290324f - 100.0f},  // the first generation's
        {0.5f, -0.0f, -inf},                                // -0 at raw 0, no floor
        {0.1f, -110.0f, nan},                               // a NaN floor never clamps
        {nan, 0.0f, -50.0f},                                // a NaN scale decodes NaN
        {1e38f, 1e38f, 0.0f},                               // overflows to +inf
        {0.5f, 0.0f, 0.0f},
    };
    LevelTable table;  // one table for all: each change of calibration must be noticed
    for (const BandCalibration& band : calibrations) {
        const float* levels = table.levelsFor(band);
        for (int raw = 0; raw < 256; ++raw) {
            const float expected = formula(static_cast<uint8_t>(raw), band);
            ASSERT_TRUE(sameBits(levels[raw], expected))
                << "raw " << raw << " scale " << band.scale << " offset " << band.offset
                << " floor " << band.floor << ": " << levels[raw] << " vs " << expected;
        }
    }
}

TEST(LevelTable, ANewDescriptionChangesWhatTheNextPacketDecodesTo) {
    AccessoryProtocolTarno p;
    ASSERT_EQ(p.parseDescription(discoveryTarno(20).data(), discoveryTarno(20).size(), nullptr), 0);
    Bytes b = packet(5, 52, 0x00);
    for (int i = 0; i < 50; ++i)
        b[2 + i] = static_cast<uint8_t>(i * 5);
    std::vector<float> first(50);
    std::vector<float> second(50);
    int count = 0, band = 0, segment = 0;
    ASSERT_EQ(p.parseSpectrum(b.data(), b.size(), first.data(), 50, &count, &band, &segment), 0);
    // A higher floor: the low bytes decode to it now, the high ones are unchanged.
    const Bytes higher = discoveryTarno(100);
    ASSERT_EQ(p.parseDescription(higher.data(), higher.size(), nullptr), 0);
    ASSERT_EQ(p.parseSpectrum(b.data(), b.size(), second.data(), 50, &count, &band, &segment), 0);
    const BandCalibration& now = p.calibration().bands[0];
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(sameBits(second[i], formula(b[2 + i], now))) << i;
    }
    EXPECT_NE(first[0], second[0]) << "the old floor's table was used";
    EXPECT_EQ(first[49], second[49]);
}

TEST(PlaceSegment, EveryArrivalOrderGivesWhatTheReorderGives) {
    AccessoryProtocolTarno interleaved;
    AccessoryProtocolTarno2 blocks;
    for (const AccessoryProtocol* p : {static_cast<const AccessoryProtocol*>(&interleaved),
                                       static_cast<const AccessoryProtocol*>(&blocks)}) {
        constexpr int kSegments = 4;
        constexpr size_t kPoints = 7;  // not a multiple of the four-point steps
        std::array<int, kSegments> order{0, 1, 2, 3};
        do {
            // Segment s carries the values 100 s + k, in arrival order `order`.
            std::vector<float> arrived;
            for (int s : order)
                for (size_t k = 0; k < kPoints; ++k)
                    arrived.push_back(static_cast<float>(100 * s) + static_cast<float>(k));
            std::vector<float> reordered = arrived;
            ASSERT_TRUE(
                p->reorderSegments(reordered.data(), reordered.size(), order.data(), kSegments));
            std::vector<float> placed(arrived.size(), -1.0f);
            for (size_t j = 0; j < kSegments; ++j)
                ASSERT_TRUE(p->placeSegment(arrived.data() + j * kPoints, kPoints, order[j],
                                            kSegments, placed.data()));
            ASSERT_EQ(placed, reordered);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST(PlaceSegment, AnIndexOutsideTheTraceTouchesNothing) {
    AccessoryProtocolTarno p;
    const std::vector<float> values = {1, 2, 3};
    std::vector<float> trace(6, 9.0f);
    EXPECT_FALSE(p.placeSegment(values.data(), 3, 2, 2, trace.data()));
    EXPECT_FALSE(p.placeSegment(values.data(), 3, -1, 2, trace.data()));
    EXPECT_FALSE(p.placeSegment(nullptr, 3, 0, 2, trace.data()));
    EXPECT_FALSE(p.placeSegment(values.data(), 3, 0, 2, nullptr));
    EXPECT_EQ(trace, std::vector<float>(6, 9.0f));
}

TEST(SpectrumHeader, RefusesEveryPacketParseSpectrumRefusesAndDecodesTheSameLevels) {
    AccessoryProtocolTarno first;
    AccessoryProtocolTarno25 third;
    ASSERT_EQ(first.parseDescription(discoveryTarno().data(), discoveryTarno().size(), nullptr), 0);
    ASSERT_EQ(third.parseDescription(discoveryTarno25().data(), discoveryTarno25().size(), nullptr),
              0);
    std::vector<std::pair<AccessoryProtocol*, Bytes>> packets;
    Bytes sweep1 = packet(5, 52, 0x01);  // segment 1 of the first generation
    Bytes sweep24 = packet(5, 260);
    Bytes sweep5 = packet(5, 516);
    sweep5[2] = 1;
    Bytes unknownBand = packet(5, 516);
    unknownBand[2] = 2;
    Bytes empty = packet(5, 4, 0x01);
    Bytes power = packet(1, 52);
    for (Bytes* b : {&sweep1, &sweep24, &sweep5, &unknownBand, &empty, &power})
        for (size_t i = 3; i < b->size(); ++i)
            (*b)[i] = static_cast<uint8_t>(i * 37);
    for (const Bytes* b : {&sweep1, &power})
        packets.emplace_back(&first, *b);
    for (const Bytes* b : {&sweep24, &sweep5, &unknownBand, &empty})
        packets.emplace_back(&third, *b);
    for (auto& [p, bytes] : packets) {
        // Every length up to the whole packet: a short one must be refused by both.
        for (size_t length = 0; length <= bytes.size(); ++length) {
            std::vector<float> parsed(512, -1.0f);
            int count = -1, band = -1, segment = -1;
            const int whole = p->parseSpectrum(bytes.data(), length, parsed.data(), parsed.size(),
                                               &count, &band, &segment);
            int headerCount = -1, headerBand = -1, headerSegment = -1;
            const int header = p->parseSpectrumHeader(bytes.data(), length, &headerCount,
                                                      &headerBand, &headerSegment);
            ASSERT_EQ(header, whole) << "length " << length << " of " << bytes.size();
            if (whole != 0)
                continue;
            ASSERT_EQ(headerCount, count);
            ASSERT_EQ(headerBand, band);
            ASSERT_EQ(headerSegment, segment);
            if (count <= 0)
                continue;
            // Spread three apart, the levels are those parseSpectrum gave, and nothing between.
            std::vector<float> spread(static_cast<size_t>(count) * 3, -7.0f);
            p->decodeSpectrum(bytes.data(), band, spread.data(), 3);
            for (size_t k = 0; k < static_cast<size_t>(count); ++k) {
                ASSERT_TRUE(sameBits(spread[3 * k], parsed[k])) << k;
                ASSERT_EQ(spread[3 * k + 1], -7.0f);
                ASSERT_EQ(spread[3 * k + 2], -7.0f);
            }
        }
    }
}
