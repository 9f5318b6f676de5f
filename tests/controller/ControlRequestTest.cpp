// The control interface the scene and menus use: requests are recorded at once and taken by the
// worker at the start of its next pass, composed in call order, and each moves the phase machine
// the way the menus expect, with the demonstration as well as with an accessory.
#include <gtest/gtest.h>

#include "link/RequestMailbox.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

using Phase = AccessoryCommunicationDelegate::Phase;

int sweeps(ControllerRig& rig) {
    return rig.model.band24.sweepCount();
}

// The recordings of every generation, so the demonstration hardware can change.
struct AllRecordings : MemoryResources {
    AllRecordings() {
        for (SimGeneration g :
             {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
            for (const std::string& name : DemoRecorder::fileNames(g)) {
                put(name, MemoryResources::recordings(g).readFile(name));
            }
        }
    }
};

// The demonstration of the third generation, streaming 2.4 GHz sweeps without scans.
struct StreamingDemo : ControllerRig {
    StreamingDemo() : ControllerRig(&files) {
        model.spectrum_settings.ssidScanOn = 0;
        for (int i = 0; i < 4; ++i) {
            pass();
        }
    }
    AllRecordings files;
};

}  // namespace

TEST(RequestMailbox, RequestsBetweenTwoPassesComposeInCallOrder) {
    RequestMailbox mailbox;
    EXPECT_EQ(mailbox.take().count, 0u);

    // Reconfigure with clearing, then halt: the halt's phase and halt flag win, the resend and
    // the clear flag of the reconfiguration stay.
    mailbox.post({.phase = 9, .haltRequested = 1, .resendSettings = true, .clearDataOnAck = 1});
    mailbox.post({.phase = 9, .haltRequested = 0});
    RequestMailbox::Taken taken = mailbox.take();
    EXPECT_EQ(taken.count, 2u);
    EXPECT_EQ(taken.request.phase, 9);
    EXPECT_EQ(taken.request.haltRequested, 0);
    EXPECT_TRUE(taken.request.resendSettings);
    EXPECT_EQ(taken.request.clearDataOnAck, 1);

    // Halt, then single sweep, then reconfigure without clearing: the last of each field.
    mailbox.post({.phase = 9, .haltRequested = 0});
    mailbox.post({.phase = 3, .clearDataOnAck = 1});
    mailbox.post({.phase = 9, .haltRequested = 1, .resendSettings = true, .clearDataOnAck = 0});
    mailbox.post({.phase = 0});
    taken = mailbox.take();
    EXPECT_EQ(taken.count, 4u);
    EXPECT_EQ(taken.request.phase, 0);
    EXPECT_EQ(taken.request.haltRequested, 1);
    EXPECT_EQ(taken.request.clearDataOnAck, 0);

    // A request that sets only the phase leaves every flag alone; taking empties the mailbox.
    mailbox.post({.phase = 6});
    taken = mailbox.take();
    EXPECT_EQ(taken.request.phase, 6);
    EXPECT_EQ(taken.request.haltRequested, -1);
    EXPECT_FALSE(taken.request.resendSettings);
    EXPECT_EQ(taken.request.clearDataOnAck, -1);
    EXPECT_EQ(mailbox.take().count, 0u);
    EXPECT_EQ(mailbox.posted(), 7u);
    EXPECT_EQ(mailbox.taken(), 7u);
}

TEST(ControlRequests, NeedAnIdentifiedAccessoryAndWaitForTheNextPass) {
    AllRecordings files;
    ControllerRig rig(&files);
    rig.controller.requestHalt();
    rig.controller.requestReconfigure(true);
    rig.controller.resumeStreaming();
    rig.controller.requestSingleSweep();
    EXPECT_EQ(rig.controller.requestsPosted(), 0u);

    for (int i = 0; i < 4; ++i) {
        rig.pass();
    }
    ASSERT_EQ(rig.controller.phase(), Phase::kRequest);
    rig.controller.requestHalt();
    EXPECT_EQ(rig.controller.phase(), Phase::kRequest);  // recorded, not yet taken
    rig.pass();
    // Taken at the start of the pass, and the halt runs in the same pass: the recordings need no
    // halt command.
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);
    EXPECT_EQ(rig.controller.requestsTaken(), 1u);
}

TEST(ControlRequests, HaltPausesTheDemonstrationAndResumeStreamsAtOnce) {
    StreamingDemo rig;
    ASSERT_EQ(rig.controller.phase(), Phase::kRequest);
    rig.controller.requestHalt();
    rig.pass();
    const int held = sweeps(rig);
    for (int i = 0; i < 30; ++i) {
        rig.pass();
    }
    EXPECT_EQ(sweeps(rig), held);
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);

    rig.controller.resumeStreaming();
    rig.pass();
    EXPECT_EQ(rig.controller.phase(), Phase::kRequest);
    EXPECT_EQ(sweeps(rig), held + 1);         // the resumed pass already plays
    EXPECT_EQ(rig.controller.ackCount(), 1);  // without new settings
}

TEST(ControlRequests, SingleSweepResendsTheSettingsClearsAndTakesOneSweep) {
    StreamingDemo rig;
    for (int i = 0; i < 10; ++i) {
        rig.pass();
    }
    ASSERT_GT(sweeps(rig), 1);
    const int settingsReads = rig.files.reads("packets/TarnoDuo/TarnoDuo_settings.bin");
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    rig.controller.requestSingleSweep();
    for (int i = 0; i < 40; ++i) {
        rig.pass();
    }
    EXPECT_EQ(rig.files.reads("packets/TarnoDuo/TarnoDuo_settings.bin"), settingsReads + 1);
    EXPECT_EQ(rig.controller.ackCount(), 2);
    EXPECT_EQ(sweeps(rig), 1);  // cleared on the acknowledgement, then exactly one shot
    EXPECT_EQ(rig.model.runtime.runState, SpectrumSettings::kSingleShotTaken);
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);
}

TEST(ControlRequests, RestartPlaybackRediscoversTheNewlyChosenHardware) {
    StreamingDemo rig;
    ASSERT_EQ(rig.model.accessory.generation, 7);
    rig.model.demo.hardware = 1;
    rig.controller.restartPlayback();
    rig.pass();
    EXPECT_EQ(rig.files.reads("packets/Tarno2/Tarno2_discover.bin"), 1);
    EXPECT_TRUE(rig.controller.identified());
    EXPECT_EQ(rig.model.accessory.generation, 6);
    for (int i = 0; i < 3; ++i) {
        rig.pass();
    }
    EXPECT_EQ(rig.controller.phase(), Phase::kRequest);
    EXPECT_EQ(rig.controller.ackCount(), 1);  // counted afresh for the new hardware
}

TEST(ControlRequests, RestartPlaybackLeavesAConnectedAccessoryAlone) {
    LinkRig rig(SimGeneration::Tarno2);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 20));
    const int discoveries = rig.sentCount({0xAA, 0x03, 0x03});
    rig.controller.restartPlayback();
    rig.ticks(5);
    EXPECT_EQ(rig.sentCount({0xAA, 0x03, 0x03}), discoveries);
    EXPECT_EQ(rig.controller.requestsPosted(), 0u);
}
