#include "menus/PowerMeasureMenu.h"

#include <string>
#include <vector>

#include "instrument/Instrument.h"
#include "menus/ValueTablePickerSource.h"
#include "model/PowerMeasurementText.h"
#include "model/SpectrumSettings.h"

namespace {

// Measurements without a computed value (delay, burst width, phase, overshoots, amplitude, high,
// low) are left out: their panel row would stay empty.
constexpr int kOffered[PowerMeasureMenu::kPickerRows] = {
    PowerMeasurementText::kNone, 18, 17, 19, 13, 21, 5, 6, 7, 8, 20, 22, 1, 0, 3, 4};

uint8_t* slots() {
    return SpectrumSettings::getInstance()->power_setting.measureSlots;
}

}  // namespace

PowerMeasureMenu* PowerMeasureMenu::create() {
    auto* menu = new (std::nothrow) PowerMeasureMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

int PowerMeasureMenu::idForRow(int row) {
    return row >= 0 && row < kPickerRows ? kOffered[row] : PowerMeasurementText::kNone;
}

bool PowerMeasureMenu::init() {
    if (!MenuLayer::init())
        return false;
    for (int slot = 0; slot < kSlots; ++slot) {
        // Ids past the table (23 to 254) have no name and show none.
        addRow(MenuRow::picker(
            "", [slot] { return std::string(PowerMeasurementText::longName(slots()[slot])); },
            [this, slot] { openPicker(slot); }));
    }
    addRow(MenuRow::button("STATISTICS: ", "RESET",
                           [] { SpectrumSettings::getInstance()->resetPulseStatistics(); }));
    return true;
}

PickerViewMenu* PowerMeasureMenu::openPicker(int slot) {
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    std::vector<ValueTablePickerSource::Entry> entries;
    for (int id : kOffered)
        entries.push_back({static_cast<double>(id), PowerMeasurementText::longName(id)});
    auto rows = std::make_unique<ValueTablePickerSource>(std::move(entries));
    // The inverse of the table; anything not offered selects row 0.
    const int row = rows->rowForValue(slots()[slot]);
    pickerSlot_ = slot;
    markForRefresh();
    return picker_.open(getHost(), std::move(rows), row, [this, slot](int chosen) {
        instrument().set(SettingChange::kPowerMeasurements, slots()[slot],
                         static_cast<uint8_t>(idForRow(chosen)));
        markForRefresh();
    });
}
