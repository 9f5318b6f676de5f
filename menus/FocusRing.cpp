#include "menus/FocusRing.h"

#include "engine/2d/DrawNode.h"

namespace {

const engine::Color4F kRingColour(1.f, 0.85f, 0.2f, 1.f);
constexpr float kLineWidth = 2.f;

}  // namespace

FocusRing::~FocusRing() {
    if (node_)
        node_->release();
}

bool FocusRing::make() {
    if (node_)
        return true;
    node_ = engine::DrawNode::create(kLineWidth);
    if (node_)
        node_->retain();
    return node_ != nullptr;
}

bool FocusRing::attachTo(engine::Node* parent, int z) {
    if (!make() || !parent)
        return false;
    if (node_->getParent() == parent)
        return true;
    node_->removeFromParentAndCleanup(false);
    parent->addChild(node_, z);
    return true;
}

void FocusRing::detach() {
    if (node_)
        node_->removeFromParentAndCleanup(false);
}

void FocusRing::clear() {
    if (node_)
        node_->clear();
}

void FocusRing::surround(const engine::Rect& box, float grow) {
    if (!make())
        return;
    node_->drawRect(engine::Vec2(box.getMinX() - grow, box.getMinY() - grow),
                    engine::Vec2(box.getMaxX() + grow, box.getMaxY() + grow), kRingColour);
}
