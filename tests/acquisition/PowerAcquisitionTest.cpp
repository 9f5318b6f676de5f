// Power samples in, the stored trace and its measurements out: the roll thinned to the time base
// across packets, kept to its length, and measured over the screenful the view shows.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "acquisition/PowerAcquisition.h"
#include "model/SpectrumSettings.h"

namespace {

struct Measured {
    std::vector<float> values;
    float interval = 0.f;
    int calls = 0;
};

// A second-generation description: rolling at 0.5 s/div, two and a half times the 0.2 s/div the
// accessory sends while rolling, so every third sample is kept.
void rollAtHalfASecond(SpectrumSettings& model) {
    model.accessory.generation = 6;
    model.accessory.powerTimeBases = {0.1f, 0.2f, 0.5f};
    model.accessory.secondLimit = 1;
    model.accessory.powerRollPoints = 10;
    model.power_setting.powerTimeBaseIndex = 2;
}

PowerAcquisition measuring(Measured& out) {
    PowerAcquisition acquisition;
    acquisition.setPulseMeasurement(
        [&out](SpectrumSettings&, const float* values, size_t count, float interval) {
            out.values.assign(values, values + count);
            out.interval = interval;
            ++out.calls;
        });
    return acquisition;
}

std::vector<float> counting(float from, size_t n) {
    std::vector<float> values(n);
    std::iota(values.begin(), values.end(), from);
    return values;
}

}  // namespace

TEST(PowerAcquisition, TheRollKeepsEveryThirdSampleAcrossPacketsAndMeasuresTheScreenful) {
    SpectrumSettings model;
    rollAtHalfASecond(model);
    Measured measured;
    PowerAcquisition acquisition = measuring(measured);
    const std::vector<float> first = counting(0.f, 7);  // keeps 0, 3, 6
    EXPECT_EQ(acquisition.addRollingSamples(model, first.data(), first.size()),
              (std::vector<float>{0.f, 3.f, 6.f}));
    const std::vector<float> second = counting(7.f, 40);  // the count carries on: 9, 12, ...
    const std::vector<float>& kept = acquisition.addRollingSamples(model, second.data(), 40);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.front(), 9.f);
    EXPECT_EQ(model.live.rollingHistory.size(), 3u + kept.size());
    EXPECT_TRUE(model.live.powerDataChanged);
    // The newest ten kept samples, 0.5 s/div over ten divisions of ten points.
    ASSERT_EQ(measured.values.size(), 10u);
    EXPECT_EQ(measured.values.back(), model.live.rollingHistory.back());
    EXPECT_FLOAT_EQ(measured.interval, 0.5f);

    // A new stream starts the count again at its first sample.
    acquisition.clear();
    EXPECT_EQ(acquisition.addRollingSamples(model, first.data(), 4),
              (std::vector<float>{0.f, 3.f}));
}

TEST(PowerAcquisition, TheRollIsKeptToItsLength) {
    SpectrumSettings model;
    rollAtHalfASecond(model);
    model.accessory.secondLimit = -1;  // no thinning: every sample kept
    PowerAcquisition acquisition;
    const std::vector<float> block = counting(0.f, 900);
    for (int i = 0; i < 3; ++i)
        acquisition.addRollingSamples(model, block.data(), block.size());
    ASSERT_EQ(model.live.rollingHistory.size(), PowerTraceSet::kMaxRollingValues);
    EXPECT_EQ(model.live.rollingHistory.back(), 899.f);
}

TEST(PowerAcquisition, CapturesAreStoredAndMeasuredOnlyWithARollWidth) {
    SpectrumSettings model;
    rollAtHalfASecond(model);
    Measured measured;
    PowerAcquisition acquisition = measuring(measured);
    const std::vector<float> capture = counting(-40.f, 20);
    acquisition.addCapture(model, capture.data(), capture.size());
    ASSERT_EQ(model.live.history.size(), 1u);
    EXPECT_EQ(model.live.history.back(), capture);
    EXPECT_EQ(measured.values, capture);
    // Without a roll width there is no sample interval to measure pulses with.
    model.accessory.powerRollPoints = 0;
    acquisition.addCapture(model, capture.data(), capture.size());
    EXPECT_EQ(model.live.history.size(), 2u);
    EXPECT_EQ(measured.calls, 1);
}
