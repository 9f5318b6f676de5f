#pragma once

#include "engine/base/Mat4.h"
#include "engine/base/Types.h"

namespace engine {

class Node;

// Turns a node's change into damage: a leaf that knows where it draws damages where the last
// frame showed it and, once the frame's changes are done, where it will show now; any other
// node damages the whole frame. Main thread only.
class NodeDamage {
  public:
    // From Node::markStale(), for a node in the running scene.
    static void nodeChanged(const Node& node);
    // From the visit: the node draws this frame with transform, or draws nothing.
    static void drawn(const Node& node, const Mat4& transform);
    static void drawnNothing(const Node& node);
    // Before the frame is drawn: where a changed node shows now, in world space; false when
    // it shows nowhere (hidden, itself or an ancestor, or out of the scene). Clears its mark.
    static bool settle(Node& node, Rect* world);

  private:
    static Rect worldBounds(const Node& node, const Mat4& toWorld, bool* any);
};

}  // namespace engine
