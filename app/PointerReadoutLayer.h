#pragma once

#include "engine/2d/Layer.h"

namespace engine {
class EventMouse;
class Label;
}  // namespace engine

class MainScene;

// The hover readout: a small label beside the pointer while it is over the plot and nothing
// modal is open, saying what lies under it (PointerReadout).
class PointerReadoutLayer : public engine::Layer {
  public:
    static PointerReadoutLayer* create(MainScene* scene);
    bool init() override;
    void update(float dt) override;

    engine::Label* getLabel() const { return label_; }

  private:
    PointerReadoutLayer() = default;
    void pointerMoved(engine::EventMouse* event);
    void place();

    MainScene* scene_ = nullptr;  // not retained: the scene is the parent
    engine::Label* label_ = nullptr;
    engine::Vec2 pointer_;
    bool pointerKnown_ = false;
};
