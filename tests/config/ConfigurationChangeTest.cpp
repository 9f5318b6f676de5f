#include <gtest/gtest.h>

#include <cmath>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/MemoryKeyValueStore.h"

namespace {

// Counts the store's integer reads and flushes: whether a configuration operation used it.
class CountingStore final : public KeyValueStore {
  public:
    int getInteger(std::string_view key, int defaultValue) override {
        probe();
        return inner_.getInteger(key, defaultValue);
    }
    bool getBool(std::string_view key, bool defaultValue) override {
        return inner_.getBool(key, defaultValue);
    }
    std::vector<uint8_t> getData(std::string_view key) override { return inner_.getData(key); }
    size_t dataSize(std::string_view key) override { return inner_.dataSize(key); }
    void setInteger(std::string_view key, int value) override { inner_.setInteger(key, value); }
    void setBool(std::string_view key, bool value) override { inner_.setBool(key, value); }
    void setData(std::string_view key, std::span<const uint8_t> bytes) override {
        inner_.setData(key, bytes);
    }
    bool flush() override {
        probe();
        return inner_.flush();
    }

    int probes = 0;

  private:
    void probe() { ++probes; }

    MemoryKeyValueStore inner_;
};

class ConfigurationChangeTest : public ::testing::Test {
  protected:
    void SetUp() override { ConfigurationStore::use(&store_); }
    void TearDown() override { ConfigurationStore::use(nullptr); }

    // Puts measurement data everywhere a configuration change must clear it.
    void fillMeasurements() {
        const float sweep[3] = {-50.0f, -60.0f, -70.0f};
        ASSERT_TRUE(settings_.band24.appendSweep(sweep, 3));
        settings_.live.history = {{-1.0f}};
        settings_.live.rollingHistory = {-2.0f};
        settings_.live.pulseMeasurements[0] = 1.0f;
        settings_.cursorReadouts.index[0] = 12;
        settings_.runtime.scanCount = 4;
    }

    void expectMeasurementsCleared() {
        EXPECT_EQ(settings_.band24.sweepCount(), 0);
        EXPECT_EQ(settings_.band24.sweepPointCount, -1);
        EXPECT_TRUE(settings_.live.history.empty());
        EXPECT_TRUE(settings_.live.rollingHistory.empty());
        EXPECT_TRUE(std::isnan(settings_.live.pulseMeasurements[0]));
        EXPECT_EQ(settings_.cursorReadouts.index[0], -1);
        EXPECT_EQ(settings_.runtime.scanCount, 0);
    }

    SpectrumSettings settings_;
    CountingStore store_;
};

TEST_F(ConfigurationChangeTest, LoadReadsTheStoreThenClearsMeasurements) {
    fillMeasurements();
    settings_.graticule = 4;
    ASSERT_TRUE(settings_.loadConfigurationAndClear(1));  // never saved: defaults, then saved
    EXPECT_EQ(settings_.graticule, 31u);
    EXPECT_GE(store_.probes, 2);
    expectMeasurementsCleared();
}

TEST_F(ConfigurationChangeTest, SaveWritesTheStoreThenClearsMeasurements) {
    fillMeasurements();
    settings_.graticule = 4;
    ASSERT_TRUE(settings_.saveConfigurationAndClear(2));
    EXPECT_EQ(store_.probes, 1);
    expectMeasurementsCleared();

    settings_.graticule = 31;
    ASSERT_TRUE(settings_.loadConfiguration(2));  // the form without the clear, as at start-up
    EXPECT_EQ(settings_.graticule, 4u);
}

TEST_F(ConfigurationChangeTest, ResetRestoresDefaultsAndClearsMeasurements) {
    fillMeasurements();
    settings_.graticule = 4;
    settings_.reference.isValid = true;
    settings_.resetConfiguration();
    EXPECT_EQ(settings_.graticule, 31u);
    EXPECT_FALSE(settings_.reference.isValid);
    EXPECT_EQ(store_.probes, 0);  // the store is not touched
    expectMeasurementsCleared();
}

TEST_F(ConfigurationChangeTest, UnknownSlotClearsNothing) {
    fillMeasurements();
    EXPECT_FALSE(settings_.loadConfigurationAndClear(4));
    EXPECT_FALSE(settings_.saveConfigurationAndClear(-1));
    EXPECT_FALSE(settings_.saveConfiguration(7));
    EXPECT_EQ(store_.probes, 0);
    EXPECT_EQ(settings_.live.history.size(), 1u);
    EXPECT_EQ(settings_.cursorReadouts.index[0], 12);
}

}  // namespace
