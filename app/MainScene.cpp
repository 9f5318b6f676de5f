#include "app/MainScene.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/AcquiringIndicatorLayer.h"
#include "app/PointerReadoutLayer.h"
#include "engine/2d/Label.h"
#include "engine/2d/Layer.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/platform/GLView.h"
#include "instrument/Instrument.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/CursorRescaling.h"
#include "model/MillisecondClock.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/PeakTableLayer.h"
#include "views/spectrum/ScalingPopoverLayer.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"

using engine::Rect;
using engine::Size;
using engine::Vec2;

MainScene* MainScene::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

MainScene* MainScene::createWithModel(SpectrumSettings* model) {
    if (!model)
        return nullptr;
    auto* scene = new (std::nothrow) MainScene();
    if (!scene)
        return nullptr;
    scene->model_ = model;
    Instrument& menus = MenuController::getInstance()->getInstrument();
    if (&menus.model() == model) {
        scene->instrument_ = &menus;
    } else {
        scene->ownInstrument_ = std::make_unique<Instrument>(*model);
        scene->instrument_ = scene->ownInstrument_.get();
    }
    if (scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

MainScene::~MainScene() {
    for (auto& [kind, layer] : views_)
        layer->release();
    if (scalingPopover_)
        scalingPopover_->release();
}

bool MainScene::init() {
    factories_ = ViewFactories::standard();
    if (!Scene::init())
        return false;
    tables_ = std::make_unique<AccessPointTablePresenter>(*this, *instrument_, alertAnswers_,
                                                          kTableZOrder, kAlertZOrder);
    tables_->setKeyHandler([this](engine::EventKeyboard::KeyCode key, int modifiers) {
        return tableKeyPressed(key, modifiers);
    });
    // The keyboard's way to the access-point tables (the spectrum menu's buttons are the mouse's).
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode code, engine::Event* event) {
        keyPressed(code, event);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);
    return true;
}

void MainScene::keyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event) {
    using K = engine::EventKeyboard::KeyCode;
    // Alerts, menus and the help own the keyboard while open; this hears keys only without them.
    if (key == K::KEY_R && model_->common_settings.spectrumMode == CommonSettings::kPowerMode) {
        model_->resetPulseStatistics();
        event->stopPropagation();
        return;
    }
    if (key == K::KEY_K) {
        togglePeakTable();
        event->stopPropagation();
        return;
    }
    if (key == K::KEY_E) {
        if (exportShownTable())
            event->stopPropagation();
        return;
    }
    if (key != K::KEY_T && key != K::KEY_U) {
        if (viewKeys_.keyPressed(key, static_cast<engine::EventKeyboard*>(event)->getModifiers()))
            event->stopPropagation();
        return;
    }
    if (key == K::KEY_T)
        toggleSsidTable();
    else
        toggleUtilizationTable();
    event->stopPropagation();
}

bool MainScene::tableKeyPressed(engine::EventKeyboard::KeyCode key, int modifiers) {
    using K = engine::EventKeyboard::KeyCode;
    switch (key) {
        case K::KEY_ESCAPE:
            hideSsidTable();
            hideUtilizationTable();
            return true;
        case K::KEY_T:
            toggleSsidTable();
            return true;
        case K::KEY_U:
            toggleUtilizationTable();
            return true;
        case K::KEY_E:
            exportShownTable();
            return true;
        default:
            break;
    }
    if (tableKeys_.keyPressed(key, modifiers))
        return true;
    // The run control, single shot, the log and the help stay at hand over a table.
    if (key == K::KEY_SPACE || key == K::KEY_S || key == K::KEY_L || key == K::KEY_F1)
        return MenuController::getInstance()->keyPressed(key, modifiers);
    return false;
}

void MainScene::setAccessoryControl(AccessoryControl* control) {
    if (control == control_)
        return;
    control_ = control;
    instrument_->setAccessoryControl(control);
    // The menus steer the accessory through the same interface as the views.
    MenuController::getInstance()->setAccessoryControl(control);
    needsRebuild_ = true;
}

