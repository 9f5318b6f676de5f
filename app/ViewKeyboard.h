#pragma once

#include <vector>

#include "engine/base/EventKeyboard.h"

namespace engine {
class DrawNode;
class Node;
}  // namespace engine

class MainScene;

// The views' keys while no menu, table or alert is open (the cursors take the arrows first):
//   G        expands or collapses the channel guide
//   , .      ring the previous or next channel of the expanded guide, or with a channel chosen,
//            choose the previous or next one; Enter chooses the ringed channel; Escape closes
//            the chosen channel's popover
//   H        rings the next handle: the waterfall's high and low thresholds, or the power
//            view's trigger level and trigger delay; + and - move it (Shift: ten times as far)
//   [ ]      one zoom step out or in: the waterfall's time scale, the power time base; with
//            Shift the power amplitude
class ViewKeyboard {
  public:
    enum Handle { kNoHandle, kHighThreshold, kLowThreshold, kTriggerLevel, kTriggerDelay };

    explicit ViewKeyboard(MainScene& scene) : scene_(scene) {}
    ~ViewKeyboard();
    ViewKeyboard(const ViewKeyboard&) = delete;
    ViewKeyboard& operator=(const ViewKeyboard&) = delete;

    // True when the key was used.
    bool keyPressed(engine::EventKeyboard::KeyCode key, int modifiers);

    Handle getHandle() const { return handle_; }
    // The ringed channel button's index in the guide, or -1.
    int getGuideRing() const { return guideRing_; }

  private:
    bool guideKey(engine::EventKeyboard::KeyCode key);
    bool handleKey(engine::EventKeyboard::KeyCode key, bool shift);
    bool zoomKey(engine::EventKeyboard::KeyCode key, bool shift);
    void nextHandle();
    void showRing();
    engine::Node* ringedNode() const;

    MainScene& scene_;
    Handle handle_ = kNoHandle;
    int guideRing_ = -1;
    std::vector<int> channelTags_;      // the guide's channels in button order, as last shown
    engine::DrawNode* ring_ = nullptr;  // retained; a child of the ringed control's parent
};
