#include <gtest/gtest.h>

#include <vector>

#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

// A connected accessory whose description has arrived, in the state the controller leaves it.
template <typename P>
class Connected {
  public:
    explicit Connected(const Bytes& reply) {
        AccessoryDescription d;
        EXPECT_EQ(protocol.parseDescription(reply.data(), reply.size(), &d), 0);
        model.accessory = d;
        model.runtime.deviceConnected = true;
    }

    Bytes build() {
        Bytes out(protocol.settingsCommandLength(), 0xEE);
        EXPECT_EQ(
            protocol.buildSettingsCommand(out.data(), out.size(), copyOf(LinkSettings::of(model))),
            protocol.settingsCommandLength());
        return out;
    }

    P protocol;
    SpectrumSettings model;
};

Bytes bytes(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values)
        b.push_back(static_cast<uint8_t>(v));
    return b;
}

}  // namespace

TEST(SettingsFirstGeneration, SpectrumModeCarriesOnlyItsBytes) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.internalAttenuationIndex = 3;
    c.model.power_setting.triggerLevel = -10.0f;  // ignored in spectrum mode
    EXPECT_EQ(c.build(), bytes({0xAA, 0x20, 0x02, 0x53, 0, 0, 15, 0, 0, 0, 0, 3, 0, 0, 0xFF, 0,
                                0,    0,    0,    0,    0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 0,    0}));
    c.model.common_settings.internalAttenuationIndex = 7;  // only steps 1-6 exist on the wire
    Bytes b = c.build();
    EXPECT_EQ(b[11], 0);
    EXPECT_EQ(b[22], 2);
}

TEST(SettingsFirstGeneration, PowerTriggerWithTiming) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.spectrumMode = 0;
    c.model.common_settings.externalAttenuation = 2.0f;
    c.model.common_settings.internalAttenuationIndex = 1;  // +4 dB
    c.model.power_setting.powerTimeBaseIndex = 9;          // 1 ms/div: 240 samples in 10 ms
    c.model.power_setting.triggerDelay = 0.00105f;         // 25.2 samples
    c.model.power_setting.triggerHoldoff = 0.0203f;        // 487.2 samples
    // raw = (-30.56 - 6 + 60) / 0.25 = 93.76, rounded down for the rising edge.
    // Pre-trigger 120 + 25 = 145; capture max(145, 487 - 145) = 342.
    EXPECT_EQ(c.build(),
              bytes({0xAA, 0x20, 0x02, 0x53, 0x00, 0x5D, 9, 0, 0, 1,    1,    1, 0, 0, 0xFF, 0, 0,
                     0,    0,    0,    0,    0,    1,    1, 0, 0, 0x01, 0x56, 0, 0, 0, 0x91}));
    c.model.power_setting.triggerRisingEdge = 0;
    c.model.power_setting.triggerAuto = 0;
    Bytes b = c.build();
    EXPECT_EQ(b[5], 94);  // rounded up for the falling edge
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[10], 0);
}

TEST(SettingsFirstGeneration, TriggerLevelClampsToRawRange) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.spectrumMode = 0;
    c.model.power_setting.triggerLevel = 100.0f;
    Bytes b = c.build();
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(b[5], 255);
    c.model.power_setting.triggerLevel = -500.0f;
    b = c.build();
    EXPECT_EQ(b[5], 0);
}

TEST(SettingsFirstGeneration, DigitalTrigger) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.spectrumMode = 0;
    c.model.power_setting.triggerOnPower = 0;
    c.model.power_setting.digitalCombination = 2;
    c.model.power_setting.digitalChannelA = 2;
    c.model.power_setting.digitalChannelB = 3;
    c.model.power_setting.digitalEdgeB = 1;
    Bytes b = c.build();
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(b[5], 0);
    EXPECT_EQ(b[9], 3);
    EXPECT_EQ(b[10], 1);
    EXPECT_EQ(b[20], 3);
    EXPECT_EQ(b[21], 0x32);
    c.model.power_setting.digitalCombination = 4;  // no such combination
    c.model.power_setting.digitalEdgeB = 0;
    b = c.build();
    EXPECT_EQ(b[20], 0);
    EXPECT_EQ(b[9], 0);
}

