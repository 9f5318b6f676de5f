#include "menus/SpectrumColorMenu.h"

#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"

namespace {

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

}  // namespace

SpectrumColorMenu* SpectrumColorMenu::create() {
    auto* menu = new (std::nothrow) SpectrumColorMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

bool SpectrumColorMenu::init() {
    if (!MenuLayer::init())
        return false;
    addRow(MenuRow::choice(
        "", {"RAINBOW", "FIRE", "X-RAY", "GREEN"},
        [] {
            // A stored map outside the four leaves every button dim (the pictures are grey).
            const int map = model().spectrum_settings.heatMapColorMap;
            return map >= 0 && map <= 3 ? map : -1;
        },
        [this](int i) { chooseColorMap(i); }));
    return true;
}

void SpectrumColorMenu::chooseColorMap(int colorMap) {
    SpectrumSettings& m = model();
    instrument().edit(SettingChange::kDisplay, [colorMap](SpectrumSettings& s) {
        SpectrumViewSettings& view = s.spectrum_settings;
        const bool changed =
            view.heatMapColorMap != colorMap || view.heatMapColorMapTrace != colorMap;
        view.heatMapColorMap = colorMap;
        view.heatMapColorMapTrace = colorMap;
        return changed;
    });
    markForRefresh();
    for (BandSweepBuffers* band : {&m.band24, &m.band5}) {
        band->heatMap.dirty = true;
        band->waterfallDirty = true;
    }
}
