#pragma once

#include <functional>

namespace engine {
class Touch;
}

class Instrument;
class ScalingPopoverLayer;

// The power view's time base and amplitude as a gesture: two fingers step the time base by
// their horizontal travel and the amplitude by their vertical travel (spreading: larger, the
// next entry), as the wheel does; the popover shows the steps. The accessory is told once the
// gesture ends.
class PowerScaleGesture {
  public:
    static constexpr float kPinchStep = 100.f;  // finger travel per scale step
    using PopoverFinder = std::function<ScalingPopoverLayer*()>;

    explicit PowerScaleGesture(Instrument& instrument) : instrument_(instrument) {}

    void begin();
    void pinchMoved(const engine::Touch& a, const engine::Touch& b, const PopoverFinder& popover);
    // Whole steps (positive: the next, larger entry), shown on the popover.
    void stepBy(int timeSteps, int amplitudeSteps, const PopoverFinder& popover);
    void release();

  private:
    Instrument& instrument_;
    float horizontal_ = 0;
    float vertical_ = 0;
};
