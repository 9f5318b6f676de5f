#include <gtest/gtest.h>

#include <cmath>

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

TEST(DiscoveryFirstGeneration, DecodesEveryField) {
    AccessoryProtocolTarno p;
    Bytes b = discoveryTarno(20);
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_EQ(d.generation, 2);
    EXPECT_EQ(d.revision[0], 0x11);
    EXPECT_EQ(d.revision[1], 0x22);
    EXPECT_EQ(d.version[0], 0x33);
    EXPECT_EQ(d.version[1], 0x44);
    EXPECT_EQ(d.model, 0x5A);
    EXPECT_EQ(d.modelCopy, 0x5A);
    EXPECT_TRUE(d.hasSpectrum24);
    EXPECT_FALSE(d.hasSpectrum5);
    EXPECT_FALSE(d.hasSsidScan24);
    EXPECT_TRUE(d.hasPowerMeter);
    EXPECT_TRUE(d.hasInternalAttenuator);
    EXPECT_TRUE(d.scanKeepsRefresh);
    EXPECT_EQ(d.serialText, "0");
    EXPECT_EQ(d.textValid, 0);
    EXPECT_EQ(d.internalAttenuationCount, 8);
    EXPECT_FLOAT_EQ(d.internalAttenuations[7], 28.0f);
    EXPECT_EQ(d.reservedWord, 0xDEADBEEFu);
    EXPECT_EQ(d.optionBytes[0], 6);
    EXPECT_EQ(d.optionBytes[1], 2);
    EXPECT_EQ(d.optionBytes[2], 0);
    EXPECT_EQ(d.optionBytes[3], 1);
    EXPECT_EQ(d.rawPoints24, 100);
    EXPECT_EQ(d.rawPoints5, 0);
    EXPECT_EQ(d.powerRollPoints, 240);
    EXPECT_EQ(d.shownPoints24, 96);
    EXPECT_EQ(d.shownPoints5, 0);
    EXPECT_EQ(d.levelRows24, 236);
    EXPECT_EQ(d.levelRows5, 256);
    EXPECT_FLOAT_EQ(d.scanFirstDelay, 110.0f);
    EXPECT_FLOAT_EQ(d.scanRepeatInterval, 20.0f);
    ASSERT_EQ(d.powerTimeBases.size(), 18u);
    EXPECT_FLOAT_EQ(d.powerTimeBases[0], 1.0f);
    EXPECT_FLOAT_EQ(d.powerTimeBases[17], 0.000002f);
    EXPECT_EQ(d.powerRollLimitIndex, 4);
    EXPECT_EQ(d.secondLimit, 4);
    ASSERT_EQ(d.powerAmplitudes.size(), 1u);
    EXPECT_FLOAT_EQ(d.powerAmplitudes[0], 1.0f);
    // Power: raw 0 -> -60, raw 255 -> 3.75, cut at 0 dBm.
    EXPECT_FLOAT_EQ(d.powerAxisMin, -60.0f);
    EXPECT_FLOAT_EQ(d.powerAxisMax, 0.0f);
    // Spectrum uses the fixed conversion, not the reply's 9.0 scale.
    const float floor = 20 * 0.36290324f - 100.0f;
    EXPECT_FLOAT_EQ(d.levelMin24, floor);
    EXPECT_FLOAT_EQ(d.levelMax24, 255 * 0.36290324f - 100.0f);
    EXPECT_TRUE(std::isnan(d.levelMin5));
    EXPECT_TRUE(std::isnan(d.levelMax5));
    EXPECT_TRUE(p.hasSpectrum());
    EXPECT_TRUE(p.hasPowerMeter());
    EXPECT_FALSE(p.hasSsidScan());
}

