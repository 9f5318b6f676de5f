#include "menus/SpectrumMenu.h"

#include <cmath>
#include <cstdio>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "menus/AccessPointTables.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuSliderScales.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr int kAlertZOrder = 200;
// The settings command carries internal attenuation codes 0 to 6; a seventh step would be
// shown and added to every level while the accessory attenuates nothing.
constexpr int kSendableAttenuationSteps = 7;
constexpr double kExternalAttenuationMax = 60.0;

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

std::string fixed2(float value, const char* unit) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%s", value, unit);
    return text;
}

bool anySlot(uint8_t kind) {
    for (uint8_t slot : model().spectrum_settings.traceModes) {
        if (slot == kind)
            return true;
    }
    return false;
}

ValueTablePickerSource traceKindTable() {
    std::vector<ValueTablePickerSource::Entry> entries;
    for (int kind = SpectrumSettings::kTraceNone; kind <= SpectrumSettings::kTraceHeatMap; ++kind)
        entries.push_back({static_cast<double>(kind), SpectrumSettings::traceModeLabel(kind)});
    return ValueTablePickerSource(std::move(entries));
}

}  // namespace

SpectrumMenu::SpectrumMenu()
    : traceKinds_(traceKindTable()),
      internalSteps_(internalAttenuationSteps()),
      externalValues_(externalAttenuationValues()) {}

