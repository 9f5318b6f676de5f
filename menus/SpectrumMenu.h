#pragma once

#include <string>

#include "menus/MenuLayer.h"
#include "menus/NumericRangePickerSource.h"
#include "menus/PickerViewDelegate.h"
#include "menus/ValueTablePickerSource.h"

class AccessPointTables;
class PickerViewMenu;

// The spectrum mode's own menu: band and view, access-point scanning and its two tables, the
// three trace kinds, the hold, decay, average and refresh times and the two attenuations.
// Changes the accessory must know go to the controller, and only when a value changed.
class SpectrumMenu : public MenuLayer, public PickerViewDelegate {
  public:
    enum Row {
        kBandRow,
        kViewRow,
        kSsidRow,
        kRefreshRow,
        kUtilizationRow,
        kTraceRow,
        kClearRow,
        kHoldRow,
        kDecayRow,
        kAverageRow,
        kInternalAttenuationRow,
        kExternalAttenuationRow,
    };
    // Which control opened the picker.
    enum Picker {
        kNoPicker = 0,
        kTracePicker1 = 1,
        kTracePicker2 = 2,
        kTracePicker3 = 3,
        kInternalAttenuationPicker = 4,
        kExternalAttenuationPicker = 5,
    };
    static constexpr const char* kSsidAlertTitle = "SSID unavailable!";
    static constexpr const char* kUtilizationAlertTitle = "Access Point Utilization unavailable!";
    static constexpr const char* kScanAlertMessage =
        "SSID is unavailable with Tarno! Please visit the website to find SSID enabled products.";

    static SpectrumMenu* create();
    bool init() override;
    ~SpectrumMenu() override;

    PickerViewMenu* openPicker(int picker);
    PickerViewMenu* getPicker() const { return picker_; }

    void pickerViewDidChooseRow(PickerViewMenu* picker, int row) override;
    void pickerViewDidCancel(PickerViewMenu* picker) override;

    // The internal attenuation steps the settings command can carry, and the external
    // attenuation values offered.
    static ValueTablePickerSource internalAttenuationSteps();
    static NumericRangePickerSource externalAttenuationValues();
    static std::string externalAttenuationText(float decibels);

  protected:
    void onRefresh() override;

  private:
    SpectrumMenu();
    void chooseBand(int band);
    void setScanning(bool on);
    void toggleSsidTable();
    void toggleUtilizationTable();
    void clearWaveform();
    void dropPicker();
    // The scene's tables; null when the scene has none (a bare test scene).
    AccessPointTables* tables() const;
    static bool accessoryCanScan();
    // The scan alert over the scene; it only dismisses, so nothing refers back to a menu.
    void showScanAlert(const char* title, bool overMenu);

    ValueTablePickerSource traceKinds_;
    ValueTablePickerSource internalSteps_;
    NumericRangePickerSource externalValues_;
    int pickerKind_ = kNoPicker;
    PickerViewMenu* picker_ = nullptr;  // retained while open
};
