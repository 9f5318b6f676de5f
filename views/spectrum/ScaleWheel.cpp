#include "views/spectrum/ScaleWheel.h"

#include <cmath>

#include "engine/2d/Node.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/base/EventListenerMouse.h"

namespace ScaleWheel {

void attach(engine::Node* layer, Step step, std::function<void()> released) {
    auto* wheel = engine::EventListenerMouse::create();
    wheel->onScroll = [layer, step = std::move(step),
                       released = std::move(released)](engine::EventMouse* event) {
        for (const engine::Node* node = layer; node; node = node->getParent()) {
            if (!node->isVisible())
                return false;
        }
        const engine::Vec2 at = layer->convertToNodeSpace(event->getLocation());
        const engine::Size size = layer->getContentSize();
        if (at.x < 0 || at.y < 0 || at.x > size.width || at.y > size.height)
            return false;
        const bool shift = (event->getModifiers() & engine::EventKeyboard::kShift) != 0;
        const float x = event->getScrollX();
        const float y = event->getScrollY();
        // Sideways notches (a tilting wheel, a trackpad's horizontal scroll) are the alternate
        // scale too; right counts as away.
        const bool alternate = shift || (y == 0 && x != 0);
        const int steps = static_cast<int>(std::lround(y != 0 ? y : x));
        if (steps != 0)
            step(steps, alternate);
        if (released) {
            layer->unschedule("scaleWheelHold");
            layer->scheduleOnce([released](float) { released(); }, kHoldSeconds, "scaleWheelHold");
        }
        return true;
    };
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(wheel, layer);
}

}  // namespace ScaleWheel
