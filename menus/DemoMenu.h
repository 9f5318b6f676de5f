#pragma once

#include <string>

#include "menus/MenuLayer.h"
#include "menus/PickerViewDataSource.h"
#include "menus/PickerViewDelegate.h"

class PickerViewMenu;

// What the demonstration imitates: the accessory model, the signal in the air and whether
// recorded access-point lists play. The menu is the data source and delegate of its pickers.
class DemoMenu : public MenuLayer, public PickerViewDataSource, public PickerViewDelegate {
  public:
    enum Row { kHardwareRow, kSignalRow, kWifiSsidRow, kPowerViewRow, kSettingsRow };
    enum PickerRow { kNoPicker = 0, kHardwarePicker = 1, kSignalPicker = 2 };

    static DemoMenu* create();
    bool init() override;
    ~DemoMenu() override;

    static const char* hardwareLabel(int hardware);

    // "POWER VIEW: " TRIGGERED shows the recordings at the time base they were made with;
    // ROLLING at the fastest rolling time base, as a strip chart. Only for hardware with a
    // power meter. Both reconfigure with the data cleared.
    void showRollingPowerView(bool rolling);
    static bool powerViewRolling();

    // Opens the picker for a row (kHardwarePicker or kSignalPicker) over this menu.
    PickerViewMenu* openPicker(int pickerRow);
    PickerViewMenu* getPicker() const { return picker_; }

    int numberOfRowsInPickerView(PickerViewMenu* picker) override;
    std::string pickerViewTitleForRow(PickerViewMenu* picker, int row) override;
    void pickerViewDidChooseRow(PickerViewMenu* picker, int row) override;
    void pickerViewDidCancel(PickerViewMenu* picker) override;

  private:
    DemoMenu() = default;
    void dropPicker();

    int pickerRow_ = kNoPicker;
    PickerViewMenu* picker_ = nullptr;  // retained while open
};