void MainScene::setViewFactory(ViewLayer kind, ViewFactory factory) {
    if (factory)
        factories_[kind] = std::move(factory);
    else
        factories_.erase(kind);
}

void MainScene::onEnter() {
    Scene::onEnter();
    MenuController::getInstance()->setScene(this);
    scheduleUpdate();
    // Before the views: the waterfall's touch layer drives the popover.
    if (!scalingPopover_) {
        scalingPopover_ = ScalingPopoverLayer::createWithModel(model_);
        if (scalingPopover_) {
            scalingPopover_->retain();
            scalingPopover_->setOpacity(0);
            addChild(scalingPopover_, kPopoverZOrder);
        }
    }
    rebuildViews();
    if (!pointerReadout_) {
        pointerReadout_ = PointerReadoutLayer::create(this);
        if (pointerReadout_)
            addChild(pointerReadout_, kPointerReadoutZOrder);
    }
    if (!statusStrip_) {
        statusStrip_ = StatusStrip::createWithModel(model_);
        if (statusStrip_)
            addChild(statusStrip_, kStatusZOrder);
    }
    if (!demoBadge_) {
        demoBadge_ = engine::Sprite::create("demo.png");
        if (demoBadge_) {
            const Vec2 origin = engine::Director::getInstance()->getVisibleOrigin();
            demoBadge_->setPosition(origin.x + _contentSize.width * 0.5f,
                                    origin.y + _contentSize.height * 0.5f);
            demoBadge_->setOpacity(64);
            addChild(demoBadge_, kDemoBadgeZOrder);
        }
    }
}

void MainScene::onExit() {
    MenuController::getInstance()->detach();
    Scene::onExit();
    unscheduleUpdate();
}

Rect MainScene::viewArea() const {
    const engine::Director* director = engine::Director::getInstance();
    const Vec2 origin = director->getVisibleOrigin();
    const Size visible = director->getVisibleSize();
    const float bar = MenuController::barHeight(model_->runtime.displayClass);
    return Rect(origin.x, origin.y + bar, visible.width, visible.height - bar);
}

Rect MainScene::innerArea() const {
    const Rect view = viewArea();
    return Rect(view.origin.x + 1, view.origin.y + 1, view.size.width - 2, view.size.height - 2);
}

engine::Layer* MainScene::getViewLayer(ViewLayer kind) const {
    const auto view = std::find_if(views_.begin(), views_.end(),
                                   [kind](const auto& v) { return v.first == kind; });
    return view != views_.end() ? view->second : nullptr;
}

GridLayer* MainScene::getGridLayer() const {
    return dynamic_cast<GridLayer*>(getViewLayer(ViewLayer::kGrid));
}

ViewContext MainScene::viewContext() const {
    ViewContext context;
    context.model = model_;
    context.control = control_;
    context.instrument = instrument_;
    context.scalingPopover = scalingPopover_;
    context.viewArea = viewArea();
    context.innerArea = innerArea();
    context.spectrumMode = model_->common_settings.spectrumMode;
    context.viewMode = model_->spectrum_settings.viewMode;
    context.band = model_->spectrum_settings.band;
    context.ssidScanOn = model_->spectrum_settings.ssidScanOn != 0;
    return context;
}

void MainScene::removeViews() {
    for (auto& [kind, layer] : views_) {
        layer->removeFromParentAndCleanup(true);
        layer->release();
    }
    views_.clear();
}

