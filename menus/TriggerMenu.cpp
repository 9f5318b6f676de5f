#include "menus/TriggerMenu.h"

#include <cmath>
#include <string>

#include "instrument/Instrument.h"
#include "menus/TriggerValueRanges.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr int kDigitalChannels = 4;

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

PowerSettings& power() {
    return model().power_setting;
}

bool powerType() {
    return power().triggerOnPower != 0;
}

// A stored byte that is neither 0 nor 1 selects neither button.
int edgeChoice(uint8_t edge) {
    return edge <= 1 ? edge : -1;
}

uint8_t& channelByte(int which) {
    return which == 0 ? power().digitalChannelA : power().digitalChannelB;
}

uint8_t& edgeByte(int which) {
    return which == 0 ? power().digitalEdgeA : power().digitalEdgeB;
}

}  // namespace

TriggerMenu* TriggerMenu::create() {
    auto* menu = new (std::nothrow) TriggerMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

template <typename T>
void TriggerMenu::write(T& field, T value) {
    instrument().set(SettingChange::kTrigger, field, value);
    markForRefresh();
}

bool TriggerMenu::init() {
    if (!MenuLayer::init())
        return false;
    for (int which = 0; which < 2; ++which) {
        const int stored = channelByte(which);
        channelOnView_[which] = stored < kDigitalChannels ? stored : 0;
    }
    PowerSettings& p = power();

    addRow(MenuRow::choice(
        "", {"AUTO", "NORMAL"}, [&p] { return p.triggerAuto ? 0 : 1; },
        [this, &p](int i) { write<uint8_t>(p.triggerAuto, i == 0 ? 1 : 0); }));
    addRow(MenuRow::picker(
        "DELAY: ", [&p] { return TriggerValueRanges::secondsText(p.triggerDelay); },
        [this] { openDelayPicker(); }));
    addRow(MenuRow::picker(
        "HOLDOFF: ", [&p] { return TriggerValueRanges::secondsText(p.triggerHoldoff); },
        [this] { openHoldoffPicker(); }));
    addRow(MenuRow::choice(
        "TYPE: ", {"POWER", "DIGITAL"}, [] { return powerType() ? 0 : 1; },
        // The two types show different rows: the refresh lays them out again.
        [this, &p](int i) { write<uint8_t>(p.triggerOnPower, i == 0 ? 1 : 0); }));

    addRow(MenuRow::picker(
               "LEVEL: ", [&p] { return TriggerValueRanges::levelText(p.triggerLevel); },
               [this] { openLevelPicker(); })
               .shownWhen(powerType)
               .enabledWhen([] {
                   const AccessoryDescription& a = model().accessory;
                   return TriggerValueRanges::levelRangeKnown(a.powerAxisMin, a.powerAxisMax);
               }));
    addRow(MenuRow::choice(
               "", {"FALLING", "RISING"}, [&p] { return edgeChoice(p.triggerRisingEdge); },
               [this, &p](int i) { write<uint8_t>(p.triggerRisingEdge, i == 1 ? 1 : 0); })
               .shownWhen(powerType));
    addRow(MenuRow::button("", "GROUND", [this] { ground(); }).shownWhen(powerType));

    auto digital = [] { return !powerType(); };
    addRow(MenuRow::choice(
               "", {"A", "A&B", "A | B", "A -> B"}, [&p] { return p.digitalCombination; },
               [this, &p](int i) { write<uint8_t>(p.digitalCombination, static_cast<uint8_t>(i)); })
               .shownWhen(digital));
    addChannelRows(0);
    addChannelRows(1);
    return true;
}

void TriggerMenu::addChannelRows(int which) {
    const std::string name = which == 0 ? "A" : "B";
    auto digital = [] { return !powerType(); };
    addRow(MenuRow::stepper(
               "",
               [this, which, name] {
                   return name + ": D" + std::to_string(channelOnView_[which] + 1);
               },
               [this, which] { return channelByte(which) == channelOnView_[which]; },
               [this, which](int direction) { stepChannel(which, direction); })
               .shownWhen(digital));
    addRow(MenuRow::choice(
               "", {"FALL", "RISE"}, [which] { return edgeChoice(edgeByte(which)); },
               [this, which](int i) { write<uint8_t>(edgeByte(which), i == 1 ? 1 : 0); })
               .shownWhen(digital));
}

void TriggerMenu::stepChannel(int which, int direction) {
    int& shown = channelOnView_[which];
    if (direction == 0) {
        write<uint8_t>(channelByte(which), static_cast<uint8_t>(shown));
        return;
    }
    shown = (shown + direction + kDigitalChannels) % kDigitalChannels;
    markForRefresh();
}

void TriggerMenu::ground() {
    SpectrumSettings& m = model();
    const float bottom = m.accessory.powerAxisMin;
    if (std::isnan(bottom)) {
        markForRefresh();
        return;
    }
    // The level is kept as shown, attenuation included: the bottom of the shown axis is the
    // accessory's floor.
    write(m.power_setting.triggerLevel, bottom + m.amplitudeOffset());
}

// Value pickers ------------------------------------------------------------------------------

PickerViewMenu* TriggerMenu::openDelayPicker() {
    auto rows = TriggerValueRanges::delayRows(model().timeBaseNow());
    NumericRangePickerSource* source = rows.get();
    const int row = source->rowForValue(power().triggerDelay);
    markForRefresh();
    return picker_.open(getHost(), std::move(rows), row, [this, source](int chosen) {
        write(power().triggerDelay, static_cast<float>(source->valueForRow(chosen)));
    });
}

PickerViewMenu* TriggerMenu::openHoldoffPicker() {
    auto rows = TriggerValueRanges::holdoffRows();
    ValueTablePickerSource* source = rows.get();
    const int row = source->rowForValue(power().triggerHoldoff);
    markForRefresh();
    return picker_.open(getHost(), std::move(rows), row, [this, source](int chosen) {
        write(power().triggerHoldoff, static_cast<float>(source->valueForRow(chosen)));
    });
}

PickerViewMenu* TriggerMenu::openLevelPicker() {
    SpectrumSettings& m = model();
    auto rows = TriggerValueRanges::levelRows(m.accessory.powerAxisMin, m.accessory.powerAxisMax,
                                              m.amplitudeOffset());
    NumericRangePickerSource* source = rows.get();
    markForRefresh();
    if (source->rowCount() == 0)
        return nullptr;
    const int row = source->rowForValue(power().triggerLevel);
    return picker_.open(getHost(), std::move(rows), row, [this, source](int chosen) {
        write(power().triggerLevel, static_cast<float>(source->valueForRow(chosen)));
    });
}
