#include "menus/SettingsMenu.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <set>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/ActionInterval.h"
#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "instrument/Instrument.h"
#include "menus/CaptureFileName.h"
#include "menus/DataLogPickerViewMenu.h"
#include "menus/PublishSetting.h"
#include "menus/ScreenLog.h"
#include "model/DiagnosticSink.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/KeyValueStore.h"

namespace {

constexpr uint32_t kGraticuleBits[6] = {31, 1, 2, 4, 8, 16};
constexpr uint32_t kAlertValues[3] = {3, 1, 2};
constexpr int kInfoLevel = 4;
constexpr int kErrorLevel = 1;

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

void report(int level, const std::string& text) {
    if (DiagnosticSink* log = model().runtime.screenLog.load())
        log->log(level, "%s", text.c_str());
}

bool logRunning() {
    const int state = model().runtime.dataLogState.load();
    return state == SpectrumSettings::kDataLogStartRequested ||
           state == SpectrumSettings::kDataLogOn;
}

}  // namespace

SettingsMenu* SettingsMenu::create() {
    auto* menu = new (std::nothrow) SettingsMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

float SettingsMenu::persistPercent(float persistTime) {
    // Clamped as a float first: truncating NaN or a huge value to an integer is undefined.
    if (std::isnan(persistTime))
        return 0.f;
    const float percent = std::clamp((persistTime - 0.1f) * 5.0251255f, 0.f, 100.f);
    return std::trunc(percent);
}

float SettingsMenu::persistTimeForPercent(float percent) {
    if (std::isnan(percent))
        percent = 0.f;
    return std::clamp(percent * 0.199f + 0.1f, 0.1f, 20.f);
}

bool SettingsMenu::init() {
    if (!MenuLayer::init())
        return false;
    SpectrumSettings& m = model();

    addRow(MenuRow::choice(
        "", {"LINES", "DOTS"}, [&m] { return m.common_settings.traceDots ? 1 : 0; },
        [this, &m](int i) {
            instrument().set(SettingChange::kDisplay, m.common_settings.traceDots, uint8_t{i == 1});
        }));
    addRow(MenuRow::stepper(
        "", [this] { return SpectrumSettings::graticuleLabel(kGraticuleBits[graticulePosition_]); },
        [this, &m] {
            const uint32_t b = kGraticuleBits[graticulePosition_];
            return b == 31 ? m.graticule == 31 : (m.graticule & b) != 0;
        },
        [this](int direction) { stepGraticule(direction); }));
    addRow(MenuRow::stepper(
        "", [this] { return SpectrumSettings::alertsLabel(kAlertValues[alertPosition_]); },
        [this, &m] {
            const uint32_t v = kAlertValues[alertPosition_];
            return v == 3 ? m.alerts == 3 : (m.alerts & v) != 0;
        },
        [this](int direction) { stepAlerts(direction); }));
    addRow(MenuRow::slider(
        "PERSIST:   ", [&m] { return persistPercent(m.power_setting.persistTime); },
        [this, &m](float percent) {
            instrument().set(SettingChange::kDisplay, m.power_setting.persistTime,
                             persistTimeForPercent(percent));
        },
        [&m] {
            float seconds = m.power_setting.persistTime;
            seconds = std::isnan(seconds) ? 0.1f : std::clamp(seconds, 0.1f, 20.f);
            char text[16];
            std::snprintf(text, sizeof text, "%.1fs", seconds);
            return std::string(text);
        }));
    addRow(MenuRow::choice(
        "UNITS: ", {"dBm", "mW"}, [&m] { return m.common_settings.powerUnitsWatts ? 1 : 0; },
        [this, &m](int i) {
            instrument().set(SettingChange::kDisplay, m.common_settings.powerUnitsWatts,
                             int32_t{i});
        }));
    addRow(MenuRow::button("", "SCREENSHOT", [this] { takeScreenshot(getHost()); }));
    // The demonstration logs too; its files say so in their header lines.
    addRow(MenuRow::buttons(
        "DATA LOG: ",
        {{"START",
          [this] {
              if (!instrument().startDataLog())
                  return;
              report(kInfoLevel,
                     "Data log started in " + engine::FileUtils::getInstance()->getWritablePath());
          },
          [] { return !logRunning(); }},
         {"STOP",
          [this] {
              if (!instrument().stopDataLog())
                  return;
              report(kInfoLevel, "Data log stopped; the files are in " +
                                     engine::FileUtils::getInstance()->getWritablePath());
          },
          [] { return logRunning(); }}}));
    addRow(MenuRow::button("", "MANAGE FILES", [this] {
        auto* files = DataLogPickerViewMenu::create();
        if (files && getHost())
            getHost()->showMenu(files, engine::Rect());
    }));
    addRow(MenuRow::button("", "RESET CONFIG", [this] {
        confirm("Reset configuration", "Every setting goes back to its default.", "RESET",
                [this] { resetConfiguration(); });
    }));
    for (int slot = 1; slot <= 3; ++slot) {
        addRow(MenuRow::buttons("CONFIG " + std::to_string(slot) + ": ",
                                {{"SAVE",
                                  [this, slot] {
                                      if (!slotInUse(slot)) {
                                          saveConfiguration(slot);
                                          return;
                                      }
                                      confirm("Overwrite configuration " + std::to_string(slot),
                                              "The configuration saved there will be replaced.",
                                              "SAVE", [this, slot] { saveConfiguration(slot); });
                                  },
                                  {}},
                                 {"LOAD", [this, slot] { loadConfiguration(slot); }, {}}}));
    }
    addRow(MenuRow::choice(
        "PUBLISH: ", {"OFF", "ON"}, [] { return PublishSetting::enabled() ? 1 : 0; },
        [](int i) {
            PublishSetting::setEnabled(i == 1);
            report(kInfoLevel, i == 1 ? "Publishing to " + PublishSetting::brokerUrl()
                                      : std::string("Publishing stopped"));
        }));
    addRow(MenuRow::choice(
        "LOG: ", {"SHOWN", "HIDDEN"},
        [] {
            auto* log = dynamic_cast<ScreenLog*>(model().runtime.screenLog.load());
            return log && !log->isShown() ? 1 : 0;
        },
        [](int i) {
            if (auto* log = dynamic_cast<ScreenLog*>(model().runtime.screenLog.load()))
                log->setShown(i == 0, true);
        }));
    return true;
}

bool SettingsMenu::slotInUse(int slot) {
    const std::string prefix = ConfigurationStore::prefix(slot);
    return !prefix.empty() && ConfigurationStore::current().getInteger(prefix + "version", -1) >= 0;
}

void SettingsMenu::confirm(const std::string& title, const std::string& message,
                           const std::string& yes, std::function<void()> confirmed) {
    confirmed_ = std::move(confirmed);
    showAlert({yes, "CANCEL"}, title, message, this);
}

void SettingsMenu::alertViewButtonPressed(AlertViewLayer*, int buttonIndex) {
    std::function<void()> confirmed = std::move(confirmed_);
    confirmed_ = nullptr;
    if (buttonIndex == 0 && confirmed)
        confirmed();
}

void SettingsMenu::stepGraticule(int direction) {
    SpectrumSettings& m = model();
    if (direction < 0) {
        graticulePosition_ = (graticulePosition_ + 5) % 6;
    } else if (direction > 0) {
        graticulePosition_ = (graticulePosition_ + 1) % 6;
    } else {
        const uint32_t b = kGraticuleBits[graticulePosition_];
        const uint32_t graticule = b == 31 ? (m.graticule == 31 ? 0 : 31) : m.graticule ^ b;
        instrument().set(SettingChange::kDisplay, m.graticule, graticule);
    }
    markForRefresh();
}

void SettingsMenu::stepAlerts(int direction) {
    SpectrumSettings& m = model();
    if (direction < 0) {
        alertPosition_ = (alertPosition_ + 2) % 3;
    } else if (direction > 0) {
        alertPosition_ = (alertPosition_ + 1) % 3;
    } else {
        const uint32_t v = kAlertValues[alertPosition_];
        const uint32_t alerts = v == 3 ? (m.alerts == 3 ? 0 : 3) : m.alerts ^ v;
        instrument().set(SettingChange::kDisplay, m.alerts, alerts);
    }
    markForRefresh();
}

// Configurations ------------------------------------------------------------------------------

void SettingsMenu::loadConfiguration(int slot) {
    const bool saved = slotInUse(slot);
    if (!instrument().loadConfiguration(slot))
        report(kErrorLevel, "Configuration " + std::to_string(slot) + " could not be loaded");
    else if (saved)
        report(kInfoLevel, "Configuration " + std::to_string(slot) + " loaded");
    else
        report(kInfoLevel,
               "Configuration " + std::to_string(slot) + " was empty: the defaults are loaded");
    afterConfigurationChange();
}

void SettingsMenu::saveConfiguration(int slot) {
    if (model().saveConfigurationAndClear(slot))
        report(kInfoLevel, "Configuration " + std::to_string(slot) + " saved");
    else
        // Why the store cannot be written was said when it failed.
        report(kErrorLevel, "Configuration " + std::to_string(slot) + " could not be saved");
}

void SettingsMenu::resetConfiguration() {
    instrument().resetConfiguration();
    report(kInfoLevel, "Configuration reset to the defaults");
    afterConfigurationChange();
}

void SettingsMenu::afterConfigurationChange() {
    if (MenuHost* host = getHost())
        host->refreshMenuBar();
    markForRefresh();
}

// Screenshot ----------------------------------------------------------------------------------

std::string SettingsMenu::takeScreenshot(MenuHost* host) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const std::string directory = files->getWritablePath();
    // Names handed out but perhaps not yet written (the capture runs frames later).
    static std::set<std::string> issued;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string name = captureFileName(local, ".png", [&](const std::string& candidate) {
        return issued.count(candidate) > 0 || files->isFileExist(directory + candidate);
    });
    issued.insert(name);
    const std::string path = directory + name;

    engine::Scene* scene = host ? host->getScene() : nullptr;
    if (!scene)
        scene = engine::Director::getInstance()->getRunningScene();
    if (!scene)
        return name;
    if (host)
        host->setMenusHiddenForCapture(true);
    // On the scene, not the menu: a menu closed meanwhile must not leave the bar hidden.
    scene->runAction(engine::Sequence::create(
        engine::DelayTime::create(kCaptureDelay), engine::CallFunc::create([path] {
            engine::utils::captureScreen(
                [](bool saved, const std::string& file) {
                    report(saved ? kInfoLevel : kErrorLevel,
                           (saved ? "Screenshot saved to " : "Screenshot failed: ") + file);
                },
                path);
        }),
        engine::DelayTime::create(kCaptureDelay), engine::CallFunc::create([host] {
            if (host)
                host->setMenusHiddenForCapture(false);
        })));
    return name;
}