void MainScene::rebuildViews() {
    ++rebuildCount_;
    removeViews();
    ViewContext context = viewContext();
    context.built = [this](ViewLayer kind) { return getViewLayer(kind); };
    if (context.spectrumMode == CommonSettings::kPowerMode) {
        hideSsidTable();
        hideUtilizationTable();
    }
    // The peak table lists the real-wave traces of the scene's band: made again for a new band
    // or size, gone in the other views.
    if (peakTable_) {
        hidePeakTable();
        togglePeakTable();
    }
    for (ViewLayer kind :
         ViewLayout::layersFor(context.spectrumMode, context.viewMode, context.ssidScanOn)) {
        const auto entry = factories_.find(kind);
        engine::Layer* layer = entry != factories_.end() ? entry->second(context) : nullptr;
        if (!layer)
            continue;
        layer->retain();
        addChild(layer, 0);
        views_.emplace_back(kind, layer);
    }
    // The popover stays over the view area, wherever a new window size or bar puts it.
    if (scalingPopover_) {
        scalingPopover_->setPosition(context.innerArea.origin);
        scalingPopover_->setContentSize(context.innerArea.size);
    }
}

void MainScene::checkBand() {
    SpectrumViewSettings& view = model_->spectrum_settings;
    if (model_->common_settings.spectrumMode == CommonSettings::kPowerMode || view.band != 1 ||
        model_->accessory.hasSpectrum5)
        return;
    instrument_->set(SettingChange::kBandFallback, view.band, int32_t{0});
    auto* alert = AlertViewLayer::create({"OK"}, "5.4 Ghz is not supported!!",
                                         "This accessory does not support 5GHz. Switching to "
                                         "2.4Ghz view.");
    if (alert)
        addChild(alert, kAlertZOrder);
}

void MainScene::updateAcquiringIndicator() {
    const bool wanted = model_->common_settings.spectrumMode != CommonSettings::kPowerMode &&
                        model_->runtime.ssidAcquiring;
    if (wanted) {
        if (acquiringIndicator_)
            return;
        const Rect view = viewArea();
        acquiringIndicator_ = AcquiringIndicatorLayer::create(
            _contentSize,
            Vec2(view.origin.x + view.size.width * 0.5f, view.origin.y + view.size.height * 0.5f));
        if (acquiringIndicator_)
            addChild(acquiringIndicator_, kIndicatorZOrder);
        return;
    }
    if (acquiringIndicator_) {
        removeChild(acquiringIndicator_, true);
        acquiringIndicator_ = nullptr;
    }
    model_->runtime.ssidAcquiring = false;
}

const char* MainScene::shownViewName() const {
    if (isSsidTableShown())
        return "SSID table";
    if (isUtilizationTableShown())
        return "utilization table";
    if (model_->common_settings.spectrumMode == CommonSettings::kPowerMode)
        return "power";
    if (model_->spectrum_settings.viewMode == SpectrumViewSettings::kWaterfallView)
        return "waterfall";
    return "real-wave";
}

void MainScene::update(float dt) {
    lastDelta_ = dt;
    Scene::update(dt);
    RuntimeState& runtime = model_->runtime;

    MenuBar* bar = MenuController::getInstance()->getMenuBar();
    if (bar) {
        bar->setConnected(runtime.deviceConnected);
        if (runtime.modeChangedByLink.exchange(false))
            bar->refresh();
        if (runtime.dataLogFailed.exchange(false))
            bar->alertDataLogStopped();
    }
    if (demoBadge_)
        demoBadge_->setOpacity(runtime.deviceConnected ? 0 : 65);

    checkBand();
    engine::Director::getInstance()->getFrameStats().setView(shownViewName());

    const int mode = model_->common_settings.spectrumMode;
    const int view = model_->spectrum_settings.viewMode;
    const int band = model_->spectrum_settings.band;
    const int scan = model_->spectrum_settings.ssidScanOn;
    if (needsRebuild_ || mode != lastSpectrumMode_ || view != lastViewMode_ || band != lastBand_ ||
        scan != lastSsidScanOn_) {
        rebuildViews();
        needsRebuild_ = false;
        lastSpectrumMode_ = mode;
        lastViewMode_ = view;
        lastBand_ = band;
        lastSsidScanOn_ = scan;
    }

    if (GridLayer* grid = getGridLayer())
        grid->applyGraticule(model_->graticule);

    if (statusStrip_) {
        statusStrip_->updateLabels();
        statusStrip_->layoutLabels(bar ? bar->getFlyoutPercentage() / 100.f : 1.f);
    }

    tables_->update(dt, clock_ ? clock_->nowMilliseconds() : nowMilliseconds());
    updateAcquiringIndicator();
}

