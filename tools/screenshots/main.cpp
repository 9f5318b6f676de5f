// tarno-screenshots OUTPUT_DIRECTORY [RESOURCE_ROOT]
//
// Renders the demonstration in each view and writes the pictures the README shows. Run it
// through scripts/screenshots.sh, which gives it a scratch home and no display.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScreenshotSession.h"
#include "app/MainScene.h"
#include "engine/ui/Button.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/AccessPointSelection.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"

namespace {

// Plays until the access points have come and no list is awaited (the "Acquiring SSID" shade
// would cover the picture), at most `limit` passes.
void playUntilScanned(ScreenshotSession& session, int minimum, int limit) {
    SpectrumSettings& m = session.model();
    session.play(minimum);
    for (int i = minimum; i < limit; ++i) {
        if (!m.accessPoints.empty() && !m.runtime.ssidAcquiring)
            return;
        session.play(1);
    }
}

// The two strongest 2.4 GHz access points become "our own", so the utilization table has
// recommendations to show.
void selectStrongest(SpectrumSettings& m) {
    std::vector<const AccessPoint*> candidates;
    for (const auto& ap : m.accessPoints) {
        if (ap && !ap->is5GHz)
            candidates.push_back(ap.get());
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const AccessPoint* a, const AccessPoint* b) { return a->rssi > b->rssi; });
    for (size_t i = 0; i < candidates.size() && i < 2; ++i)
        AccessPointSelection::add(m.scanStatistics, candidates[i]->bssid);
}

// The strongest access point of the band on screen.
void highlightStrongest(SpectrumSettings& m) {
    const AccessPoint* best = nullptr;
    for (const auto& ap : m.accessPoints) {
        if (ap && ap->is5GHz == (m.spectrum_settings.band == 1 ? 1 : 0) &&
            (!best || ap->rssi > best->rssi))
            best = ap.get();
    }
    if (best)
        std::copy(std::begin(best->bssid), std::end(best->bssid), m.runtime.highlightedBssid);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tarno-screenshots OUTPUT_DIRECTORY [RESOURCE_ROOT]\n");
        return 2;
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ScreenshotSession session(argc == 3 ? argv[2] : SCREENSHOTS_RESOURCE_ROOT, argv[1]);
    if (!session.start()) {
        std::fprintf(stderr, "tarno-screenshots: no OpenGL 3.3 context\n");
        return 1;
    }
    SpectrumSettings& m = session.model();
    MainScene& scene = session.scene();
    bool ok = true;

    // The dual-band model in a room full of Wi-Fi: heat map and live trace, the channel guide.
    m.demo.hardware = 2;
    m.demo.signalType = 1;
    m.demo.wifiSsid = 1;
    m.spectrum_settings.traceModes[0] = SpectrumSettings::kTraceHeatMap;
    m.spectrum_settings.traceModes[1] = SpectrumSettings::kTraceRaw;
    m.spectrum_settings.traceModes[2] = SpectrumSettings::kTraceMaxHold;
    m.spectrum_settings.channelGuideState = 1;  // the guide's channel buttons shown
    m.cursors.verticalX[0] = 250.f;
    m.cursors.verticalX[1] = 420.f;
    session.controller().restartPlayback();
    playUntilScanned(session, 400, 1200);
    ok &= session.capture("spectrum.png");

    // A menu over it: the cursors, with the cursors on.
    m.cursors.cursorsShown = 1;
    MenuController* menus = MenuController::getInstance();
    if (MenuBar* bar = menus->getMenuBar())
        menus->openMenuFromButton(2, bar->getButton(MenuBar::kCursorsButton));
    session.frames(40);
    ok &= session.capture("menu-cursors.png");
    menus->closeAll(false);
    m.cursors.cursorsShown = 0;

    // The peak table beside the spectrum, its peaks labelled on the traces.
    m.spectrum_settings.peakCounts[SpectrumSettings::kTraceMaxHold - 1] = 3;
    m.spectrum_settings.peakCounts[SpectrumSettings::kTraceRaw - 1] = 0;
    scene.togglePeakTable();
    session.frames(20);
    ok &= session.capture("peak-table.png");
    scene.hidePeakTable();

    // The strongest access point picked: its row and its outline below the table highlighted.
    highlightStrongest(m);
    scene.showSsidTable();
    session.frames(6);
    ok &= session.capture("ssid-table.png");
    scene.hideSsidTable();
    std::fill(std::begin(m.runtime.highlightedBssid), std::end(m.runtime.highlightedBssid), 0);

    // Graded over the newest hundred sweeps, after a scan with our own access points chosen.
    selectStrongest(m);
    session.play(400);
    scene.showUtilizationTable();
    session.frames(2);
    ok &= session.capture("utilization-table.png");
    scene.hideUtilizationTable();

    m.spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    m.spectrum_settings.channelGuideState = 0;  // leave the history in view
    session.play(420);                          // the history reaches the bottom
    ok &= session.capture("waterfall.png");

    // The first model's power meter on a pulse train, with six pulse measurements.
    m.spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    m.demo.hardware = 0;
    m.common_settings.spectrumMode = CommonSettings::kPowerMode;
    if (MenuBar* bar = menus->getMenuBar())
        bar->refresh();  // as "Switch To" does
    const uint8_t slots[] = {PulseMeasurement::kPeriod, 1, 3, 5, 13, 21};
    std::copy(std::begin(slots), std::end(slots), m.power_setting.measureSlots);
    session.controller().restartPlayback();
    session.play(60);
    ok &= session.capture("power-triggered.png");
    if (m.accessory.powerRollLimitIndex > 0) {
        m.power_setting.powerTimeBaseIndex = m.accessory.powerRollLimitIndex - 1;
        session.play(60);
        ok &= session.capture("power-roll.png");
    } else {
        std::fprintf(stderr, "tarno-screenshots: the demonstration's power meter never rolls\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
