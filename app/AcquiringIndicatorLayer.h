#pragma once

#include "engine/2d/Layer.h"

// The "Acquiring SSID" indicator: a dark shade over the window with two wheels turning in
// opposite directions and the words beneath them, shown while the accessory gathers its first
// access-point list.
class AcquiringIndicatorLayer : public engine::Layer {
  public:
    // Shades `size` from the origin; wheels and words around `centre`.
    static AcquiringIndicatorLayer* create(const engine::Size& size, const engine::Vec2& centre);
    bool initWithArea(const engine::Size& size, const engine::Vec2& centre);

  private:
    AcquiringIndicatorLayer() = default;
};
