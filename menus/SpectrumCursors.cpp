#include "menus/SpectrumCursors.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

#include "instrument/Instrument.h"
#include "model/CursorSelection.h"
#include "model/SpectrumSettings.h"

namespace {

CursorSettings& cursors() {
    return SpectrumSettings::getInstance()->cursors;
}

bool powerMode() {
    return SpectrumSettings::getInstance()->common_settings.spectrumMode ==
           CommonSettings::kPowerMode;
}

int referenceInUse(const CursorSettings& c) {
    return SpectrumCursors::horizontalInUse(c) ? c.levelReference : c.positionReference;
}

// Any change of the cursor settings, through the instrument.
void editCursors(Instrument& instrument, const std::function<void(CursorSettings&)>& change) {
    instrument.edit(SettingChange::kCursors, [&change](SpectrumSettings& s) {
        const CursorSettings before = s.cursors;
        change(s.cursors);
        return std::memcmp(&before, &s.cursors, sizeof before) != 0;
    });
}

// The horizontal pair's choices are BASE and RATIO; their buttons stand for bytes 0 and 2.
constexpr int kHorizontalUnits[] = {SpectrumCursors::kBase, SpectrumCursors::kRatio};

}  // namespace

SpectrumCursors* SpectrumCursors::create() {
    auto* menu = new (std::nothrow) SpectrumCursors();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

bool SpectrumCursors::horizontalInUse(const CursorSettings& c) {
    // A stored image with both or neither pair switched on counts as the vertical pair, the
    // default.
    return c.horizontalShown != 0 && c.verticalShown == 0;
}

int SpectrumCursors::unitInUse(const CursorSettings& c) {
    return horizontalInUse(c) ? c.levelUnit : c.positionUnit;
}

bool SpectrumCursors::chooseUnit(CursorSettings& c, int unit) {
    if (unit != kBase && unit != kPhase && unit != kRatio)
        return false;
    if (horizontalInUse(c)) {
        if (unit == kPhase)
            return false;
        c.levelUnit = static_cast<uint8_t>(unit);
    } else {
        c.positionUnit = static_cast<uint8_t>(unit);
    }
    return true;
}

void SpectrumCursors::chooseReference(CursorSettings& c, int reference) {
    const uint8_t value = reference == 1 ? 1 : 0;
    const bool horizontal = horizontalInUse(c);
    (horizontal ? c.levelReference : c.positionReference) = value;
    if (value != 1 || unitInUse(c) == kBase)
        return;
    const float* positions = horizontal ? c.horizontalY : c.verticalX;
    float* span = horizontal ? c.levelReferencePair : c.positionReferencePair;
    span[0] = std::min(positions[0], positions[1]);
    span[1] = std::max(positions[0], positions[1]);
}

bool SpectrumCursors::init() {
    if (!MenuLayer::init())
        return false;
    auto vertical = [] { return !horizontalInUse(cursors()); };
    auto horizontal = [] { return horizontalInUse(cursors()); };

    addRow(MenuRow::choice(
        "CURSORS: ", {"OFF", "ON"}, [] { return cursors().cursorsShown ? 1 : 0; },
        [this](int i) {
            editCursors(instrument(), [i](CursorSettings& c) { c.cursorsShown = i == 1 ? 1 : 0; });
        }));
    addRow(MenuRow::choice(
        "", {"VERTICAL", "HORIZONTAL"}, [horizontal] { return horizontal() ? 1 : 0; },
        [this](int i) {
            editCursors(instrument(), [i](CursorSettings& c) {
                c.verticalShown = i == 0 ? 1 : 0;
                c.horizontalShown = i == 1 ? 1 : 0;
            });
        }));
    addRow(MenuRow::choice(
        "", {"INDEPENDENT", "TRACKING"}, [] { return cursors().tracking ? 1 : 0; },
        [this](int i) {
            editCursors(instrument(), [i](CursorSettings& c) { c.tracking = i == 1 ? 1 : 0; });
        }));
    // The solid cursor, the one that drags and the arrow keys move; a click on a cursor
    // selects it too.
    addRow(MenuRow::choice(
        "SELECTED: ", {"1", "2"}, [] { return selectedCursorIndex(cursors()); },
        [this](int i) {
            editCursors(instrument(),
                        [i](CursorSettings& c) { c.selectedCursor = i == 1 ? 1 : 0; });
        }));

    addRow(MenuRow::choice(
               "", {"BASE", "PHASE", "RATIO"}, [] { return int(cursors().positionUnit); },
               [this](int i) {
                   editCursors(instrument(), [i](CursorSettings& c) { chooseUnit(c, i); });
               })
               .shownWhen(vertical));
    addRow(MenuRow::choice(
               "", {"BASE", "RATIO"},
               [] {
                   // A stored 1 (no level readouts) lights neither and stays as stored.
                   const int unit = cursors().levelUnit;
                   return unit == kBase ? 0 : unit == kRatio ? 1 : -1;
               },
               [this](int i) {
                   editCursors(instrument(), [i](CursorSettings& c) {
                       chooseUnit(c, kHorizontalUnits[i == 1 ? 1 : 0]);
                   });
               })
               .shownWhen(horizontal));

    // Time readouts in seconds or as frequencies; the spectrum's positions are frequencies
    // whatever this byte says.
    addRow(MenuRow::choice(
               "UNIT: ", {"s", "Hz"}, [] { return int(cursors().positionReference); },
               [this](int i) {
                   editCursors(instrument(), [i](CursorSettings& c) { chooseReference(c, i); });
               })
               .shownWhen([vertical] {
                   return vertical() && cursors().positionUnit == kBase && powerMode();
               }));
    addRow(MenuRow::choice(
               "360° WITHIN: ", {"5 DIV", "CURSOR"},
               [] { return int(cursors().positionReference); },
               [this](int i) {
                   editCursors(instrument(), [i](CursorSettings& c) { chooseReference(c, i); });
               })
               .shownWhen([vertical] { return vertical() && cursors().positionUnit == kPhase; }));
    addRow(MenuRow::choice(
               "100% WITHIN: ", {"GRID", "CURSOR"}, [] { return referenceInUse(cursors()); },
               [this](int i) {
                   editCursors(instrument(), [i](CursorSettings& c) { chooseReference(c, i); });
               })
               .shownWhen([] { return unitInUse(cursors()) == kRatio; }));
    return true;
}
