#pragma once

#include "engine/base/Types.h"

namespace engine {
class Label;
class LayerColor;
class Node;
class Sprite;
}  // namespace engine

class Instrument;
class SpectrumSettings;

// The trigger position (delay) handle along the top of the power view: the marker at the
// trigger point (on its side at the left edge when the point lies left of the view), and while
// it is dragged a ghost and a bubble with the new delay, which fade once let go. Shown while the
// picture is held or the view does not roll.
class PowerDelayHandle {
  public:
    static constexpr const char* kImage = "PositionAndDelayIcon.png";
    static constexpr const char* kSidewaysImage = "PositionAndDelayIconSideways.png";

    explicit PowerDelayHandle(Instrument& instrument);

    // The marker, its ghost and the sideways marker; then (separately, drawn over the rest) the
    // bubble.
    void addHandles(engine::Node* parent);
    bool addBubble(engine::Node* parent, float fontSize);

    // Whether a touch may drag the trigger position now (it takes any touch nothing else did).
    bool usable() const;
    void begin();
    void dragBy(float dx, float width);
    void release();
    // The delay `steps` tenths of a division later; false when it cannot move now.
    bool nudge(int steps);

    void refresh(const engine::Size& size, bool dragging, float dt);
    bool isFading() const;

    float dragged() const { return dragged_; }
    engine::Sprite* handle() const { return handle_; }
    engine::Sprite* sideways() const { return sideways_; }
    engine::Label* bubbleLabel() const { return bubbleLabel_; }

  private:
    void refreshBubble(const engine::Size& size, bool shown, bool dragging, float ghostX);

    Instrument& instrument_;
    SpectrumSettings& model_;
    float dragged_ = 0;
    float ghostFade_ = 0;
    float bubbleFade_ = 0;
    engine::Vec2 bubbleTarget_{-1, -1};
    engine::Sprite* handle_ = nullptr;  // children of the parent from here on
    engine::Sprite* ghost_ = nullptr;
    engine::Sprite* sideways_ = nullptr;
    engine::LayerColor* bubble_ = nullptr;
    engine::Label* bubbleLabel_ = nullptr;
};
