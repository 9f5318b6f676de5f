#pragma once

#include <vector>

// Which layers make up the measurement view, in drawing order, for a mode, spectrum view and
// scan setting. The main scene builds them in this order at local z-order 0, so each later layer
// draws over the earlier ones.
enum class ViewLayer {
    kGrid,                 // view area
    kSpectrumTrace,        // RssiLayer of the band, inner area
    kAccessPointOutlines,  // SSIDLayer of the band, while scanning
    kPeakLabels,           // PeakLabelsLayer: frequency and level beside each peak marker
    kWaterfall,            // WaterfallLayer of the band
    kWaterfallTouch,       // WaterfallThresholdAndTouchLayer of the band
    kPowerTrace,           // PowerLayer
    kPowerTouch,           // PowerUIAndTouchLayer
    kPowerMeterNotice,     // PowerMeterNoticeLayer: no power meter on this hardware
    kAxisLabels,           // AxisLabelsLayer: the scales, view area
    kCursors,              // CursorsLayer, inner area
    kChannelGuide,         // ChannelGuideLayer, inner area
    kOverlay,              // OverlayLayer, inner area
};

class ViewLayout {
  public:
    // spectrumMode 0 is power; viewMode 0 real wave, 1 waterfall, anything else the grid only.
    static std::vector<ViewLayer> layersFor(int spectrumMode, int viewMode, bool ssidScanOn);
};
