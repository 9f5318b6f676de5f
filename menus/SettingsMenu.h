#pragma once

#include <cstdint>
#include <string>

#include <functional>

#include "menus/AlertViewDelegate.h"
#include "menus/MenuLayer.h"

// Display and unit settings common to both modes, screenshots, the data log, the three stored
// configurations and the on-screen log. Every control writes straight into the model and the
// menu then shows the model again. Resetting the configuration and saving over a slot in use ask
// first; saving, loading and resetting say in the on-screen log what they did.
class SettingsMenu : public MenuLayer, public AlertViewDelegate {
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
        kScreenLogRow,
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

    // Saves the next frames' picture into the data directory; a host's menus and bar are hidden
    // meanwhile. The name of the file it will write.
    static std::string takeScreenshot(MenuHost* host = nullptr);
    // Whether a configuration slot holds a saved configuration.
    static bool slotInUse(int slot);

    void alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) override;

  private:
    SettingsMenu() = default;
    void stepGraticule(int direction);
    void stepAlerts(int direction);
    void loadConfiguration(int slot);
    void saveConfiguration(int slot);
    void resetConfiguration();
    // Asks with an alert; `confirmed` runs on its first button.
    void confirm(const std::string& title, const std::string& message, const std::string& yes,
                 std::function<void()> confirmed);
    // The bar and this menu show what a load or reset changed.
    void afterConfigurationChange();

    std::function<void()> confirmed_;
    int graticulePosition_ = 0;
    int alertPosition_ = 0;
};
