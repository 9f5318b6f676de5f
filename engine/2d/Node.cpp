#include "engine/2d/Node.h"

#include <algorithm>

#include "engine/2d/ActionManager.h"
#include "engine/2d/NodeDamage.h"
#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/Touch.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramState.h"

namespace engine {

Node::Node()
    : _scheduler(Director::getInstance()->getScheduler()),
      _actionManager(Director::getInstance()->getActionManager()),
      _eventDispatcher(Director::getInstance()->getEventDispatcher()) {}

Node::~Node() {
    // Anything still pointing at this node from the frame services must go now. A node that
    // outlives the director (released after shutdown) has nothing left to unregister from.
    if (Director::hasInstance() && Director::getInstance()->getScheduler() == _scheduler) {
        _scheduler->unscheduleAllForTarget(this);
        _actionManager->removeAllActionsFromTarget(this);
        _eventDispatcher->removeEventListenersForTarget(this);
    }
    for (Node* child : _children) {
        child->_parent = nullptr;
        child->release();
    }
    safeRelease(_glProgramState);
}

bool Node::init() {
    return true;
}

void Node::markStale() const {
    if (!_running)
        return;
    NodeDamage::nodeChanged(*this);
}

// Each setter marks the picture stale only when the value changes: the views set the same
// positions, colours and opacities every frame.
void Node::setPosition(const Vec2& position) {
    if (assignChanged(_position, position))
        markStale();
}

void Node::setAnchorPoint(const Vec2& anchor) {
    if (assignChanged(_anchorPoint, anchor))
        markStale();
}

void Node::setContentSize(const Size& size) {
    if (assignChanged(_contentSize, size)) {
        _contentSizeDirty = true;
        markStale();
    }
}

void Node::setScale(float scale) {
    setScaleX(scale);
    setScaleY(scale);
}

void Node::setScale(float scaleX, float scaleY) {
    setScaleX(scaleX);
    setScaleY(scaleY);
}

void Node::setScaleX(float scaleX) {
    if (assignChanged(_scaleX, scaleX))
        markStale();
}
void Node::setScaleY(float scaleY) {
    if (assignChanged(_scaleY, scaleY))
        markStale();
}
void Node::setRotation(float degrees) {
    if (assignChanged(_rotation, degrees))
        markStale();
}
void Node::setIgnoreAnchorPointForPosition(bool ignore) {
    if (assignChanged(_ignoreAnchorPointForPosition, ignore))
        markStale();
}

void Node::setGlobalZOrder(float z) {
    if (assignChanged(_globalZOrder, z))
        markStale();
}

void Node::setVisible(bool visible) {
    if (assignChanged(_visible, visible))
        markStale();
}

void Node::setLocalZOrder(int z) {
    if (_parent) {
        _parent->reorderChild(this, z);
    } else {
        _localZOrder = z;
    }
}

void Node::setOpacity(uint8_t opacity) {
    if (opacity == _realOpacity && !(_parent && _parent->isCascadeOpacityEnabled()))
        return;
    _realOpacity = opacity;
    uint8_t parentOpacity = 255;
    if (_parent && _parent->isCascadeOpacityEnabled())
        parentOpacity = _parent->getDisplayedOpacity();
    updateDisplayedOpacity(parentOpacity);
}

void Node::updateDisplayedOpacity(uint8_t parentOpacity) {
    if (assignChanged(_displayedOpacity, static_cast<uint8_t>(_realOpacity * parentOpacity / 255)))
        markStale();
    if (_cascadeOpacityEnabled) {
        for (Node* child : _children)
            child->updateDisplayedOpacity(_displayedOpacity);
    }
}

void Node::setCascadeOpacityEnabled(bool enabled) {
    _cascadeOpacityEnabled = enabled;
    uint8_t parentOpacity = 255;
    if (_parent && _parent->isCascadeOpacityEnabled())
        parentOpacity = _parent->getDisplayedOpacity();
    updateDisplayedOpacity(parentOpacity);
    if (!enabled) {
        for (Node* child : _children)
            child->updateDisplayedOpacity(255);
    }
}

void Node::setColor(const Color3B& color) {
    if (color == _realColor && !(_parent && _parent->isCascadeColorEnabled()))
        return;
    _realColor = color;
    Color3B parentColor = Color3B::WHITE;
    if (_parent && _parent->isCascadeColorEnabled())
        parentColor = _parent->getDisplayedColor();
    updateDisplayedColor(parentColor);
}

void Node::updateDisplayedColor(const Color3B& parentColor) {
    if (assignChanged(_displayedColor,
                      Color3B(static_cast<uint8_t>(_realColor.r * parentColor.r / 255),
                              static_cast<uint8_t>(_realColor.g * parentColor.g / 255),
                              static_cast<uint8_t>(_realColor.b * parentColor.b / 255))))
        markStale();
    if (_cascadeColorEnabled) {
        for (Node* child : _children)
            child->updateDisplayedColor(_displayedColor);
    }
}

void Node::setCascadeColorEnabled(bool enabled) {
    _cascadeColorEnabled = enabled;
    Color3B parentColor = Color3B::WHITE;
    if (_parent && _parent->isCascadeColorEnabled())
        parentColor = _parent->getDisplayedColor();
    updateDisplayedColor(parentColor);
    if (!enabled) {
        for (Node* child : _children)
            child->updateDisplayedColor(Color3B::WHITE);
    }
}

// Life cycle -------------------------------------------------------------------------------

void Node::onEnter() {
    _running = true;
    resume();
    std::vector<Node*> children = _children;
    for (Node* child : children) {
        child->retain();
        child->onEnter();
        child->release();
    }
}

void Node::onExit() {
    _running = false;
    pause();
    std::vector<Node*> children = _children;
    for (Node* child : children) {
        child->retain();
        child->onExit();
        child->release();
    }
}

void Node::cleanup() {
    stopAllActions();
    unscheduleAllCallbacks();
    _eventDispatcher->removeEventListenersForTarget(this);
    for (Node* child : _children)
        child->cleanup();
}

void Node::pause() {
    _scheduler->pauseTarget(this);
    _actionManager->pauseTarget(this);
}

void Node::resume() {
    _scheduler->resumeTarget(this);
    _actionManager->resumeTarget(this);
}

// Transforms -------------------------------------------------------------------------------

Mat4 Node::getNodeToParentTransform() const {
    Vec2 anchor = getAnchorPointInPoints();
    Vec2 origin = _position;
    if (_ignoreAnchorPointForPosition)
        origin += anchor;
    Mat4 t = Mat4::translation(origin.x, origin.y);
    if (_rotation != 0)
        t = t * Mat4::rotationClockwise(_rotation);
    if (_scaleX != 1 || _scaleY != 1)
        t = t * Mat4::scaling(_scaleX, _scaleY);
    if (anchor.x != 0 || anchor.y != 0)
        t = t * Mat4::translation(-anchor.x, -anchor.y);
    return t;
}

Mat4 Node::getNodeToWorldTransform() const {
    Mat4 t = getNodeToParentTransform();
    for (const Node* p = _parent; p; p = p->_parent)
        t = p->getNodeToParentTransform() * t;
    return t;
}

Rect Node::getBoundingBox() const {
    Mat4 t = getNodeToParentTransform();
    Vec2 corners[4] = {t.transformPoint({0, 0}), t.transformPoint({_contentSize.width, 0}),
                       t.transformPoint({0, _contentSize.height}),
                       t.transformPoint({_contentSize.width, _contentSize.height})};
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Vec2& c : corners) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

Vec2 Node::convertToNodeSpace(const Vec2& worldPoint) const {
    return getWorldToNodeTransform().transformPoint(worldPoint);
}

Vec2 Node::convertToWorldSpace(const Vec2& nodePoint) const {
    return getNodeToWorldTransform().transformPoint(nodePoint);
}

Vec2 Node::convertToNodeSpaceAR(const Vec2& worldPoint) const {
    return convertToNodeSpace(worldPoint) - getAnchorPointInPoints();
}

Vec2 Node::convertToWorldSpaceAR(const Vec2& nodePoint) const {
    return convertToWorldSpace(nodePoint + getAnchorPointInPoints());
}

Vec2 Node::convertTouchToNodeSpace(Touch* touch) const {
    return convertToNodeSpace(touch->getLocation());
}

// Drawing ----------------------------------------------------------------------------------

void Node::visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) {
    if (!_visible) {
        NodeDamage::drawnNothing(*this);
        return;
    }
    uint32_t flags = parentFlags;
    if (_contentSizeDirty) {
        flags |= FLAGS_CONTENT_SIZE_DIRTY;
        _contentSizeDirty = false;
    }
    Mat4 transform = parentTransform * getNodeToParentTransform();
    sortAllChildren();
    size_t i = 0;
    for (; i < _children.size() && _children[i]->_localZOrder < 0; ++i) {
        _children[i]->visit(renderer, transform, flags);
    }
    NodeDamage::drawn(*this, transform);
    draw(renderer, transform, flags);
    for (; i < _children.size(); ++i)
        _children[i]->visit(renderer, transform, flags);
}

void Node::draw(Renderer*, const Mat4&, uint32_t) {}

void Node::setGLProgram(GLProgram* program) {
    if (!program) {
        safeRelease(_glProgramState);
        return;
    }
    if (_glProgramState && _glProgramState->getGLProgram() == program)
        return;
    setGLProgramState(GLProgramState::create(program));
}

GLProgram* Node::getGLProgram() const {
    return _glProgramState ? _glProgramState->getGLProgram() : nullptr;
}

void Node::setGLProgramState(GLProgramState* state) {
    if (state == _glProgramState)
        return;
    safeAssign(_glProgramState, state);
    markStale();
}

}  // namespace engine
