#include "app/MainScene.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/ActionInterval.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/MillisecondClock.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/OverlayLayer.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/ScalingPopoverLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

using engine::Color4B;
using engine::Label;
using engine::Rect;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";

float measure(const std::string& text, float fontSize) {
    Label* label = Label::createWithTTF(text, kRegularFont, fontSize);
    return label ? label->getContentSize().width : 0.f;
}

void setShown(Label* label, bool shown, uint8_t opacity) {
    if (label)
        label->setOpacity(shown ? opacity : 0);
}

}  // namespace

MainScene* MainScene::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

MainScene* MainScene::createWithModel(SpectrumSettings* model) {
    auto* scene = new (std::nothrow) MainScene();
    if (!scene)
        return nullptr;
    scene->model_ = model;
    if (scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

MainScene::~MainScene() {
    for (engine::Ref* layer : std::initializer_list<engine::Ref*>{
             gridLayer_, rssiLayer_, waterfallLayer_, waterfallTouchLayer_, overlayLayer_,
             scalingPopover_}) {
        if (layer)
            layer->release();
    }
}

bool MainScene::init() {
    return Scene::init();
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
            addChild(scalingPopover_, 100);
        }
    }
    rebuildViews();
    createStatusLabels();
    demoBadge_ = engine::Sprite::create("demo.png");
    if (demoBadge_) {
        const Vec2 origin = engine::Director::getInstance()->getVisibleOrigin();
        demoBadge_->setPosition(origin.x + _contentSize.width * 0.5f,
                                origin.y + _contentSize.height * 0.5f);
        demoBadge_->setOpacity(64);
        addChild(demoBadge_, kDemoBadgeZOrder);
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

void MainScene::removeViews() {
    if (gridLayer_) {
        gridLayer_->removeFromParentAndCleanup(true);
        gridLayer_->release();
        gridLayer_ = nullptr;
    }
    auto drop = [](auto*& layer) {
        if (!layer)
            return;
        layer->removeFromParentAndCleanup(true);
        layer->release();
        layer = nullptr;
    };
    drop(rssiLayer_);
    drop(waterfallLayer_);
    drop(waterfallTouchLayer_);
    drop(overlayLayer_);
    // Access-point, power, cursor and channel-guide layers go the same way.
}

void MainScene::rebuildViews() {
    ++rebuildCount_;
    removeViews();
    const bool spectrum = model_->common_settings.spectrumMode != 0;
    if (!spectrum) {
        hideSsidTable();
        hideUtilizationTable();
    }
    const std::vector<ViewLayer> layers = ViewLayout::layersFor(
        model_->common_settings.spectrumMode, model_->spectrum_settings.viewMode,
        model_->spectrum_settings.ssidScanOn != 0);
    for (ViewLayer layer : layers)
        addViewLayer(layer);
    // The popover stays over the view area, wherever a new window size or bar puts it.
    if (scalingPopover_) {
        const Rect inner = innerArea();
        scalingPopover_->setPosition(inner.origin);
        scalingPopover_->setContentSize(inner.size);
    }
}

void MainScene::placeInInnerArea(engine::Layer* layer) {
    const Rect inner = innerArea();
    layer->retain();
    layer->setPosition(inner.origin);
    layer->setContentSize(inner.size);
    addChild(layer, 0);
}

template <typename BandLayer>
BandLayer* MainScene::addBandLayer(BandLayer* layer) {
    if (!layer)
        return nullptr;
    // Exactly one band switch: the selected band.
    layer->showBand24 = model_->spectrum_settings.band != 1;
    layer->showBand5 = model_->spectrum_settings.band == 1;
    placeInInnerArea(layer);
    return layer;
}

void MainScene::addViewLayer(ViewLayer layer) {
    switch (layer) {
        case ViewLayer::kGrid: {
            const Rect view = viewArea();
            gridLayer_ = GridLayer::create();
            if (!gridLayer_)
                return;
            gridLayer_->retain();
            gridLayer_->setPosition(view.origin);
            gridLayer_->setContentSize(view.size);
            gridLayer_->rebuildGrid();
            addChild(gridLayer_, 0);
            // The switches start from the model, not from the layer's defaults.
            gridLayer_->applyGraticule(model_->graticule);
            return;
        }
        case ViewLayer::kSpectrumTrace:
            rssiLayer_ = addBandLayer(RssiLayer::createWithModel(model_));
            return;
        case ViewLayer::kWaterfall:
            waterfallLayer_ = addBandLayer(WaterfallLayer::createWithModel(model_));
            return;
        case ViewLayer::kWaterfallTouch:
            waterfallTouchLayer_ =
                addBandLayer(WaterfallThresholdAndTouchLayer::createWithModel(model_));
            if (waterfallTouchLayer_)
                waterfallTouchLayer_->setScalingPopover(scalingPopover_);
            return;
        case ViewLayer::kOverlay:
            overlayLayer_ = OverlayLayer::createWithModel(model_);
            if (!overlayLayer_)
                return;
            overlayLayer_->showFrequencyLabels = model_->common_settings.spectrumMode != 0;
            overlayLayer_->band24 = model_->spectrum_settings.band != 1;
            placeInInnerArea(overlayLayer_);
            return;
        default:
            // The access-point, power, cursor and channel-guide layers are placed here (inner
            // area, told mode, band and view) as they join.
            return;
    }
}

void MainScene::createStatusLabels() {
    const float fontSize = MenuController::barHeight(model_->runtime.displayClass) / 5.f;
    auto make = [&](const char* text, const engine::Color3B& colour) {
        Label* label = Label::createWithTTF(text, kRegularFont, fontSize);
        if (!label)
            return label;
        label->setAnchorPoint(Vec2(0.5f, 0.5f));
        label->setTextColor(Color4B(colour, 255));
        label->setOpacity(0);
        addChild(label, kStatusZOrder);
        return label;
    };
    const engine::Color3B white(255, 255, 255);
    amplitudeLabel_ = make("A:10.00dBm/div", white);
    divisionLabel_ = make("Hz:10.00GHz/div", white);
    cursorXLabel_ = make("@Hz: 2500 MHz", engine::Color3B(255, 0, 0));
    cursorDeltaXLabel_ = make("ΔHz: 2500 MHz", engine::Color3B(255, 0, 0));
    const engine::Color3B pairColours[3] = {
        {255, 165, 0}, {255, 0, 255}, {255, 255, 0}};  // orange, magenta, yellow
    for (int n = 0; n < 3; ++n) {
        readoutAtLabels_[n] = make("@dBm: -100.00dBm", pairColours[n]);
        readoutDeltaLabels_[n] = make("ΔdBm: -100.00dBm", pairColours[n]);
    }
    triggerLabel_ = make("TRIG?", engine::Color3B(0, 255, 255));

    amplitudeWidth_ = measure("A:XX.XXdBm/div", fontSize);
    divisionWidth_ = measure("Hz:XX.XXGHz/div", fontSize);
    triggerWidth_ = measure("TRIG?", fontSize);
    positionWidth_ =
        std::max(measure("@Hz: 2500 MHz", fontSize), measure("ΔHz: 2500 MHz", fontSize));
    readoutWidth_ =
        std::max(measure("@dBm: -XXX.XX0dBm", fontSize), measure("ΔdBm: -XXX.XXdBm", fontSize));
}

void MainScene::updateStatusLabels() {
    if (!amplitudeLabel_)
        return;
    const Size visible = engine::Director::getInstance()->getVisibleSize();
    const float bar = MenuController::barHeight(model_->runtime.displayClass);
    const float plotWidth = visible.width - 2;
    const float plotHeight = visible.height - bar - 2;
    {
        // The trace layers write the readouts under traceLock.
        ScopedModelLocks locks(*model_, ScopedModelLocks::kTrace);
        texts_ = StatusReadouts::compute(*model_, plotWidth, plotHeight);
    }
    auto write = [](Label* label, const std::string& text) {
        if (label && label->isVisible() && label->getString() != text)
            label->setString(text);
    };
    write(amplitudeLabel_, texts_.amplitude);
    write(divisionLabel_, texts_.division);
    write(triggerLabel_, texts_.trigger);
    if (model_->cursors.cursorsShown) {
        write(cursorXLabel_, texts_.cursorX);
        write(cursorDeltaXLabel_, texts_.cursorDeltaX);
        for (int n = 0; n < 3; ++n) {
            const StatusTexts::Pair& pair = texts_.pairs[n];
            if (!pair.used)
                continue;
            const Color4B colour(pair.colour[0], pair.colour[1], pair.colour[2], 255);
            write(readoutAtLabels_[n], pair.at);
            write(readoutDeltaLabels_[n], pair.delta);
            readoutAtLabels_[n]->setTextColor(colour);
            readoutDeltaLabels_[n]->setTextColor(colour);
        }
    }
}

void MainScene::layoutStatusLabels(float shown, float /*hidden*/) {
    if (!amplitudeLabel_)
        return;
    const engine::Director* director = engine::Director::getInstance();
    const Vec2 origin = director->getVisibleOrigin();
    const Size visible = director->getVisibleSize();
    const float bar = MenuController::barHeight(model_->runtime.displayClass);
    const uint8_t opacity = static_cast<uint8_t>(std::clamp(shown, 0.f, 1.f) * 255.f);
    const bool spectrum = model_->common_settings.spectrumMode != 0;
    const bool cursors = model_->cursors.cursorsShown != 0;

    struct Column {
        float width;
        Label* middle;
        Label* upper;
        Label* lower;
    };
    std::vector<Column> columns;
    columns.push_back({amplitudeWidth_, amplitudeLabel_, nullptr, nullptr});
    columns.push_back({divisionWidth_, divisionLabel_, nullptr, nullptr});
    if (!spectrum)
        columns.push_back({triggerWidth_, triggerLabel_, nullptr, nullptr});
    int pairsShown = 0;
    if (cursors) {
        columns.push_back({positionWidth_, nullptr, cursorXLabel_, cursorDeltaXLabel_});
        for (int n = 0; n < 3; ++n) {
            if (!texts_.pairs[n].used)
                continue;
            columns.push_back(
                {readoutWidth_, nullptr, readoutAtLabels_[n], readoutDeltaLabels_[n]});
            ++pairsShown;
        }
    }

    // Everything not in a column is made fully transparent.
    setShown(triggerLabel_, !spectrum, opacity);
    setShown(cursorXLabel_, cursors, opacity);
    setShown(cursorDeltaXLabel_, cursors, opacity);
    for (int n = 0; n < 3; ++n) {
        const bool used = cursors && texts_.pairs[n].used;
        setShown(readoutAtLabels_[n], used, opacity);
        setShown(readoutDeltaLabels_[n], used, opacity);
    }
    setShown(amplitudeLabel_, true, opacity);
    setShown(divisionLabel_, true, opacity);

    // Equal gaps between and around the columns, over the strip less the fly button.
    const float stripWidth = visible.width - MenuBar::kFlyButtonWidth;
    float total = 0;
    for (const Column& column : columns)
        total += column.width;
    const float gap = std::max(0.f, (stripWidth - total) / (columns.size() + 1));
    float x = origin.x + gap;
    for (const Column& column : columns) {
        const float centre = std::round(x + column.width * 0.5f);
        if (column.middle)
            column.middle->setPosition(centre, std::round(origin.y + bar * 0.5f));
        if (column.upper)
            column.upper->setPosition(centre, std::round(origin.y + bar * 0.75f));
        if (column.lower)
            column.lower->setPosition(centre, std::round(origin.y + bar * 0.25f));
        x += column.width + gap;
    }
}

void MainScene::checkBand() {
    SpectrumViewSettings& view = model_->spectrum_settings;
    if (model_->common_settings.spectrumMode == 0 || view.band != 1 ||
        model_->accessory.hasSpectrum5)
        return;
    view.band = 0;
    auto* alert = AlertViewLayer::create({"OK"}, "5.4 Ghz is not supported!!",
                                         "This accessory does not support 5GHz. Switching to "
                                         "2.4Ghz view.");
    if (alert)
        addChild(alert, kAlertZOrder);
}

void MainScene::ageAccessPoints(float dt) {
    ageingTimer_ += dt;
    if (!(ssidTableShown_ || utilizationTableShown_) || model_->runtime.scanPaused ||
        ageingTimer_ < kAgeingPeriod)
        return;
    ageingTimer_ = 0;
    {
        ScopedModelLocks locks(*model_, ScopedModelLocks::kApList);
        const uint64_t now = nowMilliseconds();
        auto& list = model_->accessPoints;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [now](const std::unique_ptr<AccessPoint>& ap) {
                                      return !ap || ap->lastSeen + kAccessPointLifetimeMs <= now;
                                  }),
                   list.end());
    }
    model_->runtime.ssidTableChanged = true;
    model_->runtime.utilizationChanged = true;
}

