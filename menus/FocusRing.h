#pragma once

#include "engine/base/Types.h"

namespace engine {
class DrawNode;
class Node;
}  // namespace engine

// The keyboard's ring around the focused control: one look for the bar, the menus and alerts.
// The ring is a draw node the owner places on whichever node holds the focused control.
class FocusRing {
  public:
    FocusRing() = default;
    FocusRing(const FocusRing&) = delete;
    FocusRing& operator=(const FocusRing&) = delete;
    ~FocusRing();

    // Puts the ring on `parent` at local z-order `z`, leaving the node it was on; false when the
    // ring could not be made.
    bool attachTo(engine::Node* parent, int z);
    void detach();
    // Draws nothing until surround() is called again.
    void clear();
    // Draws the ring around `box` (in the parent's space), `grow` points outside it (negative:
    // inside).
    void surround(const engine::Rect& box, float grow);

    engine::DrawNode* node() const { return node_; }

  private:
    bool make();

    engine::DrawNode* node_ = nullptr;  // retained
};
