#pragma once

#include <string>

#include "engine/base/Types.h"

namespace engine {
class Node;
namespace ui {
class Scale9Sprite;
}
}  // namespace engine

class Instrument;
class SpectrumSettings;

// One ground handle per shown trace (0 live, 1 reference) at the left edge of the power view: a
// tab at the trace's offset, in the trace's colour while it is the selected trace. Dragging one
// moves its trace up or down.
class PowerGroundHandles {
  public:
    static constexpr const char* kImage = "groundLabel.png";

    explicit PowerGroundHandles(Instrument& instrument);

    void add(engine::Node* parent, float fontSize);

    // The trace whose handle a touch at `at` takes (the selected one first), or -1.
    int grab(const engine::Vec2& at);
    // Moves the selected trace by `dy`, kept on the view.
    void dragBy(float dy, float height);

    void refresh();

    // Per trace t (0 live, 1 reference; anything else: false, 0, black or empty).
    bool traceShown(int t) const;
    float traceOffset(int t) const;
    void setTraceOffset(int t, float offset);
    engine::Color3B traceColor(int t) const;
    static std::string groundText(int t);
    engine::ui::Scale9Sprite* handle(int t) const;

  private:
    Instrument& instrument_;
    SpectrumSettings& model_;
    engine::ui::Scale9Sprite* handles_[2] = {nullptr, nullptr};  // children of the parent
};
