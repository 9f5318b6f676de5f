#pragma once

#include <cstdint>
#include <string>

#include "menus/MenuLayer.h"

// Display and unit settings common to both modes, screenshots, the data log and the three
// stored configurations. Every control writes straight into the model and the menu then shows
// the model again.
class SettingsMenu : public MenuLayer {
  public:
    enum Row {
        kTraceStyleRow,
        kGraticuleRow,
        kAlertsRow,
        kPersistRow,
        kUnitsRow,
        kScreenshotRow,
        kDataLogRow,
        kManageFilesRow,
        kResetRow,
        kConfig1Row,
        kConfig2Row,
        kConfig3Row,
        kPublishRow,
    };
    // How long the menus stay hidden before the picture is taken, and after it.
    static constexpr float kCaptureDelay = 0.25f;

    static SettingsMenu* create();
    bool init() override;

    int getGraticulePosition() const { return graticulePosition_; }
    int getAlertPosition() const { return alertPosition_; }

    // The persistence slider: percent from seconds (any stored float, NaN included) and back.
    static float persistPercent(float persistTime);
    static float persistTimeForPercent(float percent);

    // Hides menus and bar, saves the next frames' picture into the data directory, shows them
    // again. The name of the file it will write.
    static std::string takeScreenshot();

  private:
    SettingsMenu() = default;
    void stepGraticule(int direction);
    void stepAlerts(int direction);
    void loadConfiguration(int slot);
    void resetConfiguration();
    // What a load or reset changed behind the controller's and the bar's back.
    void afterConfigurationChange(uint8_t demoHardwareBefore, int modeBefore);

    int graticulePosition_ = 0;
    int alertPosition_ = 0;
};
