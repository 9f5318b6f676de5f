// The link decides by a published copy of the settings, never by the model: a copy never changes
// under a reader, an unchanged publication is not a new copy, and the description the link
// decoded itself counts (with its corrections) before the model's owner has taken it.
#include <gtest/gtest.h>

#include "link/SettingsPublication.h"
#include "model/SpectrumSettings.h"

TEST(SettingsPublication, ACopyNeverChangesUnderItsReader) {
    SettingsPublication publication;
    LinkSettings settings;
    settings.power.triggerLevel = -20.0f;
    publication.publish(settings);
    const SettingsPublication::Settings before = publication.current();
    publication.publish(settings);
    EXPECT_EQ(publication.current().get(), before.get()) << "an unchanged copy was made again";

    settings.power.triggerLevel = -10.0f;
    publication.publish(settings);
    EXPECT_EQ(before->power.triggerLevel, -20.0f);
    EXPECT_EQ(publication.current()->power.triggerLevel, -10.0f);
}

TEST(SettingsPublication, TheLinksDescriptionCountsBeforeTheOwnerHasTakenIt) {
    SettingsPublication publication;
    LinkSettings settings;
    settings.common.spectrumMode = CommonSettings::kSpectrumMode;
    publication.publish(settings);
    EXPECT_FALSE(publication.current()->deviceConnected);

    AccessoryDescription powerMeter;
    powerMeter.generation = 2;
    powerMeter.hasPowerMeter = true;
    powerMeter.powerAmplitudes = {10.0f, 5.0f};
    publication.setDescription(powerMeter);
    publication.setConnected(true);
    const SettingsPublication::Settings current = publication.current();
    EXPECT_EQ(current->accessory.generation, 2);
    EXPECT_FALSE(current->spectrumMode()) << "a mode the accessory cannot do was kept";
    EXPECT_EQ(current->power.powerAmplitudeIndex, 0);
    EXPECT_TRUE(current->deviceConnected);

    // The owner's copy from before the description does not undo what the link knows.
    publication.publish(settings);
    EXPECT_EQ(publication.current()->accessory.generation, 2);
    EXPECT_FALSE(publication.current()->spectrumMode());
}

TEST(SettingsPublication, RunStatesThatWantMeasurements) {
    SettingsPublication publication;
    EXPECT_TRUE(publication.measuring());
    publication.setRunState(SpectrumSettings::kPaused);
    EXPECT_FALSE(publication.measuring());
    publication.setRunState(SpectrumSettings::kSingleShotArmed);
    EXPECT_TRUE(publication.measuring());
    publication.setRunState(SpectrumSettings::kSingleShotTaken);
    EXPECT_FALSE(publication.measuring());
}