void MainScene::handleResize() {
    engine::GLView* glView = engine::Director::getInstance()->getOpenGLView();
    if (!glView)
        return;
    const Size size = glView->getDesignResolutionSize();
    if (size.width == _contentSize.width && size.height == _contentSize.height)
        return;
    const Size old = _contentSize;
    setContentSize(size);
    if (model_->common_settings.spectrumMode != CommonSettings::kPowerMode) {
        for (BandSweepBuffers* buffers : {&model_->band24, &model_->band5}) {
            buffers->tracesReady = true;
            if (!buffers->heatMap.dirty)
                buffers->heatMap.cumulative = true;
            buffers->heatMap.dirty = true;
            buffers->waterfallDirty = true;
        }
    }
    if (demoBadge_) {
        const Vec2 origin = engine::Director::getInstance()->getVisibleOrigin();
        demoBadge_->setPosition(origin.x + size.width * 0.5f, origin.y + size.height * 0.5f);
    }
    const float barHeight = MenuController::barHeight(model_->runtime.displayClass);
    instrument_->edit(SettingChange::kCursors, [&](SpectrumSettings& s) {
        const CursorSettings before = s.cursors;
        CursorRescaling::apply(s.cursors, old.width, old.height, size.width, size.height,
                               barHeight);
        return std::memcmp(&before, &s.cursors, sizeof before) != 0;
    });
    MenuController::getInstance()->setScene(this);
    if (isSsidTableShown())
        showSsidTable();
    if (isUtilizationTableShown())
        showUtilizationTable();
    // The views are laid out for the old size.
    needsRebuild_ = true;
}

void MainScene::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                      uint32_t parentFlags) {
    handleResize();
    Scene::visit(renderer, parentTransform, parentFlags);
}

void MainScene::showSsidTable() {
    tables_->showSsidTable(viewArea(), getViewLayer(ViewLayer::kAccessPointOutlines));
}

void MainScene::hideSsidTable() {
    tables_->hideSsidTable();
}

void MainScene::toggleSsidTable() {
    if (isSsidTableShown())
        hideSsidTable();
    else if (model_->common_settings.spectrumMode != CommonSettings::kPowerMode)
        showSsidTable();
}

void MainScene::showUtilizationTable() {
    tables_->showUtilizationTable(viewArea());
}

void MainScene::hideUtilizationTable() {
    tables_->hideUtilizationTable();
}

void MainScene::toggleUtilizationTable() {
    if (isUtilizationTableShown())
        hideUtilizationTable();
    else if (model_->common_settings.spectrumMode != CommonSettings::kPowerMode)
        showUtilizationTable();
}

void MainScene::togglePeakTable() {
    if (peakTable_) {
        hidePeakTable();
        return;
    }
    if (model_->common_settings.spectrumMode == CommonSettings::kPowerMode ||
        model_->spectrum_settings.viewMode != SpectrumViewSettings::kRealWaveView)
        return;
    peakTable_ = PeakTableLayer::createWithModel(model_, viewArea(),
                                                 model_->spectrum_settings.band == 1 ? 1 : 0);
    if (!peakTable_)
        return;
    peakTable_->setCloseHandler([this] { hidePeakTable(); });
    addChild(peakTable_, kTableZOrder);
}

void MainScene::hidePeakTable() {
    if (!peakTable_)
        return;
    removeChild(peakTable_, true);
    peakTable_ = nullptr;
}

bool MainScene::exportShownTable() {
    if (SSIDTableLayer* table = getSsidTable()) {
        table->exportTable();
        return true;
    }
    if (SSIDUtilizationTableLayer* table = getUtilizationTable()) {
        table->exportTable();
        return true;
    }
    if (peakTable_) {
        peakTable_->exportTable();
        return true;
    }
    return false;
}
