#include "app/AppDelegate.h"

#include <chrono>
#include <cstdio>

#include "app/MainScene.h"
#include "app/ResourceCheck.h"
#include "app/StartupDiagnostics.h"
#include "engine/base/Director.h"
#include "engine/platform/Device.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "instrument/Instrument.h"
#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "menus/MenuController.h"
#include "menus/PublishSetting.h"
#include "menus/ScreenLog.h"
#include "model/DataLogFile.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGradingHook.h"
#include "model/config/ConfigurationStore.h"
#include "publish/ModelPublisher.h"
#include "storage/KeyValueStore.h"

namespace {

constexpr float kWindowWidth = 960.f;
constexpr float kWindowHeight = 640.f;
constexpr int kDisplayClass = 3;
constexpr int kScreenLogLevels = 31;
constexpr uint64_t kScreenLogLifetimeMs = 15000;
// Beneath the tables (60), the bar, menus and alerts: the log never covers a control.
constexpr int kScreenLogZOrder = 55;
constexpr int kErrorLevel = 1;
constexpr float kPublishInterval = 0.1f;  // s; a sweep takes about as long
// Ahead of every layer's update (theirs run at priority 0).
constexpr int kDeliverFramesPriority = -1000;

}  // namespace

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate() {
    shutdown();
}

