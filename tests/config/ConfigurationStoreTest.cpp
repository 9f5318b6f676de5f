#include "model/config/ConfigurationStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/ByteOrder.h"
#include "model/SpectrumSettings.h"
#include "model/config/RecordImages.h"
#include "model/config/ReferenceTraceImages.h"
#include "storage/MemoryKeyValueStore.h"

namespace {

template <size_t N>
std::vector<uint8_t> bytes(const std::array<uint8_t, N>& image) {
    return std::vector<uint8_t>(image.begin(), image.end());
}

template <typename Record>
bool sameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Changes every saved part of the model away from its defaults.
void changeEverything(SpectrumSettings& s) {
    s.graticule = 8;
    s.alerts = 1;
    s.cursors.cursorsShown = 1;
    s.cursors.verticalX[1] = 321.5f;
    s.cursors.color[2] = 77;
    s.common_settings.externalAttenuation = 12.5f;
    s.common_settings.internalAttenuationIndex = 3;
    s.common_settings.spectrumMode = 0;
    s.spectrum_settings.viewMode = 1;
    s.spectrum_settings.traceModes[2] = 4;
    s.spectrum_settings.holdTime = 2.75f;
    s.spectrum_settings.channelGuide5 = 10;
    s.spectrum_settings.refreshInterval = 90.0f;
    s.power_setting.powerAmplitudeIndex = 6;
    s.power_setting.triggerLevel = -7.25f;
    s.power_setting.measureSlots[0] = 4;
    s.power_channel.offset = 1.5f;
    s.reference_channel.shown = 1;
    s.reference_channel.color[0] = 9;
    s.reference.history = {{-10.0f, -11.0f, -12.0f}, {-20.0f}};
    s.reference.processedHistory = {{0.0f, 1.0f, 2.0f, 3.0f}};
    s.reference.alpha = {0.25f};
    s.reference.rollingHistory = {-1.0f, -2.0f};
    s.reference.processedRollingHistory = {5.0f, 6.0f, 7.0f, 8.0f};
    s.reference.maxRollPointsNeeded = 240;
    s.reference.timeScaleIndex = 14;
    s.reference.amplitudeScaleIndex = 2;
    s.reference.isValid = true;
    s.demo = DemoSelection{1, 2, 0};
}

void expectSameSavedState(const SpectrumSettings& a, const SpectrumSettings& b) {
    EXPECT_EQ(a.graticule, b.graticule);
    EXPECT_EQ(a.alerts, b.alerts);
    EXPECT_TRUE(sameBytes(a.cursors, b.cursors));
    EXPECT_TRUE(sameBytes(a.common_settings, b.common_settings));
    EXPECT_TRUE(sameBytes(a.spectrum_settings, b.spectrum_settings));
    EXPECT_TRUE(sameBytes(a.power_setting, b.power_setting));
    EXPECT_TRUE(sameBytes(a.power_channel, b.power_channel));
    EXPECT_TRUE(sameBytes(a.reference_channel, b.reference_channel));
    EXPECT_EQ(a.reference.history, b.reference.history);
    EXPECT_EQ(a.reference.processedHistory, b.reference.processedHistory);
    EXPECT_EQ(a.reference.alpha, b.reference.alpha);
    EXPECT_EQ(a.reference.rollingHistory, b.reference.rollingHistory);
    EXPECT_EQ(a.reference.processedRollingHistory, b.reference.processedRollingHistory);
    EXPECT_EQ(a.reference.maxRollPointsNeeded, b.reference.maxRollPointsNeeded);
    EXPECT_EQ(a.reference.timeScaleIndex, b.reference.timeScaleIndex);
    EXPECT_EQ(a.reference.amplitudeScaleIndex, b.reference.amplitudeScaleIndex);
    EXPECT_EQ(a.reference.isValid, b.reference.isValid);
    EXPECT_TRUE(sameBytes(a.demo, b.demo));
}

class ConfigurationStoreTest : public ::testing::Test {
  protected:
    MemoryKeyValueStore store_;
    ConfigurationStore configuration_{store_};
};

TEST_F(ConfigurationStoreTest, EmptyStoreResetsAndWritesTheDefaults) {
    SpectrumSettings settings;
    changeEverything(settings);
    ASSERT_TRUE(configuration_.load(settings, 0));

    SpectrumSettings defaults;
    expectSameSavedState(settings, defaults);
    EXPECT_EQ(store_.flushCount(), 1);
    EXPECT_EQ(store_.size(), 19u);
    EXPECT_EQ(store_.getInteger("config0.version", -1), 2);
    EXPECT_EQ(store_.getInteger("config0.graticule", -1), 31);
    EXPECT_EQ(store_.getInteger("config0.alerts", -1), 3);
    EXPECT_EQ(store_.getData("config0.cursors"), bytes(encodeCursorSettings(CursorSettings{})));
    EXPECT_EQ(store_.getData("config0.common_settings"),
              bytes(encodeCommonSettings(CommonSettings{})));
    EXPECT_EQ(store_.getData("config0.spectrum_settings"),
              bytes(encodeSpectrumViewSettings(SpectrumViewSettings{})));
    EXPECT_EQ(store_.getData("config0.power_setting"), bytes(encodePowerSettings(PowerSettings{})));
    EXPECT_EQ(store_.getData("config0.power_channel0"),
              bytes(encodeTraceChannel(TraceChannel::liveDefaults())));
    EXPECT_EQ(store_.getData("config0.reference_channel0"),
              bytes(encodeTraceChannel(TraceChannel::referenceDefaults())));
    EXPECT_EQ(store_.getData("config0.demo"), (std::vector<uint8_t>{2, 1, 1}));
    EXPECT_EQ(store_.getInteger("config0.referenceHistory.timeScaleIndex", 0), -1);
    EXPECT_EQ(store_.getInteger("config0.referenceHistory.amplitudeScaleIndex", 0), -1);
    EXPECT_EQ(store_.getInteger("config0.referenceHistory.maxRollPointsNeeded", -1), 0);
    EXPECT_FALSE(store_.getBool("config0.referenceHistory.isValid", true));
    // An empty reference is stored as empty data, present under every list key.
    for (const char* list :
         {"history", "processedHistory", "alpha", "rollingHistory", "processedRollingHistory"}) {
        std::string key = std::string("config0.referenceHistory.") + list;
        EXPECT_TRUE(store_.contains(key)) << key;
        EXPECT_TRUE(store_.getData(key).empty()) << key;
    }
}

TEST_F(ConfigurationStoreTest, SlotRoundTripsEverySavedPart) {
    SpectrumSettings saved;
    changeEverything(saved);
    ASSERT_TRUE(configuration_.save(saved, 2));
    EXPECT_EQ(store_.flushCount(), 1);
    EXPECT_EQ(store_.size(), 19u);
    EXPECT_TRUE(store_.contains("config2.power_channel0"));
    EXPECT_TRUE(store_.contains("config2.reference_channel0"));
    EXPECT_TRUE(store_.contains("config2.referenceHistory.processedRollingHistory"));
    EXPECT_EQ(store_.getData("config2.referenceHistory.history"),
              encodeRecordList(saved.reference.history));
    EXPECT_EQ(store_.getData("config2.referenceHistory.alpha"),
              (std::vector<uint8_t>{0x00, 0x00, 0x80, 0x3E}));
    EXPECT_TRUE(store_.getBool("config2.referenceHistory.isValid", false));

    SpectrumSettings loaded;
    ASSERT_TRUE(configuration_.load(loaded, 2));
    expectSameSavedState(loaded, saved);
    EXPECT_EQ(store_.flushCount(), 1);  // a stored slot loads without writing
}

TEST_F(ConfigurationStoreTest, SlotsAreIndependent) {
    SpectrumSettings first;
    changeEverything(first);
    ASSERT_TRUE(configuration_.save(first, 1));
    SpectrumSettings defaults;
    ASSERT_TRUE(configuration_.save(defaults, 3));

    SpectrumSettings loaded;
    ASSERT_TRUE(configuration_.load(loaded, 1));
    expectSameSavedState(loaded, first);
    ASSERT_TRUE(configuration_.load(loaded, 3));
    expectSameSavedState(loaded, defaults);
}

TEST_F(ConfigurationStoreTest, UnknownSlotsChangeNothing) {
    SpectrumSettings settings;
    changeEverything(settings);
    for (int slot : {-1, 4, 100}) {
        EXPECT_FALSE(configuration_.save(settings, slot));
        EXPECT_FALSE(configuration_.load(settings, slot));
    }
    EXPECT_EQ(store_.size(), 0u);
    EXPECT_EQ(store_.flushCount(), 0);
    EXPECT_EQ(settings.graticule, 8u);
    EXPECT_EQ(settings.reference.history.size(), 2u);
}

TEST_F(ConfigurationStoreTest, FailedCommitIsReported) {
    store_.setFlushResult(false);
    SpectrumSettings settings;
    EXPECT_FALSE(configuration_.save(settings, 0));
}

TEST_F(ConfigurationStoreTest, NewerOrNegativeVersionIsOverwrittenWithDefaults) {
    for (int version : {3, 1000, -1, -7}) {
        store_.clear();
        store_.setInteger("config1.version", version);
        store_.setInteger("config1.graticule", 4);
        SpectrumSettings settings;
        changeEverything(settings);
        ASSERT_TRUE(configuration_.load(settings, 1));
        EXPECT_EQ(settings.graticule, 31u) << version;
        EXPECT_TRUE(sameBytes(settings.demo, DemoSelection{})) << version;
        EXPECT_EQ(store_.getInteger("config1.version", 0), 2) << version;
        EXPECT_EQ(store_.getInteger("config1.graticule", 0), 31) << version;
    }
}

TEST_F(ConfigurationStoreTest, MissingAndShortRecordsKeepCurrentValues) {
    SpectrumSettings stored;
    changeEverything(stored);
    ASSERT_TRUE(configuration_.save(stored, 0));
    // A live channel record one byte short, a missing cursor record, no graticule.
    store_.setData("config0.power_channel0", std::vector<uint8_t>(11, 0xFF));
    store_.setData("config0.cursors", {});
    MemoryKeyValueStore partial;
    for (const char* key : {"version", "alerts", "cursors", "common_settings", "spectrum_settings",
                            "power_setting", "power_channel0", "reference_channel0", "demo"}) {
        std::string full = std::string("config0.") + key;
        if (std::string(key) == "version" || std::string(key) == "alerts") {
            partial.setInteger(full, store_.getInteger(full, 0));
        } else {
            partial.setData(full, store_.getData(full));
        }
    }

    SpectrumSettings settings;
    settings.graticule = 2;
    settings.power_channel.offset = -3.0f;
    settings.cursors.tracking = 1;
    ASSERT_TRUE(ConfigurationStore(partial).load(settings, 0));
    EXPECT_EQ(settings.graticule, 2u);
    EXPECT_EQ(settings.alerts, 1u);
    EXPECT_EQ(settings.power_channel.offset, -3.0f);
    EXPECT_EQ(settings.power_channel.color[1], 255);
    EXPECT_EQ(settings.cursors.tracking, 1);
    EXPECT_EQ(settings.cursors.cursorsShown, 0);
    // The records after the ignored ones are still read.
    EXPECT_TRUE(sameBytes(settings.reference_channel, stored.reference_channel));
    EXPECT_TRUE(sameBytes(settings.demo, stored.demo));
    EXPECT_TRUE(sameBytes(settings.power_setting, stored.power_setting));
    // Reference keys absent: the reference is cleared, its integers take the cleared values.
    EXPECT_TRUE(settings.reference.history.empty());
    EXPECT_EQ(settings.reference.timeScaleIndex, -1);
    EXPECT_FALSE(settings.reference.isValid);
}

TEST_F(ConfigurationStoreTest, VersionOneSlotKeepsTheThirdTraceModeAndHoldTime) {
    SpectrumSettings settings;
    ASSERT_TRUE(configuration_.save(settings, 1));
    std::vector<uint8_t> v1(88, 0);
    v1[9] = 2;
    v1[10] = 3;
    v1[11] = 4;
    byte_order::writeFloatLe(v1.data() + 12, 2.5f);
    byte_order::writeFloatLe(v1.data() + 80, 30.0f);
    store_.setInteger("config1.version", 1);
    store_.setData("config1.spectrum_settings", v1);

    settings.spectrum_settings.traceModes[2] = 5;
    settings.spectrum_settings.holdTime = 1.5f;
    ASSERT_TRUE(configuration_.load(settings, 1));
    EXPECT_EQ(settings.spectrum_settings.traceModes[0], 2);
    EXPECT_EQ(settings.spectrum_settings.traceModes[1], 3);
    EXPECT_EQ(settings.spectrum_settings.traceModes[2], 5);
    EXPECT_EQ(settings.spectrum_settings.holdTime, 1.5f);

    // The same record is too short for version 2 and is then ignored entirely.
    store_.setInteger("config1.version", 2);
    settings.spectrum_settings.traceModes[0] = 6;
    ASSERT_TRUE(configuration_.load(settings, 1));
    EXPECT_EQ(settings.spectrum_settings.traceModes[0], 6);
}

TEST_F(ConfigurationStoreTest, VersionZeroSlotIsConverted) {
    SpectrumSettings settings;
    ASSERT_TRUE(configuration_.save(settings, 2));
    std::vector<uint8_t> v0(84, 0);
    byte_order::writeS32le(v0.data() + 68, 8);        // the only guide: 2.4 GHz
    byte_order::writeFloatLe(v0.data() + 76, 45.0f);  // refresh
    v0[80] = 9;
    store_.setInteger("config2.version", 0);
    store_.setData("config2.spectrum_settings", v0);

    settings.spectrum_settings.channelGuide5 = 10;
    ASSERT_TRUE(configuration_.load(settings, 2));
    EXPECT_EQ(settings.spectrum_settings.channelGuide24, 8);
    EXPECT_EQ(settings.spectrum_settings.channelGuide5, 0);
    EXPECT_EQ(settings.spectrum_settings.refreshInterval, 45.0f);
    EXPECT_EQ(settings.spectrum_settings.ssidSortCriterion, 9);
}

TEST_F(ConfigurationStoreTest, ShortRefreshIntervalsAreLiftedToTwentySeconds) {
    struct Case {
        float stored;
        float loaded;
    };
    // A negative interval is out of range and loads as the default, 30 s.
    for (Case c : {Case{5.0f, 20.0f}, Case{0.0f, 0.0f}, Case{19.9f, 20.0f}, Case{20.0f, 20.0f},
                   Case{0.001f, 20.0f}, Case{-4.0f, 30.0f}, Case{120.0f, 120.0f}}) {
        SpectrumSettings settings;
        settings.spectrum_settings.refreshInterval = c.stored;
        ASSERT_TRUE(configuration_.save(settings, 3));
        SpectrumSettings loaded;
        ASSERT_TRUE(configuration_.load(loaded, 3));
        EXPECT_EQ(loaded.spectrum_settings.refreshInterval, c.loaded) << c.stored;
    }
    // The lift also applies to a legacy record.
    std::vector<uint8_t> v1(88, 0);
    byte_order::writeFloatLe(v1.data() + 80, 5.0f);
    store_.setInteger("config3.version", 1);
    store_.setData("config3.spectrum_settings", v1);
    SpectrumSettings loaded;
    ASSERT_TRUE(configuration_.load(loaded, 3));
    EXPECT_EQ(loaded.spectrum_settings.refreshInterval, 20.0f);
}

TEST_F(ConfigurationStoreTest, CorruptReferenceListsKeepTheirLeadingRecords) {
    SpectrumSettings saved;
    changeEverything(saved);
    ASSERT_TRUE(configuration_.save(saved, 0));
    std::vector<uint8_t> history = store_.getData("config0.referenceHistory.history");
    history.resize(history.size() - 2);  // the second capture is cut short
    store_.setData("config0.referenceHistory.history", history);
    std::vector<uint8_t> alpha = {0x00, 0x00, 0x80, 0x3F, 0x01};  // one float and a stray byte
    store_.setData("config0.referenceHistory.alpha", alpha);

    SpectrumSettings loaded;
    loaded.reference.history = {{1.0f}, {2.0f}, {3.0f}};  // cleared before the read
    ASSERT_TRUE(configuration_.load(loaded, 0));
    EXPECT_EQ(loaded.reference.history,
              (std::vector<std::vector<float>>{{-10.0f, -11.0f, -12.0f}}));
    EXPECT_EQ(loaded.reference.alpha, std::vector<float>{1.0f});
    EXPECT_EQ(loaded.reference.processedHistory, saved.reference.processedHistory);
}

}  // namespace
