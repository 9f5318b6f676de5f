#pragma once

#include <functional>
#include <map>

#include "app/ViewLayout.h"
#include "engine/base/Types.h"

namespace engine {
class Layer;
}  // namespace engine

class AccessoryControl;
class Instrument;
class ScalingPopoverLayer;
class SpectrumSettings;

// Everything a view layer is built from: the model, the controller's narrow interface, the
// scene's scaling popover, where the views go and which view of which band the scene shows.
struct ViewContext {
    SpectrumSettings* model = nullptr;
    AccessoryControl* control = nullptr;            // null until the application hands it over
    Instrument* instrument = nullptr;               // how views change settings; never null
    ScalingPopoverLayer* scalingPopover = nullptr;  // null before the scene enters the stage
    engine::Rect viewArea;   // the visible area less the menu bar: the grid's
    engine::Rect innerArea;  // the view area inset by a point on every side: the other views'
    int spectrumMode = 1;    // 0 power, otherwise spectrum
    int viewMode = 0;        // spectrum: 0 real wave, 1 waterfall
    int band = 0;            // 0 2.4 GHz, 1 5 GHz
    bool ssidScanOn = false;
    // The layers of this rebuild made so far (earlier in the table), by kind; null when absent.
    std::function<engine::Layer*(ViewLayer)> built;
};

// Builds one view layer, placed and told what it needs to know. The scene retains it and adds
// it at local z-order 0 in the order of the rebuild table; nullptr leaves the layer out.
using ViewFactory = std::function<engine::Layer*(const ViewContext&)>;
using ViewFactoryTable = std::map<ViewLayer, ViewFactory>;

// The application's view factories, one entry per ViewLayer kind the views exist for. A kind
// of the rebuild table without an entry is left out of the scene.
class ViewFactories {
  public:
    static ViewFactoryTable standard();

    // Places `layer` over the plotting (inner) area; nullptr passes through.
    static engine::Layer* inInnerArea(engine::Layer* layer, const ViewContext& context);
};
