#include "model/config/RecordImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

template <size_t N>
std::vector<uint8_t> bytes(const std::array<uint8_t, N>& image) {
    return std::vector<uint8_t>(image.begin(), image.end());
}

// Whole-record comparison: every field, padding included (zero on both sides).
template <typename Record>
bool sameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Little-endian IEEE 754 single floats used below.
#define F_100 0x00, 0x00, 0xC8, 0x42  // 100.0
#define F_200 0x00, 0x00, 0x48, 0x43  // 200.0

TEST(RecordImagesTest, DefaultImagesAreByteExact) {
    EXPECT_EQ(bytes(encodeCursorSettings(CursorSettings{})),
              (std::vector<uint8_t>{0, 0, 1,     0,     0,     0,     0,     0,     0,     255,
                                    0, 0, F_100, F_200, F_100, F_200, F_100, F_200, F_100, F_200}));
    EXPECT_EQ(bytes(encodeCommonSettings(CommonSettings{})),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(bytes(encodeSpectrumViewSettings(SpectrumViewSettings{})),
              (std::vector<uint8_t>{
                  0,    0,    0,    0,                 // viewMode, padding
                  0,    0,    0,    0,                 // band
                  1,    0,    6,    0,    0, 0, 0, 0,  // scan, reserved, modes, padding
                  0x00, 0x00, 0x80, 0x3F,              // hold 1.0
                  0x00, 0x00, 0x00, 0x40,              // decay 2.0
                  0x00, 0x00, 0x80, 0x3F,              // average 1.0
                  0,    0,    0,    0,    0, 0, 0, 0,  // colour maps
                  0,    0,    0,    0,                 // time scale
                  0x00, 0x00, 0x14, 0xC2,              // -37.0
                  0x00, 0x00, 0xAA, 0xC2,              // -85.0
                  0,    0,    255,  255,  0, 0, 0, 255, 255, 0, 255, 0, 0, 0, 255,  // colours
                  0,                                                                // peaks on top
                  5,    5,    5,    5,    5, 5, 5, 0,  // peak counts, padding
                  3,    0,    0,    0,    0, 0, 0, 0,  // guides 3 and 0
                  0,    0,    0,    0,                 // guide state, padding
                  0x00, 0x00, 0xF0, 0x41,              // refresh 30.0
                  3,    1,    11,   1}));
    EXPECT_EQ(bytes(encodePowerSettings(PowerSettings{})),
              (std::vector<uint8_t>{0, 0,    0,    0,    0x00, 0x00, 0x00, 0x40, 15,   0,    0,
                                    0, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,    0,    0,
                                    0, 0,    1,    1,    0,    0,    0xE1, 0x7A, 0xF4, 0xC1, 1,
                                    0, 0,    1,    1,    0,    255,  255,  255,  255,  255,  255}));
    EXPECT_EQ(bytes(encodeTraceChannel(TraceChannel::liveDefaults())),
              (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0}));
    EXPECT_EQ(bytes(encodeTraceChannel(TraceChannel::referenceDefaults())),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(bytes(encodeDemoSelection(DemoSelection{})), (std::vector<uint8_t>{2, 1, 1}));
}

TEST(RecordImagesTest, FieldsLandAtTheirOffsetsLittleEndian) {
    CommonSettings common;
    common.externalAttenuation = -1.5f;  // 0xBFC00000
    common.internalAttenuationIndex = 0x01020304;
    common.reserved[0] = 0xAA;
    common.reserved[1] = 0xBB;
    common.traceDots = 1;
    common.spectrumMode = 0;
    common.powerUnitsWatts = -2;
    EXPECT_EQ(bytes(encodeCommonSettings(common)),
              (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0xBF, 0x04, 0x03, 0x02, 0x01, 0xAA, 0xBB,
                                    0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));

    SpectrumViewSettings view;
    view.band = 1;
    view.ssidReserved = 0x5A;
    view.traceModes[2] = 4;
    view.heatMapColorMapTrace = 2;
    view.heatMapColorMap = 3;
    view.waterfallTimeScaleIndex = 0x11223344;
    view.traceColors[4][2] = 0x77;
    view.peaksOnTop = 5;
    view.peakCounts[4] = 9;
    view.waterfallPeakCounts[1] = 8;
    view.channelGuide5 = 11;
    view.channelGuideState = 1;
    view.refreshInterval = 0.0f;
    view.utilizationSortDescending = 0;
    auto image = encodeSpectrumViewSettings(view);
    EXPECT_EQ(image[4], 1);
    EXPECT_EQ(image[9], 0x5A);
    EXPECT_EQ(image[12], 4);
    EXPECT_EQ(image[28], 2);
    EXPECT_EQ(image[32], 3);
    EXPECT_EQ((std::vector<uint8_t>(image.begin() + 36, image.begin() + 40)),
              (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(image[62], 0x77);
    EXPECT_EQ(image[63], 5);
    EXPECT_EQ(image[68], 9);
    EXPECT_EQ(image[70], 8);
    EXPECT_EQ(image[76], 11);
    EXPECT_EQ(image[80], 1);
    EXPECT_EQ((std::vector<uint8_t>(image.begin() + 84, image.begin() + 88)),
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(image[91], 0);

    PowerSettings power;
    power.selectedTrace = 1;
    power.powerAmplitudeIndex = 7;
    power.triggerDelay = 0.5f;  // 0x3F000000
    power.reserved = 0x99;
    power.digitalCombination = 3;
    power.digitalEdgeB = 1;
    power.measureSlots[5] = 22;
    auto powerImage = encodePowerSettings(power);
    EXPECT_EQ(powerImage[0], 1);
    EXPECT_EQ(powerImage[12], 7);
    EXPECT_EQ(powerImage[19], 0x3F);
    EXPECT_EQ(powerImage[26], 0x99);
    EXPECT_EQ(powerImage[27], 0);
    EXPECT_EQ(powerImage[33], 3);
    EXPECT_EQ(powerImage[37], 1);
    EXPECT_EQ(powerImage[43], 22);

    CursorSettings cursors;
    cursors.levelReference = 1;
    cursors.selectedCursor = 1;
    cursors.positionReferencePair[1] = -0.0f;
    auto cursorImage = encodeCursorSettings(cursors);
    EXPECT_EQ(cursorImage[7], 1);
    EXPECT_EQ(cursorImage[11], 1);
    EXPECT_EQ((std::vector<uint8_t>(cursorImage.begin() + 40, cursorImage.end())),
              (std::vector<uint8_t>{0, 0, 0, 0x80}));
}

// Every field set to a value unlike its default, so a field skipped or misplaced by either side
// shows up.
CursorSettings unusualCursors() {
    CursorSettings c;
    c.cursorsShown = 1;
    c.tracking = 1;
    c.verticalShown = 0;
    c.horizontalShown = 1;
    c.positionUnit = 2;
    c.positionReference = 1;
    c.levelUnit = 2;
    c.levelReference = 1;
    c.color[0] = 10;
    c.color[1] = 20;
    c.color[2] = 30;
    c.selectedCursor = 1;
    c.verticalX[0] = 1.25f;
    c.verticalX[1] = 2.5f;
    c.horizontalY[0] = 3.75f;
    c.horizontalY[1] = 5.0f;
    c.levelReferencePair[0] = 6.25f;
    c.levelReferencePair[1] = 7.5f;
    c.positionReferencePair[0] = 8.75f;
    c.positionReferencePair[1] = 10.0f;
    return c;
}

SpectrumViewSettings unusualSpectrum() {
    SpectrumViewSettings s;
    s.viewMode = 1;
    s.band = 1;
    s.ssidScanOn = 0;
    s.ssidReserved = 7;
    s.traceModes[0] = 1;
    s.traceModes[1] = 2;
    s.traceModes[2] = 3;
    s.holdTime = 2.5f;
    s.decayStep = 7.25f;
    s.averageTime = 3.5f;
    s.heatMapColorMapTrace = 2;
    s.heatMapColorMap = 2;
    s.waterfallTimeScaleIndex = 2;
    s.waterfallLevelHigh = -20.5f;
    s.waterfallLevelLow = -95.5f;
    for (int kind = 0; kind < 5; ++kind) {
        for (int channel = 0; channel < 3; ++channel) {
            s.traceColors[kind][channel] = static_cast<uint8_t>(100 + 3 * kind + channel);
        }
        s.peakCounts[kind] = static_cast<uint8_t>(kind);
    }
    s.peaksOnTop = 4;
    s.waterfallPeakCounts[0] = 1;
    s.waterfallPeakCounts[1] = 2;
    s.channelGuide24 = 6;
    s.channelGuide5 = 10;
    s.channelGuideState = 1;
    s.refreshInterval = 45.0f;
    s.ssidSortCriterion = 2;
    s.ssidSortDescending = 0;
    s.utilizationSortCriterion = 9;
    s.utilizationSortDescending = 0;
    return s;
}

PowerSettings unusualPower() {
    PowerSettings p;
    p.selectedTrace = 1;
    p.persistTime = 0.1f;
    p.powerTimeBaseIndex = 3;
    p.powerAmplitudeIndex = 4;
    p.triggerDelay = 0.002f;
    p.triggerHoldoff = 0.5f;
    p.triggerAuto = 0;
    p.triggerOnPower = 0;
    p.reserved = 9;
    p.triggerLevel = -12.75f;
    p.triggerRisingEdge = 0;
    p.digitalCombination = 2;
    p.digitalChannelA = 3;
    p.digitalChannelB = 2;
    p.digitalEdgeA = 0;
    p.digitalEdgeB = 1;
    for (int i = 0; i < 6; ++i) {
        p.measureSlots[i] = static_cast<uint8_t>(i * 3);
    }
    return p;
}

TEST(RecordImagesTest, EveryFieldRoundTrips) {
    CursorSettings cursors;
    ASSERT_TRUE(decodeCursorSettings(encodeCursorSettings(unusualCursors()), cursors));
    EXPECT_TRUE(sameBytes(cursors, unusualCursors()));

    CommonSettings common;
    CommonSettings unusualCommon{-3.5f, 5, {1, 2}, 1, 0, 1};
    ASSERT_TRUE(decodeCommonSettings(encodeCommonSettings(unusualCommon), common));
    EXPECT_TRUE(sameBytes(common, unusualCommon));

    SpectrumViewSettings view;
    ASSERT_TRUE(decodeSpectrumViewSettings(encodeSpectrumViewSettings(unusualSpectrum()), view));
    EXPECT_TRUE(sameBytes(view, unusualSpectrum()));

    PowerSettings power;
    ASSERT_TRUE(decodePowerSettings(encodePowerSettings(unusualPower()), power));
    EXPECT_TRUE(sameBytes(power, unusualPower()));

    TraceChannel channel = TraceChannel::liveDefaults();
    TraceChannel unusualChannel{0, {0, 0, 0}, -12.5f, {1, 2, 3}, 0};
    ASSERT_TRUE(decodeTraceChannel(encodeTraceChannel(unusualChannel), channel));
    EXPECT_TRUE(sameBytes(channel, unusualChannel));

    DemoSelection demo;
    ASSERT_TRUE(decodeDemoSelection(encodeDemoSelection(DemoSelection{0, 3, 0}), demo));
    EXPECT_TRUE(sameBytes(demo, DemoSelection{0, 3, 0}));
}

TEST(RecordImagesTest, PaddingBytesAreIgnoredWhenRead) {
    auto image = encodeSpectrumViewSettings(unusualSpectrum());
    for (size_t gap : {1u, 2u, 3u, 13u, 14u, 15u, 71u, 81u, 82u, 83u}) {
        image[gap] = 0xEE;
    }
    SpectrumViewSettings view;
    ASSERT_TRUE(decodeSpectrumViewSettings(image, view));
    EXPECT_TRUE(sameBytes(view, unusualSpectrum()));

    auto channelImage = encodeTraceChannel(TraceChannel::referenceDefaults());
    channelImage[1] = channelImage[2] = channelImage[3] = channelImage[11] = 0xEE;
    TraceChannel channel;
    ASSERT_TRUE(decodeTraceChannel(channelImage, channel));
    EXPECT_TRUE(sameBytes(channel, TraceChannel::referenceDefaults()));
}

TEST(RecordImagesTest, ShortImagesLeaveTheRecordAloneLongerOnesAreTaken) {
    auto image = encodeCursorSettings(unusualCursors());
    CursorSettings cursors;
    EXPECT_FALSE(decodeCursorSettings(std::span(image).first(43), cursors));
    EXPECT_TRUE(sameBytes(cursors, CursorSettings{}));
    std::vector<uint8_t> longer(image.begin(), image.end());
    longer.push_back(0xFF);
    EXPECT_TRUE(decodeCursorSettings(longer, cursors));
    EXPECT_TRUE(sameBytes(cursors, unusualCursors()));

    CommonSettings common;
    EXPECT_FALSE(decodeCommonSettings(std::vector<uint8_t>(15, 0xFF), common));
    EXPECT_TRUE(sameBytes(common, CommonSettings{}));
    SpectrumViewSettings view;
    EXPECT_FALSE(decodeSpectrumViewSettings(std::vector<uint8_t>(91, 0xFF), view));
    EXPECT_TRUE(sameBytes(view, SpectrumViewSettings{}));
    PowerSettings power;
    EXPECT_FALSE(decodePowerSettings(std::vector<uint8_t>(43, 0xFF), power));
    EXPECT_TRUE(sameBytes(power, PowerSettings{}));
    TraceChannel channel = TraceChannel::liveDefaults();
    EXPECT_FALSE(decodeTraceChannel(std::vector<uint8_t>(11, 0xFF), channel));
    EXPECT_TRUE(sameBytes(channel, TraceChannel::liveDefaults()));
    DemoSelection demo;
    EXPECT_FALSE(decodeDemoSelection(std::vector<uint8_t>(2, 0xFF), demo));
    EXPECT_FALSE(decodeDemoSelection({}, demo));
    EXPECT_TRUE(sameBytes(demo, DemoSelection{}));
}

}  // namespace
