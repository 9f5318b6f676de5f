// A slot whose stored values are out of range, or whose blobs are longer than their records,
// loads the defaults for exactly those values, says so once, and never reads an oversized blob.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "storage/MemoryKeyValueStore.h"

namespace {

template <size_t N>
std::vector<uint8_t> bytes(const std::array<uint8_t, N>& image) {
    return std::vector<uint8_t>(image.begin(), image.end());
}

// Counts whose data was read, so a refused blob can be shown never to have been.
class ReadCountingStore final : public KeyValueStore {
  public:
    explicit ReadCountingStore(KeyValueStore& inner) : inner_(inner) {}
    int getInteger(std::string_view key, int defaultValue) override {
        return inner_.getInteger(key, defaultValue);
    }
    bool getBool(std::string_view key, bool defaultValue) override {
        return inner_.getBool(key, defaultValue);
    }
    std::vector<uint8_t> getData(std::string_view key) override {
        read_.insert(std::string(key));
        return inner_.getData(key);
    }
    size_t dataSize(std::string_view key) override { return inner_.dataSize(key); }
    void setInteger(std::string_view key, int value) override { inner_.setInteger(key, value); }
    void setBool(std::string_view key, bool value) override { inner_.setBool(key, value); }
    void setData(std::string_view key, std::span<const uint8_t> data) override {
        inner_.setData(key, data);
    }
    bool flush() override { return inner_.flush(); }
    bool wasRead(const std::string& key) const { return read_.count(key) != 0; }

