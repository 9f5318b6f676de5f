#include "model/config/LegacySpectrumImages.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/ByteOrder.h"

namespace {

// A version 1 image (88 bytes) with a distinct value in every field.
std::vector<uint8_t> versionOneImage() {
    std::vector<uint8_t> image(kSpectrumImageSizeV1, 0xEE);  // padding left as noise
    uint8_t* at = image.data();
    at[0] = 1;                          // view mode
    byte_order::writeS32le(at + 4, 1);  // band
    at[8] = 0;                          // scan switch
    at[9] = 2;                          // trace modes 2, 3, 4
    at[10] = 3;
    at[11] = 4;
    byte_order::writeFloatLe(at + 12, 2.5f);    // hold
    byte_order::writeFloatLe(at + 16, 9.0f);    // decay
    byte_order::writeFloatLe(at + 20, 3.0f);    // average
    byte_order::writeS32le(at + 24, 1);         // colour map copy
    byte_order::writeS32le(at + 28, 2);         // colour map
    byte_order::writeS32le(at + 32, 2);         // waterfall time scale
    byte_order::writeFloatLe(at + 36, -30.0f);  // levels
    byte_order::writeFloatLe(at + 40, -90.0f);
    for (int i = 0; i < 23; ++i) {
        at[44 + i] = static_cast<uint8_t>(40 + i);  // colours, peaks on top, peak counts
    }
    byte_order::writeS32le(at + 68, 5);        // 2.4 GHz guide
    byte_order::writeS32le(at + 72, 9);        // 5 GHz guide
    at[76] = 1;                                // guide state
    byte_order::writeFloatLe(at + 80, 60.0f);  // refresh
    at[84] = 7;                                // sort bytes
    at[85] = 0;
    at[86] = 8;
    at[87] = 0;
    return image;
}

// The same settings in the version 0 layout (84 bytes, one guide).
std::vector<uint8_t> versionZeroImage() {
    std::vector<uint8_t> v1 = versionOneImage();
    std::vector<uint8_t> image(v1.begin(), v1.begin() + 72);
    image.resize(kSpectrumImageSizeV0, 0xEE);
    uint8_t* at = image.data();
    at[72] = 1;
    byte_order::writeFloatLe(at + 76, 60.0f);
    at[80] = 7;
    at[81] = 0;
    at[82] = 8;
    at[83] = 0;
    return image;
}

// A current record whose every field differs from the images above.
SpectrumViewSettings current() {
    SpectrumViewSettings s;
    s.ssidReserved = 0x33;
    s.traceModes[2] = 5;
    s.holdTime = 0.75f;
    s.decayStep = 4.0f;
    s.averageTime = 2.0f;
    s.channelGuide5 = 11;
    return s;
}

void expectConvertedFields(const SpectrumViewSettings& s) {
    EXPECT_EQ(s.viewMode, 1);
    EXPECT_EQ(s.band, 1);
    EXPECT_EQ(s.ssidScanOn, 0);
    EXPECT_EQ(s.traceModes[0], 2);
    EXPECT_EQ(s.traceModes[1], 3);
    EXPECT_EQ(s.heatMapColorMapTrace, 1);
    EXPECT_EQ(s.heatMapColorMap, 2);
    EXPECT_EQ(s.waterfallTimeScaleIndex, 2);
    EXPECT_EQ(s.waterfallLevelHigh, -30.0f);
    EXPECT_EQ(s.waterfallLevelLow, -90.0f);
    EXPECT_EQ(s.traceColors[0][0], 40);
    EXPECT_EQ(s.traceColors[4][2], 54);
    EXPECT_EQ(s.peaksOnTop, 55);
    EXPECT_EQ(s.peakCounts[0], 56);
    EXPECT_EQ(s.peakCounts[4], 60);
    EXPECT_EQ(s.waterfallPeakCounts[0], 61);
    EXPECT_EQ(s.waterfallPeakCounts[1], 62);
    EXPECT_EQ(s.channelGuide24, 5);
    EXPECT_EQ(s.channelGuideState, 1);
    EXPECT_EQ(s.refreshInterval, 60.0f);
    EXPECT_EQ(s.ssidSortCriterion, 7);
    EXPECT_EQ(s.ssidSortDescending, 0);
    EXPECT_EQ(s.utilizationSortCriterion, 8);
    EXPECT_EQ(s.utilizationSortDescending, 0);
    // Not carried over: the reserved byte, the third trace mode and the three floats.
    EXPECT_EQ(s.ssidReserved, 0x33);
    EXPECT_EQ(s.traceModes[2], 5);
    EXPECT_EQ(s.holdTime, 0.75f);
    EXPECT_EQ(s.decayStep, 4.0f);
    EXPECT_EQ(s.averageTime, 2.0f);
}

TEST(LegacySpectrumImagesTest, VersionOneConvertsFieldByField) {
    SpectrumViewSettings s = current();
    ASSERT_TRUE(convertSpectrumSettingsV1(versionOneImage(), s));
    expectConvertedFields(s);
    EXPECT_EQ(s.channelGuide5, 9);
}

TEST(LegacySpectrumImagesTest, VersionZeroHasNoFiveGigahertzGuide) {
    SpectrumViewSettings s = current();
    ASSERT_TRUE(convertSpectrumSettingsV0(versionZeroImage(), s));
    expectConvertedFields(s);
    // Built on the version 1 defaults, so the current 5 GHz guide does not survive either.
    EXPECT_EQ(s.channelGuide5, 0);
}

TEST(LegacySpectrumImagesTest, ShortImagesAreIgnored) {
    std::vector<uint8_t> v1 = versionOneImage();
    v1.pop_back();
    std::vector<uint8_t> v0 = versionZeroImage();
    v0.pop_back();
    SpectrumViewSettings s = current();
    EXPECT_FALSE(convertSpectrumSettingsV1(v1, s));
    EXPECT_FALSE(convertSpectrumSettingsV0(v0, s));
    EXPECT_FALSE(convertSpectrumSettingsV0({}, s));
    EXPECT_EQ(s.viewMode, 0);
    EXPECT_EQ(s.channelGuide24, 3);
    EXPECT_EQ(s.channelGuide5, 11);
    // A version 1 image is long enough to be read as version 0, and a version 2 image as either.
    EXPECT_TRUE(convertSpectrumSettingsV0(versionOneImage(), s));
    EXPECT_TRUE(convertSpectrumSettingsV1(std::vector<uint8_t>(92, 0), s));
}

}  // namespace
