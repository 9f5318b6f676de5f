#pragma once

#include "engine/base/Types.h"

namespace engine {
class DrawNode;
class Label;
class Node;
class Sprite;
}  // namespace engine

class Instrument;
class SpectrumSettings;

// The trigger level handle at the right edge of the power view: a bubble on the level, and while
// it is dragged (or keyed) a ghost at the new level with its value, which fade once let go. Shown
// with a power trigger and a view that does not roll.
class PowerLevelHandle {
  public:
    static constexpr const char* kImage = "WhiteBubbleTextureMap.png";

    explicit PowerLevelHandle(Instrument& instrument);

    // The band behind the value and the two bubbles, then (separately, so the value is drawn over
    // the ground handles) the value.
    bool addHandles(engine::Node* parent);
    bool addLabel(engine::Node* parent, float fontSize);

    // Whether a touch at `at` (the parent's space) takes the handle; only with an accessory.
    bool grabs(const engine::Vec2& at) const;
    void begin();
    void dragBy(float dy, float height);
    // The dragged level goes to the accessory; a taken single shot waits for the next trigger.
    void release();
    // The level `steps` dB on, kept on the shown axis. False when it cannot move now.
    bool nudge(int steps);

    void refresh(const engine::Size& size, bool dragging, float dt);
    bool isFading() const { return ghostFade_ > 0.f; }

    float dragged() const { return dragged_; }
    engine::Sprite* handle() const { return handle_; }
    engine::Label* label() const { return label_; }

  private:
    void send(float level);

    Instrument& instrument_;
    SpectrumSettings& model_;
    float dragged_ = 0;
    float ghostFade_ = 0;
    engine::Sprite* handle_ = nullptr;  // children of the parent from here on
    engine::Sprite* ghost_ = nullptr;
    engine::DrawNode* band_ = nullptr;
    engine::Label* label_ = nullptr;
};