TEST(SettingsFirstGeneration, RollingMode) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.spectrumMode = 0;
    c.model.power_setting.powerTimeBaseIndex = 3;  // the step just below the roll limit 4
    c.model.power_setting.triggerLevel = -10.0f;
    EXPECT_EQ(c.build(), bytes({0xAA, 0x20, 0x02, 0x53, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0,
                                0,    0,    0,    0,    0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0,    0}));
    c.model.power_setting.powerTimeBaseIndex = 2;
    EXPECT_EQ(c.build()[6], 2);
}

TEST(SettingsFirstGeneration, TimingExtremes) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    c.model.common_settings.spectrumMode = 0;
    c.model.power_setting.powerTimeBaseIndex = 40;  // clamps to 17: 20 us/div
    Bytes b = c.build();
    EXPECT_EQ(b[6], 17);
    EXPECT_EQ(Bytes(b.begin() + 24, b.end()), bytes({0, 0, 0, 120, 0, 0, 0, 120}));

    c.model.power_setting.triggerDelay = -1.0f;  // pre-trigger below zero stops at 0
    b = c.build();
    EXPECT_EQ(Bytes(b.begin() + 24, b.end()), bytes({0, 0, 0, 1, 0, 0, 0, 0}));

    c.model.power_setting.triggerDelay = 0.0f;
    c.model.power_setting.triggerHoldoff = 1.0e9f;  // saturates at 32 bits
    b = c.build();
    EXPECT_EQ(Bytes(b.begin() + 24, b.end()),
              bytes({0xFF, 0xFF, 0xFF, 0x87, 0, 0, 0, 120}));  // 0xFFFFFFFF - 120
}

TEST(SettingsFirstGeneration, SequenceWrapsAndShortBuffersAreRefused) {
    Connected<AccessoryProtocolTarno> c(discoveryTarno());
    for (int i = 1; i <= 255; ++i)
        ASSERT_EQ(c.build()[22], i);
    EXPECT_EQ(c.build()[22], 0);
    EXPECT_EQ(c.build()[22], 1);

    Bytes small(31, 0xEE);
    EXPECT_EQ(c.protocol.buildSettingsCommand(small.data(), small.size(),
                                              copyOf(LinkSettings::of(c.model))),
              pr::kNoRoom);
    EXPECT_EQ(small, Bytes(31, 0xEE));
    Bytes full(32);
    EXPECT_EQ(c.protocol.buildSettingsCommand(nullptr, 32, copyOf(LinkSettings::of(c.model))),
              pr::kNullBuffer);
    EXPECT_EQ(c.protocol.buildSettingsCommand(full.data(), 32, nullptr), pr::kNoSettings);
    EXPECT_EQ(c.build()[22], 2);  // refused commands used no sequence number
}

