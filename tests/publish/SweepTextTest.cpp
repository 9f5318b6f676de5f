// The printed forms of a sweep, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/TraceProcessing.h"
#include "publish/SweepText.h"

namespace {

SweepRecord threePoints() {
    SweepRecord sweep;
    sweep.timeUs = 1765224098123456u;  // 2025-12-08 20:01:38.123456 UTC
    sweep.band = 0;
    sweep.startHz = 2400000000u;
    sweep.stepHz = 50000000u;
    sweep.levels = {-80.f, -42.126f, -0.004f};
    return sweep;
}

}  // namespace

TEST(SweepText, CsvIsHackrfSweepsLine) {
    EXPECT_EQ(SweepText::csv(threePoints()),
              "2025-12-08, 20:01:38.123456, 2400000000, 2550000000, 50000000, 3, -80.00, -42.13, "
              "-0.00");
    SweepRecord sweep = threePoints();
    sweep.timeUs = 59999999u;  // microseconds never round into the next second
    sweep.band = 1;
    sweep.startHz = 5145000000u;
    sweep.stepHz = 1399217u;
    sweep.levels = {-INFINITY, std::numeric_limits<float>::quiet_NaN()};
    EXPECT_EQ(SweepText::csv(sweep),
              "1970-01-01, 00:00:59.999999, 5145000000, 5147798434, 1399217, 2, -inf, nan");
}

TEST(SweepText, JsonWithoutAndWithTraces) {
    SweepRecord sweep = threePoints();
    EXPECT_EQ(SweepText::json(sweep),
              "{\"time\":\"2025-12-08T20:01:38.123456Z\",\"band\":\"2.4\",\"start\":2400000000,"
              "\"stop\":2500000000,\"step\":50000000,\"levels\":[-80.00,-42.13,-0.00]}");

    ASSERT_TRUE(SweepText::parseTraceList("avg,live,max", sweep.traceMask));
    sweep.traces[2] = {-70.f, -40.f, -1.f};
    sweep.traces[4] = {-75.f, -41.f, NAN};
    sweep.peaks[0] = {PeakEntry{2, -0.004f}, PeakEntry{1, -42.126f}};
    sweep.peaks[2] = {PeakEntry{2, -1.f}};
    sweep.peaks[4] = {};
    sweep.band = 1;
    EXPECT_EQ(SweepText::json(sweep),
              "{\"time\":\"2025-12-08T20:01:38.123456Z\",\"band\":\"5\",\"start\":2400000000,"
              "\"stop\":2500000000,\"step\":50000000,\"levels\":[-80.00,-42.13,-0.00],"
              "\"traces\":{\"max\":[-70.00,-40.00,-1.00],\"avg\":[-75.00,-41.00,null]},"
              "\"peaks\":{\"live\":[{\"hz\":2500000000,\"dB\":-0.00},{\"hz\":2450000000,"
              "\"dB\":-42.13}],\"max\":[{\"hz\":2500000000,\"dB\":-1.00}],\"avg\":[]}}");
}

TEST(SweepText, TraceLists) {
    uint8_t mask = 0xff;
    ASSERT_TRUE(SweepText::parseTraceList("live,max,avg,decay,min", mask));
    EXPECT_EQ(mask, TraceProcessing::kRawBit | TraceProcessing::kMaxBit |
                        TraceProcessing::kAverageBit | TraceProcessing::kDecayBit |
                        TraceProcessing::kMinBit);
    ASSERT_TRUE(SweepText::parseTraceList("decay", mask));
    EXPECT_EQ(mask, TraceProcessing::kDecayBit);
    for (const char* bad : {"", "live,", ",max", "live,,max", "LIVE", "heat", "max avg"}) {
        mask = 0x42;
        EXPECT_FALSE(SweepText::parseTraceList(bad, mask)) << bad;
        EXPECT_EQ(mask, 0x42) << bad;  // untouched on failure
    }
    EXPECT_FALSE(SweepText::parseTraceList(nullptr, mask));
}