TEST(DiscoveryFirstGeneration, RejectsInOrderAndLeavesCalibration) {
    AccessoryProtocolTarno p;
    AccessoryDescription d;
    Bytes good = discoveryTarno();
    EXPECT_EQ(p.parseDescription(nullptr, 68, &d), pr::kNullBuffer);
    EXPECT_EQ(p.parseDescription(good.data(), 67, &d), pr::kTooShort);
    Bytes noSync = good;
    noSync[0] = 0x55;
    EXPECT_EQ(p.parseDescription(noSync.data(), noSync.size(), &d), pr::kWrongSync);
    Bytes wrongType = good;
    wrongType[1] = 0x40;
    EXPECT_EQ(p.parseDescription(wrongType.data(), wrongType.size(), &d), pr::kWrongType);
    Bytes wrongGeneration = good;
    wrongGeneration[2] = 6;
    EXPECT_EQ(p.parseDescription(wrongGeneration.data(), wrongGeneration.size(), &d),
              pr::kOtherGeneration);
    EXPECT_EQ(d.generation, 0);
    EXPECT_FALSE(p.hasSpectrum());
    EXPECT_FLOAT_EQ(p.calibration().powerScale, 1.0f);
    // A cut-short reply framed as its 3-byte header is too short to decode.
    EXPECT_EQ(p.packetLength(good.data(), 60), 3);
    EXPECT_EQ(p.parseDescription(good.data(), 3, &d), pr::kTooShort);
}

TEST(DiscoveryFirstGeneration, NullDescriptionStillCalibrates) {
    AccessoryProtocolTarno p;
    Bytes b = discoveryTarno();
    b[9] = 0;  // no power meter
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), nullptr), 0);
    EXPECT_FLOAT_EQ(p.calibration().powerScale, 0.25f);
    EXPECT_TRUE(p.hasSpectrum());
    EXPECT_FALSE(p.hasPowerMeter());
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_TRUE(std::isnan(d.powerAxisMin));
    EXPECT_TRUE(std::isnan(d.powerAxisMax));
}

TEST(DiscoveryFirstGeneration, PowerRangeEntirelyBelowZeroIsKept) {
    AccessoryProtocolTarno p;
    Bytes b = discoveryTarno();
    putFloat(b, 44, -0.1f);  // a negative scale: raw 255 is the lower end
    putFloat(b, 48, -5.0f);
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_FLOAT_EQ(d.powerAxisMin, -30.5f);
    EXPECT_FLOAT_EQ(d.powerAxisMax, -5.0f);
}

TEST(DiscoverySecondGeneration, DecodesEveryField) {
    AccessoryProtocolTarno2 p;
    Bytes b = discoveryTarno2();
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_EQ(d.generation, 6);
    EXPECT_EQ(d.revision[1], 2);
    EXPECT_EQ(d.version[0], 3);
    EXPECT_EQ(d.model, 0x77);
    EXPECT_TRUE(d.hasSpectrum24);
    EXPECT_TRUE(d.hasSsidScan24);
    EXPECT_FALSE(d.hasSpectrum5);
    EXPECT_FALSE(d.hasSsidScan5);
    EXPECT_TRUE(d.hasPowerMeter);
    EXPECT_FALSE(d.hasInternalAttenuator);
    EXPECT_TRUE(d.scanKeepsRefresh);
    EXPECT_EQ(d.serialText, "000f1e2d3c4b5a69788796a5b4c3d2e1f0");
    EXPECT_EQ(d.textValid, 1);
    EXPECT_EQ(d.internalAttenuationCount, 0);
    EXPECT_EQ(d.optionBytes[0], 1);
    EXPECT_EQ(d.optionBytes[3], 0);
    EXPECT_EQ(d.rawPoints24, 256);
    EXPECT_EQ(d.powerRollPoints, 1000);
    EXPECT_EQ(d.shownPoints24, 245);
    EXPECT_EQ(d.levelRows24, 216);
    EXPECT_FLOAT_EQ(d.spectrumInterval24, 0.2f);
    EXPECT_EQ(d.secondLimit, 4);
    EXPECT_EQ(d.powerTimeBases.size(), 18u);
    // Power offset -55 less the 5 dB correction.
    EXPECT_FLOAT_EQ(p.calibration().powerOffset, -60.0f);
    EXPECT_FLOAT_EQ(d.powerAxisMin, -60.0f);
    EXPECT_FLOAT_EQ(d.powerAxisMax, -9.0f);
    EXPECT_FLOAT_EQ(d.levelMin24, -100.0f);  // floor above raw 0's -120
    EXPECT_FLOAT_EQ(d.levelMax24, 7.5f);
    EXPECT_TRUE(std::isnan(d.levelMin5));
}