void AppDelegate::initGLContextAttrs() {
    engine::GLContextAttrs attrs;
    attrs.redBits = 8;
    attrs.greenBits = 8;
    attrs.blueBits = 8;
    attrs.alphaBits = 8;
    // Nothing draws with depth or stencil, and a window that has them costs a software rasteriser
    // more for every pixel it fills.
    attrs.depthBits = 0;
    attrs.stencilBits = 0;
    engine::GLView::setGLContextAttrs(attrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
    // Before anything is loaded or a window opens: a window that cannot draw shows nothing, and
    // the user has to learn what is missing and where it was looked for.
    engine::FileUtils* files = engine::FileUtils::getInstance();
    files->setSearchPaths({"res/desktop/sd", "res", ""});
    const ResourceCheck resourceCheck(files->getDefaultResourceRootPath());
    const std::vector<std::string> cannotDraw = resourceCheck.missingForDrawing();
    if (!cannotDraw.empty()) {
        std::fprintf(stderr, "%s\n", resourceCheck.drawingMessage(cannotDraw).c_str());
        resourcesMissing = true;
        return false;
    }

    engine::Device::setKeepScreenOn(true);

    // The store and the data logs live in ~/.local/share/Tarno/ (or $XDG_DATA_HOME/Tarno/).
    engine::FileUtils::getInstance()->setWritableDirectoryName("Tarno");

    // No other thread exists yet, so the model needs no locks here. What goes wrong while the
    // store opens and slot 0 loads is on stderr already; the window shows it too, once its log
    // exists.
    SpectrumSettings* model = SpectrumSettings::getInstance();
    StartupDiagnostics startupDiagnostics;
    const std::string storeProblem = ConfigurationStore::current().problem();
    if (!storeProblem.empty())
        startupDiagnostics.log(kErrorLevel, "%s", storeProblem.c_str());
    model->runtime.screenLog = &startupDiagnostics;
    model->loadConfiguration(0);
    model->runtime.screenLog = nullptr;

    engine::Director* director = engine::Director::getInstance();
    if (!director->getOpenGLView()) {
        engine::GLView* view = engine::GLViewImpl::createWithRect(
            "Tarno", engine::Rect(0, 0, kWindowWidth, kWindowHeight), 1.0f);
        if (!view)
            return false;
        director->setOpenGLView(view);
    }
    director->setAnimationInterval(1.f / 60.f);
    director->setContentScaleFactor(1.f);
    model->runtime.displayClass = kDisplayClass;

    MainScene* scene = MainScene::create();
    if (!scene)
        return false;

    screenLog = ScreenLog::create();
    if (screenLog) {
        screenLog->retain();
        screenLog->setLevelMask(kScreenLogLevels);
        screenLog->setTimeoutMilliseconds(kScreenLogLifetimeMs);
        screenLog->setPosition(director->getVisibleOrigin());
        screenLog->setContentSize(director->getVisibleSize());
        screenLog->setBottomMargin(MenuController::barHeight(kDisplayClass));
        screenLog->setShown(ScreenLog::storedShown(), false);
        scene->addChild(screenLog, kScreenLogZOrder);
        model->runtime.screenLog = screenLog;
        startupDiagnostics.forwardTo(*screenLog);
    }

    director->runWithScene(scene);
    if (tableToOpen == "ssid")
        scene->toggleSsidTable();
    else if (tableToOpen == "utilization")
        scene->toggleUtilizationTable();

    // Without recordings the window still draws, and an accessory still works.
    for (const std::string& line :
         resourceCheck.recordingsReport(resourceCheck.missingRecordings())) {
        std::fprintf(stderr, "Tarno: %s\n", line.c_str());
        if (screenLog)
            screenLog->log(kErrorLevel, "%s", line.c_str());
    }

    // The worker reads recordings itself: the engine's file utilities are main-thread only.
    resources = std::make_unique<FileResourceReader>(files->getDefaultResourceRootPath());
    dataLog = std::make_unique<DataLogFile>(files->getWritablePath());
    communication = std::make_unique<AccessoryCommunication>();
    AccessoryCommunicationDelegate::Options options;
    options.resources = resources.get();
    options.dataLog = dataLog.get();
    communicationDelegate = std::make_unique<AccessoryCommunicationDelegate>(*model, options);
    communicationDelegate->setPulseMeasurement(&PulseMeasurement::storeInModel);
    communicationDelegate->setUtilizationGrading(UtilizationGradingHook());
    communicationDelegate->bind(*communication);
    // The views steer the accessory only through the control interface.
    scene->setAccessoryControl(communicationDelegate.get());
    // The main thread owns the model: once per frame, before any layer reads it, the sweeps the
    // link decoded since the last frame are stored and their traces derived.
    AccessoryCommunicationDelegate* frames = communicationDelegate.get();
    director->getScheduler()->schedulePerFrame([frames](float) { frames->deliverFrames(); }, frames,
                                               kDeliverFramesPriority, false);
    communication->start();

    if (!brokerUrlToStore.empty()) {
        std::string error;
        if (!PublishSetting::setBrokerUrl(brokerUrlToStore, error) && screenLog)
            screenLog->log(1, "Broker URL not stored: %s", error.c_str());
    }
    publisher = std::make_unique<ModelPublisher>();
    director->getScheduler()->schedule([this](float) { publishTick(); }, this, kPublishInterval,
                                       false, "publish");
    launched = true;
    return true;
}

void AppDelegate::publishTick() {
    const std::string wanted = PublishSetting::enabled() ? PublishSetting::brokerUrl() : "";
    if (wanted != publishingTo) {
        std::string error;
        if (!publisher->configure(wanted, error) && screenLog)
            screenLog->log(1, "Cannot publish to %s: %s", wanted.c_str(), error.c_str());
        publishingTo = wanted;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    publisher->update(
        *SpectrumSettings::getInstance(),
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    for (const std::string& note : publisher->takeNotes()) {
        if (screenLog)
            screenLog->log(4, "MQTT: %s", note.c_str());
    }
}

void AppDelegate::applicationDidEnterBackground() {
    engine::Director::getInstance()->stopAnimation();
    saveLastUsedConfiguration();
    SpectrumSettings* model = SpectrumSettings::getInstance();
    if (model->runtime.deviceConnected && communication)
        communication->setSuspended(true);
    model->runtime.inBackground = true;
    if (communicationDelegate)
        communicationDelegate->setInBackground(true);
}

void AppDelegate::applicationWillEnterForeground() {
    engine::Director::getInstance()->startAnimation();
    if (communication)
        communication->setSuspended(false);
    SpectrumSettings::getInstance()->runtime.inBackground = false;
    if (communicationDelegate)
        communicationDelegate->setInBackground(false);
}

void AppDelegate::applicationWillTerminate() {
    if (launched)
        saveLastUsedConfiguration();
}

void AppDelegate::saveLastUsedConfiguration() {
    Instrument& instrument = MenuController::getInstance()->getInstrument();
    bool saved = false;
    { saved = instrument.model().saveConfiguration(0); }
    if (saved)
        instrument.storeSaved();
}

void AppDelegate::shutdown() {
    if (publisher) {
        engine::Director::getInstance()->getScheduler()->unscheduleAllForTarget(this);
        publisher.reset();
    }
    if (communication)
        communication->stop();
    if (communicationDelegate) {
        engine::Director::getInstance()->getScheduler()->unscheduleUpdate(
            communicationDelegate.get());
        communicationDelegate->stopWorker();
    }
    SpectrumSettings* model = SpectrumSettings::getInstance();
    if (screenLog) {
        model->runtime.screenLog = nullptr;
        screenLog->release();
        screenLog = nullptr;
    }
}
