#include "menus/PowerMenu.h"

#include <string>

#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "menus/AttenuationRanges.h"
#include "model/SpectrumSettings.h"

namespace {

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

}  // namespace

PowerMenu* PowerMenu::create() {
    auto* menu = new (std::nothrow) PowerMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

bool PowerMenu::init() {
    if (!MenuLayer::init())
        return false;
    SpectrumSettings& m = model();
    // A stored step the pickers do not offer (7, or a damaged value) is shown as it is.
    addRow(MenuRow::picker(
               "INT. ATTEN: ",
               [&m] {
                   return std::string(SpectrumSettings::internalAttenuationLabel(
                       m.common_settings.internalAttenuationIndex));
               },
               [this] { openInternalPicker(); })
               .enabledWhen([&m] {
                   return m.runtime.deviceConnected.load() && m.accessory.hasInternalAttenuator;
               }));
    addRow(MenuRow::picker(
        "EXT. ATTEN: ",
        [&m] { return AttenuationRanges::externalText(m.common_settings.externalAttenuation); },
        [this] { openExternalPicker(); }));
    addRow(MenuRow::buttons("", {{"REF",
                                  [this, &m] {
                                      const uint8_t shown = m.reference_channel.shown ? 0 : 1;
                                      instrument().set(SettingChange::kDisplay,
                                                       m.reference_channel.shown, shown);
                                  },
                                  {}},
                                 {"GRAB", [this] { grabReference(); }, {}},
                                 {"CLR", [] { clearReference(); }, {}}}));
    return true;
}

void PowerMenu::onRefresh() {
    // REF is a switch: bright while the reference is shown.
    if (engine::ui::Button* ref = getButton(kReferenceRow, kRefButton))
        ref->loadTextureNormal(model().reference_channel.shown ? "ButtonSelected.png"
                                                               : "ButtonUnselected.png");
}

void PowerMenu::grabReference() {
    SpectrumSettings& m = model();
    {
        // The grab appends: without this a second GRAB would keep the first one's capture too.
        m.clearReference();
    }
    m.grabReference();
    instrument().set(SettingChange::kDisplay, m.reference_channel.shown, uint8_t{1});
}

void PowerMenu::clearReference() {
    SpectrumSettings& m = model();
    m.clearReference();
}

// Attenuation pickers --------------------------------------------------------------------------

PickerViewMenu* PowerMenu::openInternalPicker() {
    auto rows = AttenuationRanges::internalRows(model().accessory.internalAttenuationCount);
    ValueTablePickerSource* source = rows.get();
    const int row = source->rowForValue(model().common_settings.internalAttenuationIndex);
    markForRefresh();
    return picker_.open(getHost(), std::move(rows), row, [this, source](int chosen) {
        setInternal(static_cast<int>(source->valueForRow(chosen)));
    });
}

PickerViewMenu* PowerMenu::openExternalPicker() {
    auto rows = AttenuationRanges::externalRows();
    NumericRangePickerSource* source = rows.get();
    const int row = source->rowForValue(model().common_settings.externalAttenuation);
    markForRefresh();
    return picker_.open(getHost(), std::move(rows), row, [this, source](int chosen) {
        setExternal(static_cast<float>(source->valueForRow(chosen)));
    });
}

void PowerMenu::setInternal(int step) {
    instrument().set(SettingChange::kInternalAttenuation,
                     model().common_settings.internalAttenuationIndex, step);
    markForRefresh();
}

void PowerMenu::setExternal(float decibels) {
    instrument().set(SettingChange::kExternalAttenuation,
                     model().common_settings.externalAttenuation, decibels);
    markForRefresh();
}
