#include "app/ViewFactories.h"

#include "engine/2d/Layer.h"
#include "engine/2d/Sprite.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerLayer.h"
#include "views/power/PowerMeterNoticeLayer.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/AxisLabelsLayer.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/spectrum/CursorsLayer.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/OverlayLayer.h"
#include "views/spectrum/PeakLabelsLayer.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"
#include "views/ssid/SSIDLayer.h"

namespace {

// A layer that draws both bands keeps exactly one band switch on: the scene's band.
template <typename BandLayer>
engine::Layer* forBand(BandLayer* layer, const ViewContext& context) {
    if (!layer)
        return nullptr;
    layer->showBand24 = context.band != 1;
    layer->showBand5 = context.band == 1;
    return ViewFactories::inInnerArea(layer, context);
}

engine::Layer* grid(const ViewContext& context) {
    GridLayer* layer = GridLayer::create();
    if (!layer)
        return nullptr;
    layer->setPosition(context.viewArea.origin);
    layer->setContentSize(context.viewArea.size);
    layer->rebuildGrid();
    // The switches start from the model, not from the layer's defaults.
    layer->applyGraticule(context.model->graticule);
    return layer;
}

engine::Layer* waterfallTouch(const ViewContext& context) {
    auto* layer = WaterfallThresholdAndTouchLayer::createWithInstrument(context.instrument);
    if (layer)
        layer->setScalingPopover(context.scalingPopover);
    return forBand(layer, context);
}

engine::Layer* powerTouch(const ViewContext& context) {
    auto* layer = PowerUIAndTouchLayer::createWithInstrument(context.instrument);
    if (!layer)
        return nullptr;
    layer->setScalingPopover(context.scalingPopover);
    // A touch on a cursor line belongs to the cursors below, not to the trigger handles.
    auto* cursors =
        context.built ? dynamic_cast<CursorsLayer*>(context.built(ViewLayer::kCursors)) : nullptr;
    if (cursors) {
        layer->setCursorHandleTest([cursors](const engine::Vec2& world) {
            return cursors->hitsCursor(cursors->convertToNodeSpace(world));
        });
    }
    return ViewFactories::inInnerArea(layer, context);
}

// On the grid's rectangle, so each label sits on its grid line.
engine::Layer* axisLabels(const ViewContext& context) {
    using View = AxisLabelsLayer::View;
    const View view = context.spectrumMode == CommonSettings::kPowerMode         ? View::kPower
                      : context.viewMode == SpectrumViewSettings::kWaterfallView ? View::kWaterfall
                                                                                 : View::kSpectrum;
    AxisLabelsLayer* layer =
        AxisLabelsLayer::createWithModel(context.model, view, context.band == 1 ? 1 : 0);
    if (!layer)
        return nullptr;
    layer->setPosition(context.viewArea.origin);
    layer->setContentSize(context.viewArea.size);
    // The spectrum views' channel guide keeps its button in the top left corner.
    if (view != View::kPower) {
        if (engine::Sprite* icon = engine::Sprite::create(ChannelGuideLayer::kExpandImage))
            layer->setTopLeftReserve(icon->getContentSize().height + 2.f);
    }
    layer->update(0);
    return layer;
}

engine::Layer* overlay(const ViewContext& context) {
    OverlayLayer* layer = OverlayLayer::createWithModel(context.model);
    if (!layer)
        return nullptr;
    layer->showFrequencyLabels = context.spectrumMode != CommonSettings::kPowerMode;
    layer->band24 = context.band != 1;
    return ViewFactories::inInnerArea(layer, context);
}

}  // namespace

engine::Layer* ViewFactories::inInnerArea(engine::Layer* layer, const ViewContext& context) {
    if (layer) {
        layer->setPosition(context.innerArea.origin);
        layer->setContentSize(context.innerArea.size);
    }
    return layer;
}

ViewFactoryTable ViewFactories::standard() {
    return {
        {ViewLayer::kGrid, grid},
        {ViewLayer::kSpectrumTrace,
         [](const ViewContext& c) { return forBand(RssiLayer::createWithModel(c.model), c); }},
        {ViewLayer::kAccessPointOutlines,
         [](const ViewContext& c) { return forBand(SSIDLayer::createWithModel(c.model), c); }},
        {ViewLayer::kWaterfall,
         [](const ViewContext& c) { return forBand(WaterfallLayer::createWithModel(c.model), c); }},
        {ViewLayer::kWaterfallTouch, waterfallTouch},
        {ViewLayer::kCursors,
         [](const ViewContext& c) {
             return inInnerArea(CursorsLayer::createWithInstrument(c.instrument), c);
         }},
        {ViewLayer::kChannelGuide,
         [](const ViewContext& c) {
             return inInnerArea(ChannelGuideLayer::createWithInstrument(c.instrument), c);
         }},
        {ViewLayer::kPowerTrace,
         [](const ViewContext& c) { return inInnerArea(PowerLayer::createWithModel(c.model), c); }},
        {ViewLayer::kPowerTouch, powerTouch},
        {ViewLayer::kPowerMeterNotice,
         [](const ViewContext& c) {
             return inInnerArea(PowerMeterNoticeLayer::createWithInstrument(c.instrument), c);
         }},
        {ViewLayer::kOverlay, overlay},
        {ViewLayer::kAxisLabels, axisLabels},
        {ViewLayer::kPeakLabels,
         [](const ViewContext& c) {
             return inInnerArea(PeakLabelsLayer::createWithModel(c.model, c.band == 1 ? 1 : 0), c);
         }},
    };
}
