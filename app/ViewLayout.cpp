#include "app/ViewLayout.h"

#include "model/StoredSettings.h"

std::vector<ViewLayer> ViewLayout::layersFor(int spectrumMode, int viewMode, bool ssidScanOn) {
    if (spectrumMode == CommonSettings::kPowerMode) {
        return {ViewLayer::kGrid,    ViewLayer::kPowerTrace, ViewLayer::kAxisLabels,
                ViewLayer::kCursors, ViewLayer::kPowerTouch, ViewLayer::kPowerMeterNotice,
                ViewLayer::kOverlay};
    }
    if (viewMode == SpectrumViewSettings::kRealWaveView) {
        std::vector<ViewLayer> layers{ViewLayer::kGrid, ViewLayer::kSpectrumTrace};
        if (ssidScanOn)
            layers.push_back(ViewLayer::kAccessPointOutlines);
        layers.insert(layers.end(),
                      {ViewLayer::kPeakLabels, ViewLayer::kAxisLabels, ViewLayer::kCursors,
                       ViewLayer::kChannelGuide, ViewLayer::kOverlay});
        return layers;
    }
    if (viewMode == SpectrumViewSettings::kWaterfallView) {
        return {ViewLayer::kGrid,    ViewLayer::kWaterfall,      ViewLayer::kAxisLabels,
                ViewLayer::kCursors, ViewLayer::kWaterfallTouch, ViewLayer::kChannelGuide,
                ViewLayer::kOverlay};
    }
    return {ViewLayer::kGrid};
}