void MainScene::sortAccessPoints() {
    if (!model_->runtime.ssidTableChanged && !model_->runtime.utilizationChanged)
        return;
    const SpectrumViewSettings& view = model_->spectrum_settings;
    if (ssidTableShown_) {
        ScopedModelLocks locks(*model_, ScopedModelLocks::kApList);
        model_->sortAccessPoints(view.ssidSortCriterion, view.ssidSortDescending != 0);
    }
    if (utilizationTableShown_) {
        ScopedModelLocks locks(*model_, ScopedModelLocks::kApList);
        model_->sortAccessPoints(view.utilizationSortCriterion,
                                 view.utilizationSortDescending != 0);
    }
    model_->runtime.ssidTableChanged = false;
    model_->runtime.utilizationChanged = false;
}

void MainScene::updateAcquiringIndicator() {
    const bool wanted = model_->common_settings.spectrumMode != 0 && model_->runtime.ssidAcquiring;
    if (wanted) {
        if (acquiringShade_)
            return;
        const Rect view = viewArea();
        acquiringShade_ = engine::LayerColor::create(Color4B(26, 26, 26, 166));
        acquiringShade_->setContentSize(_contentSize);
        addChild(acquiringShade_, kIndicatorZOrder);
        const Vec2 centre(view.origin.x + view.size.width * 0.5f,
                          view.origin.y + view.size.height * 0.5f);
        outerWheel_ = engine::Sprite::create("OuterWheel.png");
        if (outerWheel_) {
            outerWheel_->setPosition(centre);
            outerWheel_->runAction(
                engine::RepeatForever::create(engine::RotateBy::create(1.5f, 360.f)));
            addChild(outerWheel_, kIndicatorZOrder);
        }
        innerWheel_ = engine::Sprite::create("InnerWheel.png");
        if (innerWheel_) {
            innerWheel_->setPosition(centre);
            innerWheel_->runAction(
                engine::RepeatForever::create(engine::RotateBy::create(2.f, -360.f)));
            addChild(innerWheel_, kIndicatorZOrder);
        }
        acquiringLabel_ = Label::createWithTTF("Acquiring SSID", kRegularFont, 18.f);
        if (acquiringLabel_) {
            acquiringLabel_->setAnchorPoint(Vec2(0.5f, 0.5f));
            acquiringLabel_->setPosition(centre.x, centre.y - 80.f);
            addChild(acquiringLabel_, kIndicatorZOrder);
        }
        return;
    }
    if (acquiringShade_) {
        for (engine::Node* node :
             {static_cast<engine::Node*>(acquiringShade_), static_cast<engine::Node*>(outerWheel_),
              static_cast<engine::Node*>(innerWheel_),
              static_cast<engine::Node*>(acquiringLabel_)}) {
            if (node)
                removeChild(node, true);
        }
        acquiringShade_ = nullptr;
        outerWheel_ = nullptr;
        innerWheel_ = nullptr;
        acquiringLabel_ = nullptr;
    }
    model_->runtime.ssidAcquiring = false;
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
    }
    if (demoBadge_)
        demoBadge_->setOpacity(runtime.deviceConnected ? 0 : 65);

    checkBand();

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

    if (gridLayer_)
        gridLayer_->applyGraticule(model_->graticule);

    updateStatusLabels();
    const float f = bar ? bar->getFlyoutPercentage() / 100.f : 1.f;
    layoutStatusLabels(f, 1.f - f);

    ageAccessPoints(dt);
    sortAccessPoints();
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
    if (model_->common_settings.spectrumMode != 0) {
        ScopedModelLocks locks(*model_, ScopedModelLocks::kTrace);
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
    // Cursor positions keep their place relative to the plot.
    if (old.width > 0 && old.height > 0) {
        const float bar = MenuController::barHeight(model_->runtime.displayClass);
        const float sx = size.width / old.width;
        const float sy = old.height > bar ? (size.height - bar) / (old.height - bar) : 1.f;
        CursorSettings& c = model_->cursors;
        for (int i = 0; i < 2; ++i) {
            c.verticalX[i] *= sx;
            c.positionReferencePair[i] *= sx;
            c.horizontalY[i] *= sy;
            c.levelReferencePair[i] *= sy;
        }
    }
    MenuController::getInstance()->setScene(this);
    if (ssidTableShown_)
        showSsidTable();
    if (utilizationTableShown_)
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
    hideUtilizationTable();
    ssidTableShown_ = true;
}

void MainScene::hideSsidTable() {
    if (ssidTableShown_) {
        model_->runtime.scanPaused = false;
        ScopedModelLocks locks(*model_, ScopedModelLocks::kApList);
        model_->scanStatistics.clear();
    }
    ssidTableShown_ = false;
}

void MainScene::showUtilizationTable() {
    hideSsidTable();
    utilizationTableShown_ = true;
}

void MainScene::hideUtilizationTable() {
    utilizationTableShown_ = false;
}
