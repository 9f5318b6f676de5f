#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "model/StoredSettings.h"

// The stored records are written to the configuration store as raw images, so the default
// images are pinned byte for byte (little-endian floats).
namespace {

template <typename T>
std::vector<uint8_t> imageOf(const T& record) {
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &record, sizeof(T));
    return bytes;
}

TEST(StoredSettingsImage, CursorDefaults) {
    const std::vector<uint8_t> expected = {
        0,    0,    1,    0,    0,    0,    0,    0,    0, 255, 0, 0,  // switches, units, colour
        0x00, 0x00, 0xc8, 0x42, 0x00, 0x00, 0x48, 0x43,                // vertical 100, 200
        0x00, 0x00, 0xc8, 0x42, 0x00, 0x00, 0x48, 0x43,                // horizontal
        0x00, 0x00, 0xc8, 0x42, 0x00, 0x00, 0x48, 0x43,                // level reference
        0x00, 0x00, 0xc8, 0x42, 0x00, 0x00, 0x48, 0x43};               // position reference
    EXPECT_EQ(imageOf(CursorSettings{}), expected);
}

TEST(StoredSettingsImage, CommonDefaults) {
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(imageOf(CommonSettings{}), expected);
}

TEST(StoredSettingsImage, SpectrumViewDefaults) {
    const std::vector<uint8_t> expected = {
        0,    0,    0,    0,                 // viewMode + padding
        0,    0,    0,    0,                 // band
        1,    0,    6,    0,    0, 0, 0, 0,  // scan, reserved, trace modes, padding
        0x00, 0x00, 0x80, 0x3f,              // hold 1.0
        0x00, 0x00, 0x00, 0x40,              // decay 2.0
        0x00, 0x00, 0x80, 0x3f,              // average 1.0
        0,    0,    0,    0,    0, 0, 0, 0,  // colour map copy, colour map
        0,    0,    0,    0,                 // waterfall time scale
        0x00, 0x00, 0x14, 0xc2,              // -37
        0x00, 0x00, 0xaa, 0xc2,              // -85
        0,    0,    255,  255,  0, 0, 0, 255, 255, 0, 255, 0, 0, 0, 255,  // colours
        0,                                                                // peaks on top
        5,    5,    5,    5,    5, 5, 5, 0,  // peak counts, waterfall peaks, padding
        3,    0,    0,    0,    0, 0, 0, 0,  // guides 2.4, 5
        0,    0,    0,    0,                 // guide state + padding
        0x00, 0x00, 0xf0, 0x41,              // refresh 30
        3,    1,    11,   1};
    EXPECT_EQ(imageOf(SpectrumViewSettings{}), expected);
}

TEST(StoredSettingsImage, PowerDefaults) {
    const std::vector<uint8_t> expected = {0,    0,    0,    0,     // selected trace
                                           0x00, 0x00, 0x00, 0x40,  // persist 2.0
                                           15,   0,    0,    0,     // time base index
                                           0xff, 0xff, 0xff, 0xff,  // amplitude index -1
                                           0,    0,    0,    0,    0,   0,  0, 0,  // delay, holdoff
                                           1,    1,    0,    0,  // auto, power, reserved, padding
                                           0xe1, 0x7a, 0xf4, 0xc1,          // -30.56
                                           1,    0,    0,    1,    1,   0,  // trigger options
                                           255,  255,  255,  255,  255, 255};
    EXPECT_EQ(imageOf(PowerSettings{}), expected);
}

TEST(StoredSettingsImage, TraceChannelAndDemoDefaults) {
    EXPECT_EQ(imageOf(TraceChannel::liveDefaults()),
              (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0}));
    EXPECT_EQ(imageOf(TraceChannel::referenceDefaults()),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(imageOf(DemoSelection{}), (std::vector<uint8_t>{2, 1, 1}));
}

TEST(StoredSettingsImage, LoadedImageLandsInTheNamedFields) {
    // A version-2 spectrum image written by hand: the fields come back from their offsets.
    uint8_t image[92] = {};
    image[0] = 1;
    image[4] = 1;
    image[12] = 4;
    const float hold = 2.5f;
    std::memcpy(image + 16, &hold, 4);
    image[72] = 9;
    image[80] = 1;
    image[88] = 8;
    image[91] = 0;
    SpectrumViewSettings s;
    std::memcpy(&s, image, sizeof(s));
    EXPECT_EQ(s.viewMode, 1);
    EXPECT_EQ(s.band, 1);
    EXPECT_EQ(s.traceModes[2], 4);
    EXPECT_EQ(s.holdTime, 2.5f);
    EXPECT_EQ(s.channelGuide24, 9);
    EXPECT_EQ(s.channelGuideState, 1);
    EXPECT_EQ(s.ssidSortCriterion, 8);
    EXPECT_EQ(s.utilizationSortDescending, 0);
}

}  // namespace
