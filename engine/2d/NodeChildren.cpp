// The scene-graph tree of Node: adding, finding, removing and ordering children. Kept apart from
// Node.cpp, which holds a node's own properties, life cycle, transforms, drawing and timers.
#include <algorithm>

#include "engine/2d/Node.h"
#include "engine/2d/Scene.h"

namespace engine {

// Ties between equal local Z orders go to the child added (or reordered) first.
static unsigned int s_globalOrderOfArrival = 1;

// Children ---------------------------------------------------------------------------------

void Node::addChild(Node* child) {
    addChild(child, child ? child->_localZOrder : 0);
}

void Node::addChild(Node* child, int localZOrder) {
    if (!child || child->_parent || child == this)
        return;
    insertChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, int tag) {
    if (!child)
        return;
    child->setTag(tag);
    addChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
    if (!child)
        return;
    child->setName(name);
    addChild(child, localZOrder);
}

void Node::insertChild(Node* child, int localZOrder) {
    child->retain();
    _children.push_back(child);
    child->_localZOrder = localZOrder;
    child->_orderOfArrival = s_globalOrderOfArrival++;
    child->_parent = this;
    _reorderChildDirty = true;
    if (_cascadeOpacityEnabled)
        child->updateDisplayedOpacity(_displayedOpacity);
    if (_cascadeColorEnabled)
        child->updateDisplayedColor(_displayedColor);
    if (_running)
        child->onEnter();
    markStale();
}

Node* Node::getChildByTag(int tag) const {
    for (Node* child : _children) {
        if (child->_tag == tag)
            return child;
    }
    return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
    for (Node* child : _children) {
        if (child->_name == name)
            return child;
    }
    return nullptr;
}

Scene* Node::getScene() const {
    const Node* node = this;
    while (node->_parent)
        node = node->_parent;
    return dynamic_cast<Scene*>(const_cast<Node*>(node));
}

void Node::removeFromParentAndCleanup(bool cleanup) {
    if (_parent)
        _parent->removeChild(this, cleanup);
}

void Node::removeChild(Node* child, bool cleanup) {
    auto it = std::find(_children.begin(), _children.end(), child);
    if (it == _children.end())
        return;
    detachChild(child, static_cast<size_t>(it - _children.begin()), cleanup);
}

void Node::removeChildByTag(int tag, bool cleanup) {
    if (Node* child = getChildByTag(tag))
        removeChild(child, cleanup);
}

void Node::detachChild(Node* child, size_t index, bool cleanup) {
    // onExit may remove other children, so erase by identity afterwards.
    if (_running)
        child->onExit();
    if (cleanup)
        child->cleanup();
    auto it = std::find(_children.begin(), _children.end(), child);
    if (it != _children.end())
        _children.erase(it);
    (void)index;
    child->_parent = nullptr;
    child->release();
    markStale();
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
    std::vector<Node*> children = _children;
    for (Node* child : children) {
        child->retain();
        if (_running)
            child->onExit();
        if (cleanup)
            child->cleanup();
        child->_parent = nullptr;
    }
    if (!children.empty())
        markStale();
    _children.clear();
    for (Node* child : children) {
        child->release();  // the parent's reference
        child->release();  // the one taken above
    }
}

void Node::reorderChild(Node* child, int localZOrder) {
    if (!child)
        return;
    markStale();
    child->_localZOrder = localZOrder;
    child->_orderOfArrival = s_globalOrderOfArrival++;
    _reorderChildDirty = true;
}

void Node::sortAllChildren() {
    if (!_reorderChildDirty)
        return;
    std::stable_sort(_children.begin(), _children.end(), [](const Node* a, const Node* b) {
        if (a->_localZOrder != b->_localZOrder)
            return a->_localZOrder < b->_localZOrder;
        return a->_orderOfArrival < b->_orderOfArrival;
    });
    _reorderChildDirty = false;
}

}  // namespace engine
