// The settings funnel: what each change asks of the accessory, the run-state machine, and the
// stored configuration going stale.
#include <gtest/gtest.h>

#include <memory>

#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/MemoryKeyValueStore.h"
#include "tests/support/FakeAccessoryControl.h"

namespace {

using C = SettingChange;
using S = SpectrumSettings;

class InstrumentTest : public ::testing::Test {
  protected:
    SpectrumSettings model;
    FakeAccessoryControl control;
    Instrument instrument{model, &control};
};

// --- Which changes reconfigure, and which clear the data ---------------------------------------

TEST_F(InstrumentTest, ChangesThatInvalidateTheDataClearIt) {
    EXPECT_TRUE(instrument.chooseBand(1));
    EXPECT_TRUE(instrument.set(C::kInternalAttenuation,
                               model.common_settings.internalAttenuationIndex, int32_t{3}));
    EXPECT_TRUE(instrument.set(C::kDemoSignal, model.demo.signalType, uint8_t{2}));
    EXPECT_TRUE(instrument.setSpectrumMode(CommonSettings::kPowerMode));
    EXPECT_EQ(control.reconfigureClearData, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(model.spectrum_settings.band, 1);
    EXPECT_EQ(model.common_settings.internalAttenuationIndex, 3);
    EXPECT_EQ(model.common_settings.spectrumMode, CommonSettings::kPowerMode);
}

TEST_F(InstrumentTest, ChangesTheAccessoryComparesAgainstKeepTheData) {
    model.power_setting.triggerLevel = -20.f;
    EXPECT_TRUE(
        instrument.set(C::kExternalAttenuation, model.common_settings.externalAttenuation, 10.f));
    EXPECT_TRUE(instrument.set(C::kTrigger, model.power_setting.triggerLevel, -25.f));
    EXPECT_TRUE(instrument.set(C::kTriggerDelayHandle, model.power_setting.triggerDelay, 1e-3f));
    EXPECT_TRUE(instrument.setSsidScan(false));
    EXPECT_EQ(control.reconfigureClearData, (std::vector<bool>{false, false, false, false}));
    // The level handle re-arms a taken shot: its capture is cleared, unlike the menu's level.
    EXPECT_TRUE(instrument.set(C::kTriggerLevelHandle, model.power_setting.triggerLevel, -30.f));
    EXPECT_TRUE(control.lastClearData());
}

TEST_F(InstrumentTest, AChangeIsPublishedToTheLinkBeforeItsRequest) {
    EXPECT_TRUE(instrument.chooseBand(1));
    ASSERT_TRUE(control.lastPublished.has_value());
    EXPECT_EQ(control.lastPublished->view.band, 1);
    EXPECT_EQ(control.requestsBeforeLastPublication, 0) << "the request went before the settings";
    EXPECT_EQ(control.reconfigures, 1);

    // Run states too, before the request they need.
    instrument.runControl().tap();
    ASSERT_FALSE(control.runStates.empty());
    EXPECT_EQ(control.runStates.back(), S::kPaused);
    EXPECT_EQ(control.halts, 1);
}

TEST_F(InstrumentTest, DisplayChangesStayInTheModel) {
    EXPECT_TRUE(instrument.set(C::kDisplay, model.graticule, uint32_t{0}));
    EXPECT_TRUE(instrument.set(C::kTraceProcessing, model.spectrum_settings.holdTime, 2.5f));
    EXPECT_TRUE(instrument.set(C::kCursors, model.cursors.cursorsShown, uint8_t{1}));
    model.spectrum_settings.band = 1;
    EXPECT_TRUE(instrument.set(C::kBandFallback, model.spectrum_settings.band, int32_t{0}));
    EXPECT_EQ(control.totalRequests(), 0);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(model.graticule, 0u);
}

TEST_F(InstrumentTest, AnUnchangedValueAsksNothingAndLeavesTheStoreClean) {
    EXPECT_FALSE(instrument.chooseBand(0));  // spectrum mode on 2.4 GHz already
    EXPECT_FALSE(instrument.set(C::kTrigger, model.power_setting.triggerAuto, uint8_t{1}));
    EXPECT_FALSE(instrument.setSsidScan(true));
    EXPECT_EQ(control.totalRequests(), 0);
    EXPECT_FALSE(instrument.isStoreDirty());
    EXPECT_EQ(instrument.changeCount(), 0u);

    // Scanning switched on again still ends the slow scan the controller was asked to finish.
    model.spectrum_settings.ssidReserved = 1;
    EXPECT_TRUE(instrument.setSsidScan(true));
    EXPECT_EQ(model.spectrum_settings.ssidReserved, 0);
}

TEST_F(InstrumentTest, WithoutAnIdentifiedAccessoryOnlyTheModelChanges) {
    control.isIdentified = false;
    EXPECT_TRUE(instrument.chooseBand(1));
    EXPECT_TRUE(instrument.set(C::kTrigger, model.power_setting.triggerAuto, uint8_t{0}));
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_TRUE(instrument.isStoreDirty());
    // The demonstration's model is chosen before anything is identified.
    EXPECT_TRUE(instrument.setDemoHardware(0));
    EXPECT_EQ(control.playbackRestarts, 1);

    Instrument detached(model);
    EXPECT_TRUE(detached.chooseBand(0));
    EXPECT_EQ(model.spectrum_settings.band, 0);
}

TEST_F(InstrumentTest, AGestureTellsTheAccessoryOnceWhenItEnds) {
    model.accessory.powerTimeBases = {1e-6f, 1e-5f, 1e-4f};
    model.power_setting.powerTimeBaseIndex = 0;
    EXPECT_TRUE(instrument.stageEdit(C::kPowerScales, [](S& m) { return m.stepTimeBaseUp(); }));
    EXPECT_TRUE(instrument.stageEdit(C::kPowerScales, [](S& m) { return m.stepTimeBaseUp(); }));
    EXPECT_EQ(control.reconfigures, 0);
    instrument.commit(C::kPowerScales);
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_FALSE(control.lastClearData());
    EXPECT_EQ(model.power_setting.powerTimeBaseIndex, 2);
    // A drag released where it began still sends.
    EXPECT_FALSE(
        instrument.stage(C::kTriggerLevelHandle, model.power_setting.triggerLevel, -30.56f));
    instrument.commit(C::kTriggerLevelHandle);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
}

TEST_F(InstrumentTest, WritesRunUnderTheSettingsLock) {
    bool held = false;
    instrument.edit(C::kDisplay, [&held](S& m) {
        held = m.settingsLock.heldByCurrentThread();
        return true;
    });
    EXPECT_TRUE(held);
    EXPECT_FALSE(model.settingsLock.heldByCurrentThread());
}

TEST_F(InstrumentTest, AFieldOfAnotherModelIsNotWritten) {
    SpectrumSettings other;
    EXPECT_FALSE(instrument.set(C::kBand, other.spectrum_settings.band, int32_t{1}));
    EXPECT_EQ(other.spectrum_settings.band, 0);
    EXPECT_EQ(control.totalRequests(), 0);
    EXPECT_FALSE(instrument.isStoreDirty());
}

TEST_F(InstrumentTest, ScanningSwitchedStartsTheListOverUnlessItIsHeld) {
    model.accessPoints.push_back(std::make_unique<AccessPoint>());
    model.runtime.ssidTableChanged = false;
    model.runtime.scanPaused = true;  // the utilization table is being edited
    EXPECT_TRUE(instrument.setSsidScan(false));
    EXPECT_EQ(model.accessPoints.size(), 1u);
    EXPECT_TRUE(model.runtime.ssidTableChanged);
    model.runtime.scanPaused = false;
    EXPECT_TRUE(instrument.setSsidScan(true));
    EXPECT_TRUE(model.accessPoints.empty());
}

// --- Configurations ---------------------------------------------------------------------------

class InstrumentConfigurationTest : public InstrumentTest {
  protected:
    void SetUp() override { ConfigurationStore::use(&store); }
    void TearDown() override { ConfigurationStore::use(nullptr); }
    MemoryKeyValueStore store;
};

TEST_F(InstrumentConfigurationTest, ADemonstrationOfAnotherModelRestartsInsteadOfReconfiguring) {
    model.demo.hardware = 0;
    model.common_settings.spectrumMode = CommonSettings::kPowerMode;
    model.runtime.captureRescale = true;
    instrument.resetConfiguration();  // back to hardware 2, spectrum mode
    EXPECT_EQ(control.playbackRestarts, 1);
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_FALSE(model.runtime.captureRescale);
    EXPECT_TRUE(instrument.isStoreDirty());

    // Attached, the same change reconfigures and clears.
    model.demo.hardware = 0;
    model.runtime.deviceConnected = true;
    EXPECT_TRUE(instrument.loadConfiguration(1));  // empty: the defaults
    EXPECT_EQ(control.playbackRestarts, 1);
    EXPECT_EQ(control.reconfigureClearData, std::vector<bool>{true});
    EXPECT_FALSE(instrument.loadConfiguration(9));
    instrument.storeSaved();
    EXPECT_TRUE(instrument.startDataLog());
    EXPECT_FALSE(instrument.isStoreDirty());  // the log is run state, not a setting
}

// --- Run state ---------------------------------------------------------------------------------

TEST_F(InstrumentTest, RunPauseAndSingleShot) {
    RunControl& run = instrument.runControl();
    run.tap();
    EXPECT_EQ(run.state(), S::kPaused);
    EXPECT_EQ(control.halts, 1);
    run.tap();
    EXPECT_EQ(run.state(), S::kRunning);
    EXPECT_EQ(control.resumes, 1);

    // Held a second: armed, but the sweep is asked for only on release.
    run.holdFired();
    EXPECT_EQ(run.state(), S::kSingleShotArmed);
    EXPECT_EQ(control.singleSweeps, 0);
    run.releaseAfterHold();
    EXPECT_EQ(control.singleSweeps, 1);

    // The packet path takes the shot; a new trigger level waits for the next one.
    model.runtime.runState = S::kSingleShotTaken;
    run.rearmTakenShot();
    EXPECT_EQ(run.state(), S::kSingleShotArmed);
    run.tap();  // in single shot a tap takes another
    EXPECT_EQ(control.singleSweeps, 2);

    // Space leaves single shot for running; S goes back in.
    run.runKey();
    EXPECT_EQ(run.state(), S::kRunning);
    EXPECT_EQ(control.resumes, 2);
    run.toggleSingleShot();
    EXPECT_EQ(run.state(), S::kSingleShotArmed);
    EXPECT_EQ(control.singleSweeps, 3);
    run.toggleSingleShot();
    EXPECT_EQ(run.state(), S::kRunning);

    // Nothing identified: the state still follows the button, only a halt is sent.
    control.isIdentified = false;
    control.reset();
    run.tap();
    run.tap();
    run.armSingleShot();
    EXPECT_EQ(run.state(), S::kSingleShotArmed);
    EXPECT_EQ(control.halts, 1);
    EXPECT_EQ(control.resumes + control.singleSweeps, 0);
    run.rearmTakenShot();  // not taken: stays armed
    EXPECT_EQ(run.state(), S::kSingleShotArmed);
    EXPECT_FALSE(instrument.isStoreDirty());
}

}  // namespace
