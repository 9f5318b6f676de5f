#pragma once

#include <functional>

namespace engine {
class Node;
}

// Wheel notches over a view's layer as whole scale steps: one notch is one step, never a touch.
// A notch away from the user is +1. With Shift held, or on a sideways wheel, the steps are the
// alternate scale's. `released` runs a moment after the last notch (the popover fades then).
namespace ScaleWheel {

constexpr float kHoldSeconds = 0.6f;

using Step = std::function<void(int steps, bool alternate)>;
void attach(engine::Node* layer, Step step, std::function<void()> released);

}  // namespace ScaleWheel
