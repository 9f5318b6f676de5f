#include "model/config/ConfigurationDescription.h"

#include <gtest/gtest.h>

#include "model/SpectrumSettings.h"

namespace {

bool hasLine(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos;
}

TEST(ConfigurationDescriptionTest, NamesEachSettingWithItsWord) {
    SpectrumSettings settings;
    std::string text = describeConfiguration(settings);
    EXPECT_TRUE(hasLine(text, "  graticule                   31  (GRATICULE)")) << text;
    EXPECT_TRUE(hasLine(text, "  alerts                      3  (ALERTS)")) << text;
    EXPECT_TRUE(hasLine(text, "  traceModes                  6, 0, 0  (HEAT MAP, NONE, NONE)"))
        << text;
    EXPECT_TRUE(hasLine(text, "  channelGuide24              3  (802.11n - 20MHz)")) << text;
    EXPECT_TRUE(hasLine(text, "  refreshInterval             30  (REFRESH: 30s)")) << text;
    EXPECT_TRUE(hasLine(text, "  externalAttenuation         0  (EXT. ATTEN: 0.00 dB)")) << text;
    EXPECT_TRUE(hasLine(text, "  signalType                  1  (WIFI)")) << text;
    EXPECT_TRUE(hasLine(text, "  history                     0 captures")) << text;

    settings.graticule = 6;
    settings.common_settings.internalAttenuationIndex = 8;
    settings.spectrum_settings.refreshInterval = 0.0f;
    settings.spectrum_settings.traceModes[1] = 200;
    text = describeConfiguration(settings);
    EXPECT_TRUE(hasLine(text, "  graticule                   6  (NONE)")) << text;
    EXPECT_TRUE(hasLine(text, "  internalAttenuationIndex    8  (INT. ATTEN: UNKNOWN)")) << text;
    EXPECT_TRUE(hasLine(text, "  refreshInterval             0  (REFRESH: ALWAYS)")) << text;
    EXPECT_TRUE(hasLine(text, "  traceModes                  6, 200, 0  (HEAT MAP, UNKNOWN, NONE)"))
        << text;
}

}  // namespace
