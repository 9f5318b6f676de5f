#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/MeasurementRecords.h"
#include "views/power/PowerTraceVertices.h"

namespace {

using V = PowerTraceVertices;

void addCapture(PowerTraceSet& set, float level) {
    const std::vector<float> capture(500, level);
    set.appendCapture(capture.data(), capture.size());
}

TEST(PowerTraceVertices, RollGrowsInFromTheRight) {
    std::vector<float> samples(100);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = -static_cast<float>(i);
    }
    std::vector<float> out;
    V::buildRoll(samples, 240, 239.0f, out);
    // 100 samples of 240 per screen: the right 99/239 of the width, the newest at the edge.
    ASSERT_EQ(out.size(), 200u);
    EXPECT_FLOAT_EQ(out[0], 140.0f);
    EXPECT_FLOAT_EQ(out[198], 239.0f);
    EXPECT_FLOAT_EQ(out[199], -99.0f);

    // More samples than points: the newest 240 only.
    samples.resize(300, -5.0f);
    V::buildRoll(samples, 240, 239.0f, out);
    ASSERT_EQ(out.size(), 480u);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], samples[60]);

    V::buildRoll(samples, 1, 239.0f, out);  // fewer than 2 points per screen: nothing
    EXPECT_TRUE(out.empty());
    V::buildRoll({-3.0f}, 240, 239.0f, out);
    EXPECT_TRUE(out.empty());
}

TEST(PowerTraceVertices, OneCaptureNeverFadesTwoFadeAndTheOlderGoes) {
    PowerTraceSet set;
    addCapture(set, -10);
    V::convertNewCaptures(set, 100.0f);
    const float step = V::fadeStep(0.25f, 1.0f, 0.1f);
    EXPECT_FLOAT_EQ(step, 0.25f);
    for (int frame = 0; frame < 10; ++frame) {
        V::fade(set, step);
    }
    ASSERT_EQ(set.alpha.size(), 1u);
    EXPECT_FLOAT_EQ(set.alpha[0], 1.0f);

    addCapture(set, -20);
    V::convertNewCaptures(set, 100.0f);
    V::fade(set, step);
    EXPECT_FLOAT_EQ(set.alpha[0], 0.75f);
    EXPECT_FLOAT_EQ(set.alpha[1], 1.0f);
    V::fade(set, step);
    V::fade(set, step);
    V::fade(set, step);
    ASSERT_EQ(set.alpha.size(), 2u);  // brightness 0: not drawn, removed on the next frame
    EXPECT_FLOAT_EQ(set.alpha[0], 0.0f);
    EXPECT_EQ(V::fade(set, step), 1u);
    ASSERT_EQ(set.history.size(), 1u);
    EXPECT_EQ(set.processedHistory.size(), 1u);
    EXPECT_EQ(set.history[0][0], -20.0f);
}

TEST(PowerTraceVertices, FadeStepGuards) {
    // Persistence shorter than the capture interval: at least one interval.
    EXPECT_FLOAT_EQ(V::fadeStep(0.1f, 0.1f, 0.5f), 0.1f / 0.50001f);
    // No persistence: older captures go at once; never a NaN step.
    EXPECT_FLOAT_EQ(V::fadeStep(0.1f, 0.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(V::fadeStep(0.0f, 0.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(V::fadeStep(0.1f, NAN, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(V::fadeStep(-1.0f, 2.0f, 0.1f), 0.0f);
}

TEST(PowerTraceVertices, SeventyCapturesWithLongPersistenceStayInStep) {
    PowerTraceSet set;
    const float step = V::fadeStep(0.1f, 20.0f, 0.1f);
    for (int i = 0; i < 70; ++i) {
        addCapture(set, static_cast<float>(-i));
        // Sometimes two captures arrive between frames.
        if (i % 7 == 3) {
            addCapture(set, static_cast<float>(-i));
        }
        V::convertNewCaptures(set, 100.0f);
        V::fade(set, step);
        ASSERT_EQ(set.processedHistory.size(), set.history.size()) << i;
        ASSERT_EQ(set.alpha.size(), set.history.size()) << i;
        // The newest capture is the one just converted, at full brightness.
        EXPECT_EQ(set.processedHistory.back()[1], static_cast<float>(-i)) << i;
        EXPECT_EQ(set.alpha.back(), 1.0f);
    }
    EXPECT_EQ(set.history.size(), PowerTraceSet::kMaxCaptures);
}

TEST(PowerTraceVertices, ListsOutOfStepAreRealignedAtTheOldEnd) {
    PowerTraceSet set;
    for (int i = 0; i < 3; ++i) {
        addCapture(set, static_cast<float>(-i));
    }
    V::convertNewCaptures(set, 100.0f);
    set.history.erase(set.history.begin());  // trimmed elsewhere without its vertex list
    EXPECT_EQ(V::convertNewCaptures(set, 100.0f), 0u);
    ASSERT_EQ(set.processedHistory.size(), 2u);
    EXPECT_EQ(set.alpha.size(), 2u);
    EXPECT_EQ(set.processedHistory[0][1], -1.0f);
}

TEST(PowerTraceVertices, CursorSamplingThroughDrawnPositions) {
    // Points drawn at 10 + 5 i: x = 22.5 lies halfway between points 2 and 3.
    EXPECT_FLOAT_EQ(V::pointUnder(22.5f, 10.0f, 5.0f, 6), 2.5f);
    EXPECT_FLOAT_EQ(V::pointUnder(-100.0f, 10.0f, 5.0f, 6), 0.0f);
    EXPECT_FLOAT_EQ(V::pointUnder(1000.0f, 10.0f, 5.0f, 6), 5.0f);
    EXPECT_LT(V::pointUnder(NAN, 10.0f, 5.0f, 6), 0.0f);
    EXPECT_LT(V::pointUnder(INFINITY, 10.0f, 5.0f, 6), 0.0f);
    EXPECT_LT(V::pointUnder(20.0f, 10.0f, 0.0f, 6), 0.0f);
    EXPECT_LT(V::pointUnder(20.0f, 10.0f, 5.0f, 1), 0.0f);

    const std::vector<float> vertices = {0, -10, 1, -20, 2, -40};
    EXPECT_FLOAT_EQ(V::valueAt(vertices, 0.5f), -15.0f);
    EXPECT_FLOAT_EQ(V::valueAt(vertices, 2.0f), -40.0f);
    EXPECT_FLOAT_EQ(V::valueAt(vertices, 1.75f), -35.0f);
}

}  // namespace