  private:
    KeyValueStore& inner_;
    std::set<std::string> read_;
};

bool mentions(const std::vector<std::string>& notices, const std::string& text) {
    for (const std::string& notice : notices) {
        if (notice.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class StoredValueChecksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A slot with a few valid changes that must survive next to the damaged values.
        SpectrumSettings saved;
        saved.spectrum_settings.viewMode = 1;
        saved.power_setting.triggerLevel = -12.5f;
        saved.cursors.verticalX[1] = 321.0f;
        ASSERT_TRUE(configuration_.save(saved, 0));
    }

    MemoryKeyValueStore store_;
    ConfigurationStore configuration_{store_};
};

TEST_F(StoredValueChecksTest, OutOfRangeValuesLoadAsDefaultsAndAreNamedOnce) {
    SpectrumViewSettings view;
    view.viewMode = 1;
    view.band = 99;
    view.holdTime = NAN;
    view.waterfallLevelHigh = FLT_MAX;
    view.waterfallLevelLow = -FLT_MAX;
    view.traceModes[0] = 7;
    view.refreshInterval = INFINITY;
    store_.setData("config0.spectrum_settings", encodeSpectrumViewSettings(view));
    PowerSettings power;
    power.triggerLevel = -12.5f;
    power.persistTime = NAN;
    power.powerTimeBaseIndex = INT_MAX;
    power.measureSlots[0] = 23;
    store_.setData("config0.power_setting", encodePowerSettings(power));
    CursorSettings cursors;
    cursors.verticalX[0] = NAN;
    cursors.verticalX[1] = 321.0f;
    store_.setData("config0.cursors", encodeCursorSettings(cursors));
    CommonSettings common;
    common.internalAttenuationIndex = -3;
    store_.setData("config0.common_settings", encodeCommonSettings(common));
    TraceChannel channel = TraceChannel::liveDefaults();
    channel.offset = -INFINITY;
    store_.setData("config0.power_channel0", encodeTraceChannel(channel));
    store_.setData("config0.demo", std::vector<uint8_t>{9, 1, 1});
    store_.setInteger("config0.graticule", 1000);
    store_.setInteger("config0.referenceHistory.timeScaleIndex", INT_MIN);

    SpectrumSettings loaded;
    ASSERT_TRUE(configuration_.load(loaded, 0));
    const SpectrumSettings defaults;
    const SpectrumViewSettings& v = loaded.spectrum_settings;
    EXPECT_EQ(v.band, 0);
    EXPECT_EQ(v.holdTime, defaults.spectrum_settings.holdTime);
    EXPECT_EQ(v.waterfallLevelHigh, defaults.spectrum_settings.waterfallLevelHigh);
    EXPECT_EQ(v.waterfallLevelLow, defaults.spectrum_settings.waterfallLevelLow);
    EXPECT_EQ(v.traceModes[0], defaults.spectrum_settings.traceModes[0]);
    EXPECT_EQ(v.refreshInterval, defaults.spectrum_settings.refreshInterval);
    EXPECT_EQ(loaded.power_setting.persistTime, defaults.power_setting.persistTime);
    EXPECT_EQ(loaded.power_setting.powerTimeBaseIndex, defaults.power_setting.powerTimeBaseIndex);
    EXPECT_EQ(loaded.power_setting.measureSlots[0], 255);
    EXPECT_EQ(loaded.cursors.verticalX[0], defaults.cursors.verticalX[0]);
    EXPECT_EQ(loaded.common_settings.internalAttenuationIndex, 0);
    EXPECT_EQ(loaded.power_channel.offset, 0.0f);
    EXPECT_EQ(loaded.demo.hardware, defaults.demo.hardware);
    EXPECT_EQ(loaded.graticule, 31u);
    EXPECT_EQ(loaded.reference.timeScaleIndex, -1);
    // The valid values beside them are kept.
    EXPECT_EQ(v.viewMode, 1);
    EXPECT_EQ(loaded.power_setting.triggerLevel, -12.5f);
    EXPECT_EQ(loaded.cursors.verticalX[1], 321.0f);

    const std::vector<std::string>& notices = configuration_.notices();
    EXPECT_EQ(notices.size(), 15u);
    EXPECT_TRUE(mentions(notices, "config0.spectrum_settings: band 99 is out of range; using 0"));
    EXPECT_TRUE(mentions(notices, "holdTime nan"));
    EXPECT_TRUE(mentions(notices, "powerTimeBaseIndex 2147483647"));
    EXPECT_TRUE(mentions(notices, "config0.demo: hardware 9"));
    EXPECT_TRUE(mentions(notices, "config0: graticule 1000"));
    EXPECT_TRUE(mentions(notices, "config0.referenceHistory: timeScaleIndex -2147483648"));

    // Saved back, the slot is sound and loads quietly.
    ASSERT_TRUE(configuration_.save(loaded, 0));
    SpectrumSettings again;
    ASSERT_TRUE(configuration_.load(again, 0));
    EXPECT_TRUE(configuration_.notices().empty());
}

TEST_F(StoredValueChecksTest, ValuesAtTheEdgesOfTheirRangesAreKept) {
    SpectrumSettings edges;
    edges.spectrum_settings.band = 1;
    edges.spectrum_settings.holdTime = 3.0f;
    edges.spectrum_settings.decayStep = 0.0f;
    edges.spectrum_settings.refreshInterval = 0.0f;
    edges.spectrum_settings.channelGuide5 = 11;
    edges.spectrum_settings.heatMapColorMap = 3;
    edges.spectrum_settings.peaksOnTop = 5;
    edges.power_setting.persistTime = 0.1f;
    edges.power_setting.powerAmplitudeIndex = -1;
    edges.power_setting.measureSlots[2] = 22;
    edges.common_settings.externalAttenuation = 60.0f;
    edges.demo = DemoSelection{0, 3, 0};
    edges.graticule = 0;
    edges.alerts = 0;
    ASSERT_TRUE(configuration_.save(edges, 2));

    SpectrumSettings loaded;
    ASSERT_TRUE(configuration_.load(loaded, 2));
    EXPECT_TRUE(configuration_.notices().empty()) << configuration_.notices().front();
    EXPECT_EQ(loaded.spectrum_settings.band, 1);
    EXPECT_EQ(loaded.spectrum_settings.refreshInterval, 0.0f);
    EXPECT_EQ(loaded.power_setting.measureSlots[2], 22);
    EXPECT_EQ(loaded.power_setting.persistTime, 0.1f);
    EXPECT_EQ(loaded.graticule, 0u);
}

TEST_F(StoredValueChecksTest, BlobsLongerThanTheirRecordsAreRefusedUnread) {
    std::vector<uint8_t> longSpectrum = bytes(encodeSpectrumViewSettings(SpectrumViewSettings{}));
    longSpectrum.push_back(0);
    store_.setData("config0.spectrum_settings", longSpectrum);
    store_.setData("config0.power_channel0", std::vector<uint8_t>(4096, 0));
    store_.setData("config0.referenceHistory.rollingHistory",
                   std::vector<uint8_t>(ConfigurationStore::kMaxReferenceBytes + 4, 0));
    store_.setData("config0.referenceHistory.alpha", std::vector<uint8_t>(8, 0));
    ReadCountingStore counting(store_);
    ConfigurationStore configuration(counting);

    SpectrumSettings loaded;
    loaded.spectrum_settings.viewMode = 0;
    loaded.power_channel.offset = 7.0f;
    ASSERT_TRUE(configuration.load(loaded, 0));
    for (const char* key : {"config0.spectrum_settings", "config0.power_channel0",
                            "config0.referenceHistory.rollingHistory"}) {
        EXPECT_FALSE(counting.wasRead(key)) << key;
        EXPECT_TRUE(mentions(configuration.notices(), std::string(key) + ": ")) << key;
    }
    EXPECT_EQ(configuration.notices().size(), 3u);
    EXPECT_TRUE(mentions(configuration.notices(), "93 bytes where at most 92 belong"));
    // The refused records keep the current values; everything else loads.
    EXPECT_EQ(loaded.spectrum_settings.viewMode, 0);
    EXPECT_EQ(loaded.power_channel.offset, 7.0f);
    EXPECT_TRUE(loaded.reference.rollingHistory.empty());
    EXPECT_EQ(loaded.reference.alpha.size(), 2u);
    EXPECT_EQ(loaded.power_setting.triggerLevel, -12.5f);
}

}  // namespace
