#include <gtest/gtest.h>

#include "protocol/AccessoryGeneration.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/TimeBaseTable.h"
#include "sim/GenerationProfile.h"

// The decoder's generation table and the simulator's firmware table are written independently;
// wherever they describe the same wire fact they must agree, or one side drifted.
TEST(GenerationTables, DecoderAndSimulatorAgreeOnEveryWireSize) {
    for (SimGeneration sim :
         {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        const GenerationProfile& firmware = generationProfile(sim);
        const AccessoryGeneration* generation = generationByCode(firmware.generationCode);
        ASSERT_NE(generation, nullptr) << firmware.folder;
        const GenerationLayout& layout = generation->layout;
        SCOPED_TRACE(generation->name);
        EXPECT_EQ(generation->hardware, static_cast<int>(sim));
        EXPECT_EQ(generation->packetPrefix(),
                  std::string("packets/") + firmware.folder + "/" + firmware.filePrefix);
        EXPECT_EQ(layout.discoveryLength, firmware.discoveryLength);
        EXPECT_EQ(layout.settingsLength, firmware.settingsLength);
        EXPECT_EQ(layout.power.packetBytes, firmware.power.length);
        EXPECT_EQ(layout.power.firstByte, firmware.power.headerLength);
        EXPECT_EQ(layout.power.count, firmware.power.values);
        EXPECT_EQ(layout.spectrum[0].packetBytes, firmware.spectrum24.length);
        EXPECT_EQ(layout.spectrum[0].count, firmware.spectrum24.values);
        EXPECT_EQ(layout.spectrum[1].packetBytes, firmware.spectrum5.length);
        EXPECT_EQ(layout.spectrum[1].count, firmware.spectrum5.values);
        EXPECT_EQ(layout.spectrumSegments, firmware.spectrum24.segments);
        if (firmware.hasPower) {
            EXPECT_EQ(layout.powerSegments, firmware.power.segments);
            EXPECT_GT(generation->powerRollPoints, 0);
            // The host's power fields fit the command (32-bit counts at the two last offsets).
            const PowerCommandFields& at = firmware.powerCommand;
            EXPECT_LE(at.captureLength + 4, layout.settingsLength);
            EXPECT_LE(at.preTrigger + 4, layout.settingsLength);
            EXPECT_LE(at.level + 2, layout.settingsLength);
            // The settings command can name every time base, and no more.
            EXPECT_EQ(static_cast<size_t>(generation->maxTimeBaseIndex) + 1,
                      powerTimeBaseTable().size());
        } else {
            EXPECT_EQ(generation->powerRollPoints, 0);
        }
        EXPECT_EQ(layout.ssidRequest != 0, firmware.hasScan);
        // The discovery reply must hold the serial number the description reads from it.
        EXPECT_LE(generation->identityOffset + generation->identityLength,
                  static_cast<int>(layout.discoveryLength));
    }
}

TEST(GenerationTables, LookupsFindEachGenerationOnceAndNothingElse) {
    int found = 0;
    for (const AccessoryGeneration& generation : accessoryGenerations()) {
        EXPECT_EQ(generationByCode(generation.layout.generationCode), &generation);
        EXPECT_EQ(generationByHardware(generation.hardware), &generation);
        auto protocol = createAccessoryProtocol(generation.layout.generationCode);
        ASSERT_NE(protocol, nullptr);
        EXPECT_EQ(protocol->generationCode(), generation.layout.generationCode);
        EXPECT_EQ(protocol->maximumPacketLength(), generation.layout.maxPacketLength);
        ++found;
    }
    EXPECT_EQ(found, 3);
    EXPECT_EQ(generationByCode(0), nullptr);
    EXPECT_EQ(generationByCode(5), nullptr);
    EXPECT_EQ(generationByHardware(-1), nullptr);
    EXPECT_EQ(generationByHardware(3), nullptr);
}

TEST(GenerationTables, DecoderAndSimulatorShareTheTimeBases) {
    const std::vector<float>& decoder = powerTimeBaseTable();
    ASSERT_EQ(decoder.size(), std::size(kSimTimeBases));
    for (size_t i = 0; i < decoder.size(); ++i) {
        EXPECT_EQ(decoder[i], kSimTimeBases[i]) << i;
    }
}
