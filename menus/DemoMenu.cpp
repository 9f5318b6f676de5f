#include "menus/DemoMenu.h"

#include "engine/base/Types.h"
#include "instrument/Instrument.h"
#include "menus/MenuBar.h"
#include "menus/PickerViewMenu.h"
#include "menus/SettingsMenu.h"
#include "model/DemoTriggerPresets.h"
#include "model/SpectrumSettings.h"

namespace {

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

}  // namespace

DemoMenu* DemoMenu::create() {
    auto* menu = new (std::nothrow) DemoMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

DemoMenu::~DemoMenu() {
    dropPicker();
}

const char* DemoMenu::hardwareLabel(int hardware) {
    return SpectrumSettings::demoHardwareLabel(hardware);
}

bool DemoMenu::init() {
    if (!MenuLayer::init())
        return false;
    addRow(MenuRow::picker(
        "HARDWARE: ", [] { return std::string(hardwareLabel(model().demo.hardware)); },
        [this] { openPicker(kHardwarePicker); }));
    addRow(MenuRow::picker(
        "SIGNAL TYPE: ",
        [] { return std::string(SpectrumSettings::signalTypeLabel(model().demo.signalType)); },
        [this] { openPicker(kSignalPicker); }));
    addRow(
        MenuRow::choice(
            "WIFI SSID: ", {"OFF", "ON"}, [] { return model().demo.wifiSsid ? 1 : 0; },
            [this](int i) {
                instrument().set(SettingChange::kDemoScene, model().demo.wifiSsid, uint8_t{i == 1});
            })
            .shownWhen([] { return model().demo.hardware != 0 && model().demo.signalType == 1; }));
    addRow(MenuRow::choice(
               "POWER VIEW: ", {"TRIGGERED", "ROLLING"}, [] { return powerViewRolling() ? 1 : 0; },
               [this](int i) { showRollingPowerView(i == 1); })
               .shownWhen([] { return model().accessory.hasPowerMeter; }));
    return true;
}

bool DemoMenu::powerViewRolling() {
    return model().isRolling();
}

void DemoMenu::showRollingPowerView(bool rolling) {
    SpectrumSettings& m = model();
    if (m.runtime.deviceConnected || rolling == m.isRolling())
        return;
    const AccessoryDescription& a = m.accessory;
    const int32_t triggered = DemoTriggerPresets::forHardware(m.demo.hardware).timeBaseIndex;
    const int32_t index = rolling ? a.powerRollLimitIndex - 1 : triggered;
    if (index < 0 || static_cast<size_t>(index) >= a.powerTimeBases.size())
        return;
    instrument().set(SettingChange::kDemoTimeBase, m.power_setting.powerTimeBaseIndex, index);
}

void DemoMenu::dropPicker() {
    if (!picker_)
        return;
    // The picker may outlive this menu for a frame (it fades out later): it must not call back.
    picker_->setDelegate(nullptr);
    picker_->setDataSource(nullptr);
    picker_->release();
    picker_ = nullptr;
}

PickerViewMenu* DemoMenu::openPicker(int pickerRow) {
    dropPicker();
    pickerRow_ = pickerRow;
    PickerViewMenu* picker = PickerViewMenu::create(this, this);
    if (!picker)
        return nullptr;
    picker_ = picker;
    picker_->retain();
    // A stored value past the rows (a damaged byte, signal 2 on the dual-band model) is clamped.
    picker->selectRow(pickerRow == kHardwarePicker ? model().demo.hardware
                                                   : model().demo.signalType);
    if (MenuHost* host = getHost())
        host->showMenu(picker, engine::Rect());
    markForRefresh();
    return picker;
}

int DemoMenu::numberOfRowsInPickerView(PickerViewMenu*) {
    if (pickerRow_ == kHardwarePicker)
        return 3;
    if (pickerRow_ == kSignalPicker)
        return model().demo.hardware == 2 ? 2 : 4;
    return 0;
}

std::string DemoMenu::pickerViewTitleForRow(PickerViewMenu*, int row) {
    if (pickerRow_ == kHardwarePicker)
        return hardwareLabel(row);
    return SpectrumSettings::signalTypeLabel(row);
}

void DemoMenu::pickerViewDidChooseRow(PickerViewMenu*, int row) {
    if (pickerRow_ == kHardwarePicker && row >= 0 && row <= 2) {
        instrument().setDemoHardware(static_cast<uint8_t>(row));
    } else if (pickerRow_ == kSignalPicker) {
        const uint8_t signal = row >= 1 && row <= 3 ? static_cast<uint8_t>(row) : 0;
        instrument().set(SettingChange::kDemoSignal, model().demo.signalType, signal);
    }
    pickerRow_ = kNoPicker;
    markForRefresh();
}

void DemoMenu::pickerViewDidCancel(PickerViewMenu*) {
    pickerRow_ = kNoPicker;
    markForRefresh();
}