TEST(SettingsSecondGeneration, SpectrumMode) {
    Connected<AccessoryProtocolTarno2> c(discoveryTarno2());
    EXPECT_EQ(c.build(),
              bytes({0xAA, 0x14, 0x02, 0x53, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    c.model.power_setting.powerTimeBaseIndex = 17;
    EXPECT_EQ(c.build()[5], 0);
    c.model.power_setting.powerTimeBaseIndex = 0;  // rolling: the second limit is sent
    EXPECT_EQ(c.build()[5], 13);
}

TEST(SettingsSecondGeneration, IndexStepsCountFromTheFastEnd) {
    Connected<AccessoryProtocolTarno2> c(discoveryTarno2());
    c.model.accessory.powerRollLimitIndex = 0;  // nothing rolls
    c.model.power_setting.powerTimeBaseIndex = 0;
    EXPECT_EQ(c.build()[5], 17);
    c.model.power_setting.powerTimeBaseIndex = 17;
    EXPECT_EQ(c.build()[5], 0);
}

TEST(SettingsSecondGeneration, PowerTriggerWithTiming) {
    Connected<AccessoryProtocolTarno2> c(discoveryTarno2());
    c.model.common_settings.spectrumMode = 0;
    c.model.common_settings.externalAttenuation = 2.0f;
    c.model.common_settings.internalAttenuationIndex = 1;  // no internal steps on this accessory
    c.model.power_setting.powerTimeBaseIndex = 9;          // 1000 samples in 10 ms
    c.model.power_setting.triggerDelay = 0.001053f;        // 105.3 samples
    c.model.power_setting.triggerHoldoff = 0.020345f;      // 2034.5 samples
    // raw = (-30.56 - 2 + 60) / 0.2 = 137.2; pre 500 + 105 = 605; capture 2034 - 605 = 1429.
    EXPECT_EQ(c.build(), bytes({0xAA, 0x14, 0x02, 0x53, 1,    8,    0x00, 0x89, 1,    1,
                                0,    0,    0,    0,    0x05, 0x95, 0,    0,    0x02, 0x5D}));
}

TEST(SettingsSecondGeneration, DigitalAndRolling) {
    Connected<AccessoryProtocolTarno2> c(discoveryTarno2());
    c.model.common_settings.spectrumMode = 0;
    c.model.power_setting.triggerOnPower = 0;
    c.model.power_setting.triggerAuto = 0;
    c.model.power_setting.digitalCombination = 3;
    c.model.power_setting.digitalChannelA = 1;
    c.model.power_setting.digitalChannelB = 2;
    Bytes b = c.build();
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[7], 0);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[10], 4);
    EXPECT_EQ(b[11], 0x21);

    c.model.power_setting.powerTimeBaseIndex = 3;
    EXPECT_EQ(c.build(),
              bytes({0xAA, 0x14, 0x02, 0x53, 2, 13, 0, 0, 0, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST(SettingsSecondGeneration, RefusesShortBuffersAndMissingModel) {
    AccessoryProtocolTarno2 p;
    SpectrumSettings model;
    Bytes small(19, 0xEE);
    EXPECT_EQ(p.buildSettingsCommand(small.data(), small.size(), copyOf(LinkSettings::of(model))),
              pr::kNoRoom);
    EXPECT_EQ(small, Bytes(19, 0xEE));
    Bytes full(20);
    EXPECT_EQ(p.buildSettingsCommand(full.data(), full.size(), nullptr), pr::kNoSettings);
    EXPECT_EQ(p.buildSettingsCommand(full.data(), full.size(), copyOf(LinkSettings::of(model))),
              20);
    EXPECT_EQ(full[4], 1);
}

TEST(SettingsThirdGeneration, SelectsTheBand) {
    AccessoryProtocolTarno25 p;
    SpectrumSettings model;
    Bytes b(8, 0xEE);
    model.spectrum_settings.band = 1;
    ASSERT_EQ(p.buildSettingsCommand(b.data(), b.size(), copyOf(LinkSettings::of(model))), 8);
    EXPECT_EQ(b, bytes({0xAA, 0x08, 0x02, 0x53, 1, 1, 0, 0}));
    model.spectrum_settings.band = 0;
    ASSERT_EQ(p.buildSettingsCommand(b.data(), b.size(), copyOf(LinkSettings::of(model))), 8);
    EXPECT_EQ(b, bytes({0xAA, 0x08, 0x02, 0x53, 2, 0, 0, 0}));
    model.spectrum_settings.band = 5;
    ASSERT_EQ(p.buildSettingsCommand(b.data(), b.size(), copyOf(LinkSettings::of(model))), 8);
    EXPECT_EQ(b[5], 0);
    EXPECT_EQ(p.buildSettingsCommand(b.data(), 7, copyOf(LinkSettings::of(model))), pr::kNoRoom);
    EXPECT_EQ(p.buildSettingsCommand(b.data(), 8, nullptr), pr::kNoSettings);
    EXPECT_EQ(p.buildSettingsCommand(nullptr, 8, copyOf(LinkSettings::of(model))), pr::kNullBuffer);
}
