#include "engine/2d/NodeDamage.h"

#include <algorithm>

#include "engine/2d/Node.h"
#include "engine/base/Director.h"

namespace engine {

Rect NodeDamage::worldBounds(const Node& node, const Mat4& toWorld, bool* any) {
    Rect local;
    *any = node.getDrawnBounds(&local) && local.size.width > 0 && local.size.height > 0;
    if (!*any)
        return Rect();
    const Vec2 corners[4] = {{local.getMinX(), local.getMinY()},
                             {local.getMaxX(), local.getMinY()},
                             {local.getMaxX(), local.getMaxY()},
                             {local.getMinX(), local.getMaxY()}};
    Vec2 low = toWorld.transformPoint(corners[0]);
    Vec2 high = low;
    for (const Vec2& corner : corners) {
        const Vec2 p = toWorld.transformPoint(corner);
        low = Vec2(std::min(low.x, p.x), std::min(low.y, p.y));
        high = Vec2(std::max(high.x, p.x), std::max(high.y, p.y));
    }
    return Rect(low.x, low.y, high.x - low.x, high.y - low.y);
}

void NodeDamage::nodeChanged(const Node& node) {
    Rect local;
    const bool childrenHeld = node.getChildren().empty() || node.drawnBoundsHoldChildren();
    Director* director = Director::getInstance();
    if (!childrenHeld || !node.getDrawnBounds(&local) || !node._drawnRectKnown) {
        director->setNeedsWholeRedraw();
        return;
    }
    director->setNeedsRedraw(node._drawnWorldRect);
    if (!node._damagePending) {
        node._damagePending = true;
        director->addChangedNode(const_cast<Node*>(&node));
    }
}

void NodeDamage::drawn(const Node& node, const Mat4& transform) {
    bool any = false;
    node._drawnWorldRect = worldBounds(node, transform, &any);
    node._drawnRectKnown = true;
}

void NodeDamage::drawnNothing(const Node& node) {
    node._drawnWorldRect = Rect();
    node._drawnRectKnown = true;
}

bool NodeDamage::settle(Node& node, Rect* world) {
    node._damagePending = false;
    if (!node.isRunning())
        return false;
    for (const Node* n = &node; n; n = n->getParent()) {
        if (!n->isVisible())
            return false;
    }
    bool any = false;
    *world = worldBounds(node, node.getNodeToWorldTransform(), &any);
    return any;
}

}  // namespace engine