SpectrumMenu* SpectrumMenu::create() {
    auto* menu = new (std::nothrow) SpectrumMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

SpectrumMenu::~SpectrumMenu() {
    dropPicker();
}

ValueTablePickerSource SpectrumMenu::internalAttenuationSteps() {
    std::vector<ValueTablePickerSource::Entry> entries;
    for (int step = 0; step < kSendableAttenuationSteps; ++step)
        entries.push_back(
            {static_cast<double>(step), SpectrumSettings::internalAttenuationLabel(step)});
    return ValueTablePickerSource(std::move(entries));
}

NumericRangePickerSource SpectrumMenu::externalAttenuationValues() {
    return NumericRangePickerSource(0.0, kExternalAttenuationMax, 1.0, [](double value) {
        return externalAttenuationText(static_cast<float>(value));
    });
}

std::string SpectrumMenu::externalAttenuationText(float decibels) {
    return fixed2(decibels, " dB");
}

bool SpectrumMenu::init() {
    if (!MenuLayer::init())
        return false;
    SpectrumSettings& m = model();
    SpectrumViewSettings& view = m.spectrum_settings;

    addRow(MenuRow::choice(
        "FREQUENCY: ", {"2.4 GHz", "5 GHz"},
        [&view] { return view.band == 0 || view.band == 1 ? view.band : -1; },
        [this](int i) { chooseBand(i); }));
    addRow(MenuRow::choice(
        "MODE: ", {"REAL WAVE", "WATERFALL"},
        [&view] { return view.viewMode <= 1 ? view.viewMode : -1; },
        [this](int i) {
            instrument().edit(SettingChange::kSpectrumView, [i](SpectrumSettings& s) {
                const auto viewMode = static_cast<uint8_t>(i);
                const bool changed =
                    s.common_settings.spectrumMode != CommonSettings::kSpectrumMode ||
                    s.spectrum_settings.viewMode != viewMode;
                s.common_settings.spectrumMode = CommonSettings::kSpectrumMode;
                s.spectrum_settings.viewMode = viewMode;
                return changed;
            });
        }));
    addRow(MenuRow::choice(
        "SSID: ", {"OFF", "ON", "TABLE"}, [&view] { return view.ssidScanOn ? 1 : 0; },
        [this](int i) {
            if (i == 2)
                toggleSsidTable();
            else
                setScanning(i == 1);
        }));
    addRow(MenuRow::slider(
               "REFRESH:  ",
               [&view] { return MenuSliderScales::percentForRefresh(view.refreshInterval); },
               [this, &view](float p) {
                   instrument().set(SettingChange::kRefreshInterval, view.refreshInterval,
                                    MenuSliderScales::refreshForPercent(p));
               },
               [&view] { return SpectrumSettings::refreshIntervalText(view.refreshInterval); })
               .enabledWhen([&m] {
                   // An accessory that scans continuously has no interval to set.
                   return m.spectrum_settings.ssidScanOn && !m.accessory.scanKeepsRefresh;
               }));
    addRow(MenuRow::button("", "ACCESS POINT UTILIZATION", [this] { toggleUtilizationTable(); }));
    std::vector<MenuRow::Item> slots;
    for (int slot = 0; slot < 3; ++slot)
        slots.push_back({"NONE", [this, slot] { openPicker(kTracePicker1 + slot); }, {}});
    addRow(MenuRow::buttons("", std::move(slots)));
    addRow(MenuRow::button("", "CLEAR WAVEFORM", [this] { clearWaveform(); }));
    auto decayShown = [] { return anySlot(SpectrumSettings::kTraceDecay); };
    addRow(MenuRow::slider(
               "HOLD: ", [&view] { return MenuSliderScales::percentForHold(view.holdTime); },
               [this, &view](float p) {
                   instrument().set(SettingChange::kTraceProcessing, view.holdTime,
                                    MenuSliderScales::holdForPercent(p));
               },
               [&view] { return fixed2(view.holdTime, "s"); })
               .enabledWhen(decayShown));
    addRow(MenuRow::slider(
               "DECAY: ", [&view] { return MenuSliderScales::percentForDecay(view.decayStep); },
               [this, &view](float p) {
                   instrument().set(SettingChange::kTraceProcessing, view.decayStep,
                                    MenuSliderScales::decayForPercent(p));
               },
               [&view] { return fixed2(view.decayStep, "dBm"); })
               .enabledWhen(decayShown));
    addRow(
        MenuRow::slider(
            "AVERAGE: ", [&view] { return MenuSliderScales::percentForAverage(view.averageTime); },
            [this, &view](float p) {
                instrument().set(SettingChange::kTraceProcessing, view.averageTime,
                                 MenuSliderScales::averageForPercent(p));
            },
            [&view] { return fixed2(view.averageTime, "s"); })
            .enabledWhen([] { return anySlot(SpectrumSettings::kTraceAverage); }));
    addRow(MenuRow::picker(
               "INT. ATTEN: ",
               [&m] {
                   // A stored step the menu does not offer is shown as stored, not rewritten.
                   return std::string(SpectrumSettings::internalAttenuationLabel(
                       m.common_settings.internalAttenuationIndex));
               },
               [this] { openPicker(kInternalAttenuationPicker); })
               .enabledWhen([&m] {
                   return m.runtime.deviceConnected.load() && m.accessory.hasInternalAttenuator;
               }));
    addRow(MenuRow::picker(
        "EXT. ATTEN: ",
        [&m] { return externalAttenuationText(m.common_settings.externalAttenuation); },
        [this] { openPicker(kExternalAttenuationPicker); }));
    return true;
}

void SpectrumMenu::onRefresh() {
    const uint8_t* kinds = model().spectrum_settings.traceModes;
    for (int slot = 0; slot < 3; ++slot) {
        if (engine::ui::Button* button = getButton(kTraceRow, slot))
            button->setTitleText(SpectrumSettings::traceModeLabel(kinds[slot]));
    }
}

// Band, scanning and tables ---------------------------------------------------------------

void SpectrumMenu::chooseBand(int band) {
    instrument().chooseBand(band);
}

bool SpectrumMenu::accessoryCanScan() {
    const AccessoryDescription& accessory = model().accessory;
    return accessory.hasSsidScan24 || accessory.hasSsidScan5;
}

void SpectrumMenu::setScanning(bool on) {
    instrument().setSsidScan(on);
    if (on && !accessoryCanScan())
        showScanAlert(kSsidAlertTitle, true);
}

AccessPointTables* SpectrumMenu::tables() const {
    return getHost() ? dynamic_cast<AccessPointTables*>(getHost()->getScene()) : nullptr;
}

void SpectrumMenu::toggleSsidTable() {
    AccessPointTables* scene = tables();
    if (!scene)
        return;
    if (scene->isSsidTableShown()) {
        scene->hideSsidTable();
        return;
    }
    scene->showSsidTable();
    // The table lies under the dimmed menus: they go so it can be seen.
    getHost()->closeAll(true);
    if (!accessoryCanScan())
        showScanAlert(kSsidAlertTitle, false);
}

void SpectrumMenu::toggleUtilizationTable() {
    AccessPointTables* scene = tables();
    if (!scene)
        return;
    if (scene->isUtilizationTableShown()) {
        scene->hideUtilizationTable();
        return;
    }
    scene->showUtilizationTable();
    getHost()->closeAll(true);
    if (!accessoryCanScan())
        showScanAlert(kUtilizationAlertTitle, false);
}

void SpectrumMenu::showScanAlert(const char* title, bool overMenu) {
    // "Website" names no address: both buttons only dismiss, so the alert has no delegate and
    // may outlive this menu (a resize, or a table that closed the menus).
    const std::vector<std::string> buttons = {"OK", "Website"};
    if (overMenu) {
        showAlert(buttons, title, kScanAlertMessage, nullptr);
        return;
    }
    engine::Scene* scene = getHost() ? getHost()->getScene() : nullptr;
    if (!scene)
        scene = engine::Director::getInstance()->getRunningScene();
    if (!scene)
        return;
    if (AlertViewLayer* alert = AlertViewLayer::create(buttons, title, kScanAlertMessage))
        scene->addChild(alert, kAlertZOrder);
}

void SpectrumMenu::clearWaveform() {
    SpectrumSettings& m = model();
    if (m.runtime.scanPaused) {
        // The access points being edited in the utilization table stay.
        m.band24.clear();
        m.band5.clear();
    } else {
        m.clearSpectrumData();
    }
}

// Pickers ----------------------------------------------------------------------------------

void SpectrumMenu::dropPicker() {
    if (!picker_)
        return;
    // The picker may outlive this menu for a frame (it fades out later): it must not call back.
    picker_->setDelegate(nullptr);
    picker_->setDataSource(nullptr);
    picker_->release();
    picker_ = nullptr;
}

PickerViewMenu* SpectrumMenu::openPicker(int picker) {
    const SpectrumSettings& m = model();
    PickerViewDataSource* source = nullptr;
    int row = 0;
    if (picker >= kTracePicker1 && picker <= kTracePicker3) {
        source = &traceKinds_;
        row = traceKinds_.rowForValue(m.spectrum_settings.traceModes[picker - kTracePicker1]);
    } else if (picker == kInternalAttenuationPicker) {
        source = &internalSteps_;
        row = internalSteps_.rowForValue(m.common_settings.internalAttenuationIndex);
    } else if (picker == kExternalAttenuationPicker) {
        source = &externalValues_;
        row = externalValues_.rowForValue(m.common_settings.externalAttenuation);
    } else {
        return nullptr;
    }
    dropPicker();
    pickerKind_ = picker;
    PickerViewMenu* menu = PickerViewMenu::create(source, this);
    if (!menu)
        return nullptr;
    picker_ = menu;
    picker_->retain();
    menu->selectRow(row);
    if (getHost())
        getHost()->showMenu(menu, engine::Rect());
    markForRefresh();
    return menu;
}

void SpectrumMenu::pickerViewDidChooseRow(PickerViewMenu*, int row) {
    SpectrumSettings& m = model();
    const int picker = pickerKind_;
    pickerKind_ = kNoPicker;
    if (picker >= kTracePicker1 && picker <= kTracePicker3) {
        instrument().set(SettingChange::kTraceProcessing,
                         m.spectrum_settings.traceModes[picker - kTracePicker1],
                         static_cast<uint8_t>(traceKinds_.valueForRow(row)));
    } else if (picker == kInternalAttenuationPicker) {
        instrument().set(SettingChange::kInternalAttenuation,
                         m.common_settings.internalAttenuationIndex,
                         static_cast<int32_t>(internalSteps_.valueForRow(row)));
    } else if (picker == kExternalAttenuationPicker) {
        instrument().set(SettingChange::kExternalAttenuation, m.common_settings.externalAttenuation,
                         static_cast<float>(externalValues_.valueForRow(row)));
    }
    markForRefresh();
}

void SpectrumMenu::pickerViewDidCancel(PickerViewMenu*) {
    pickerKind_ = kNoPicker;
    markForRefresh();
}