TEST(DiscoverySecondGeneration, RejectsOtherGenerationsAndShortReplies) {
    AccessoryProtocolTarno2 p;
    Bytes b = discoveryTarno2();
    EXPECT_EQ(p.parseDescription(b.data(), 59, nullptr), pr::kTooShort);
    b[2] = 7;
    EXPECT_EQ(p.parseDescription(b.data(), b.size(), nullptr), pr::kOtherGeneration);
    Bytes first = discoveryTarno();
    EXPECT_EQ(p.parseDescription(first.data(), first.size(), nullptr), pr::kOtherGeneration);
    EXPECT_TRUE(p.hasSsidScan());
    EXPECT_FALSE(p.hasSpectrum());
}

TEST(DiscoveryThirdGeneration, DecodesBothBands) {
    AccessoryProtocolTarno25 p;
    Bytes b = discoveryTarno25();
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_EQ(d.generation, 7);
    EXPECT_EQ(d.revision[0], 9);
    EXPECT_EQ(d.version[0], 0);
    EXPECT_EQ(d.model, 0);
    EXPECT_TRUE(d.hasSpectrum24);
    EXPECT_TRUE(d.hasSpectrum5);
    EXPECT_TRUE(d.hasSsidScan24);
    EXPECT_TRUE(d.hasSsidScan5);
    EXPECT_FALSE(d.hasPowerMeter);
    EXPECT_FALSE(d.scanKeepsRefresh);
    EXPECT_EQ(d.serialText, "00010aff107e809cc30542e0");
    EXPECT_EQ(d.rawPoints24, 256);
    EXPECT_EQ(d.rawPoints5, 512);
    EXPECT_EQ(d.powerRollPoints, 0);
    EXPECT_EQ(d.shownPoints24, 245);
    EXPECT_EQ(d.shownPoints5, 512);
    EXPECT_EQ(d.levelRows24, 244);
    EXPECT_EQ(d.levelRows5, 226);
    EXPECT_FLOAT_EQ(d.spectrumInterval24, 0.25f);
    EXPECT_FLOAT_EQ(d.spectrumInterval5, 1.25f);
    EXPECT_FLOAT_EQ(d.scanFirstDelay, 0.0f);
    EXPECT_FLOAT_EQ(d.scanRepeatInterval, 4.0f);
    EXPECT_TRUE(d.powerTimeBases.empty());
    EXPECT_TRUE(d.powerAmplitudes.empty());
    EXPECT_EQ(d.powerRollLimitIndex, -1);
    EXPECT_EQ(d.secondLimit, -1);
    EXPECT_TRUE(std::isnan(d.powerAxisMin));
    EXPECT_FLOAT_EQ(d.levelMin24, -124.0f);
    EXPECT_FLOAT_EQ(d.levelMax24, -2.5f);
    EXPECT_FLOAT_EQ(d.levelMin5, -102.5f);
    EXPECT_FLOAT_EQ(d.levelMax5, -46.25f);
}

TEST(DiscoveryThirdGeneration, FlagsFollowTheBandBytes) {
    AccessoryProtocolTarno25 p;
    Bytes b = discoveryTarno25();
    b[8] = 0;   // no scanner
    b[10] = 0;  // no 5 GHz receiver
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_TRUE(d.hasSpectrum24);
    EXPECT_FALSE(d.hasSpectrum5);
    EXPECT_FALSE(d.hasSsidScan24);
    EXPECT_FALSE(d.hasSsidScan5);
    EXPECT_FALSE(p.hasSsidScan());
    EXPECT_TRUE(p.hasSpectrum());
    EXPECT_TRUE(std::isnan(d.levelMin5));
    EXPECT_FALSE(std::isnan(d.levelMin24));
    EXPECT_EQ(p.parseDescription(b.data(), 55, &d), pr::kTooShort);
    b[2] = 6;
    EXPECT_EQ(p.parseDescription(b.data(), b.size(), &d), pr::kOtherGeneration);
}

TEST(DiscoveryThirdGeneration, HostileScaleGivesNoUndefinedRows) {
    // Zero and NaN scales must not turn the row count into an out-of-range conversion.
    AccessoryProtocolTarno25 p;
    Bytes b = discoveryTarno25();
    putFloat(b, 24, 0.0f);
    putFloat(b, 40, NAN);
    AccessoryDescription d;
    ASSERT_EQ(p.parseDescription(b.data(), b.size(), &d), 0);
    EXPECT_EQ(d.levelRows24, 244);
    EXPECT_EQ(d.levelRows5, 226);
}
