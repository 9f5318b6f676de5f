#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/base/Mat4.h"
#include "engine/base/Ref.h"
#include "engine/base/Scheduler.h"
#include "engine/base/Types.h"

namespace engine {

class Action;
class ActionManager;
class EventDispatcher;
class GLProgram;
class GLProgramState;
class Renderer;
class Scene;
class Touch;

// The scene-graph element: a transform (position, anchor, scale, clockwise rotation), a content
// size, children ordered by local Z, opacity and colour (optionally cascading to children),
// and hooks the subclasses override (init, onEnter, onExit, update, draw, visit).
class Node : public Ref {
  public:
    enum : uint32_t { FLAGS_TRANSFORM_DIRTY = 1, FLAGS_CONTENT_SIZE_DIRTY = 2 };
    static constexpr int INVALID_TAG = -1;

    CREATE_FUNC(Node)

    ~Node() override;
    virtual bool init();

    // Geometry.
    virtual void setPosition(const Vec2& position);
    void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
    const Vec2& getPosition() const { return _position; }
    float getPositionX() const { return _position.x; }
    float getPositionY() const { return _position.y; }
    void setPositionX(float x) { setPosition(Vec2(x, _position.y)); }
    void setPositionY(float y) { setPosition(Vec2(_position.x, y)); }
    virtual void setAnchorPoint(const Vec2& anchor);
    const Vec2& getAnchorPoint() const { return _anchorPoint; }
    Vec2 getAnchorPointInPoints() const {
        return {_anchorPoint.x * _contentSize.width, _anchorPoint.y * _contentSize.height};
    }
    virtual void setContentSize(const Size& size);
    const Size& getContentSize() const { return _contentSize; }
    virtual void setScale(float scale);
    void setScale(float scaleX, float scaleY);
    virtual void setScaleX(float scaleX);
    virtual void setScaleY(float scaleY);
    float getScale() const { return _scaleX; }
    float getScaleX() const { return _scaleX; }
    float getScaleY() const { return _scaleY; }
    virtual void setRotation(float degrees);
    float getRotation() const { return _rotation; }
    // Layers and scenes are placed by their bottom-left corner whatever their anchor.
    void setIgnoreAnchorPointForPosition(bool ignore);
    bool isIgnoreAnchorPointForPosition() const { return _ignoreAnchorPointForPosition; }

    // Order.
    virtual void setLocalZOrder(int z);
    int getLocalZOrder() const { return _localZOrder; }
    void setGlobalZOrder(float z);
    float getGlobalZOrder() const { return _globalZOrder; }
    unsigned int getOrderOfArrival() const { return _orderOfArrival; }

    // Appearance.
    virtual void setVisible(bool visible);
    bool isVisible() const { return _visible; }
    virtual void setOpacity(uint8_t opacity);
    uint8_t getOpacity() const { return _realOpacity; }
    uint8_t getDisplayedOpacity() const { return _displayedOpacity; }
    virtual void updateDisplayedOpacity(uint8_t parentOpacity);
    void setCascadeOpacityEnabled(bool enabled);
    bool isCascadeOpacityEnabled() const { return _cascadeOpacityEnabled; }
    virtual void setColor(const Color3B& color);
    const Color3B& getColor() const { return _realColor; }
    const Color3B& getDisplayedColor() const { return _displayedColor; }
    virtual void updateDisplayedColor(const Color3B& parentColor);
    void setCascadeColorEnabled(bool enabled);
    bool isCascadeColorEnabled() const { return _cascadeColorEnabled; }

    void setTag(int tag) { _tag = tag; }
    int getTag() const { return _tag; }
    void setName(const std::string& name) { _name = name; }
    const std::string& getName() const { return _name; }

    // Children. A child is retained by its parent until removed.
    virtual void addChild(Node* child);
    virtual void addChild(Node* child, int localZOrder);
    virtual void addChild(Node* child, int localZOrder, int tag);
    virtual void addChild(Node* child, int localZOrder, const std::string& name);
    const std::vector<Node*>& getChildren() const { return _children; }
    size_t getChildrenCount() const { return _children.size(); }
    Node* getChildByTag(int tag) const;
    Node* getChildByName(const std::string& name) const;
    Node* getParent() const { return _parent; }
    Scene* getScene() const;
    virtual void removeFromParent() { removeFromParentAndCleanup(true); }
    virtual void removeFromParentAndCleanup(bool cleanup);
    virtual void removeChild(Node* child, bool cleanup = true);
    void removeChildByTag(int tag, bool cleanup = true);
    virtual void removeAllChildren() { removeAllChildrenWithCleanup(true); }
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    virtual void reorderChild(Node* child, int localZOrder);
    void sortAllChildren();

    // Life cycle. onEnter/onExit follow the node into and out of the running scene.
    virtual void onEnter();
    virtual void onExit();
    bool isRunning() const { return _running; }
    // Stops actions, timers and listeners of this node and its children.
    virtual void cleanup();
    void pause();
    void resume();

    // Transforms and conversions. World space is the scene's space (design units).
    Rect getBoundingBox() const;
    Mat4 getNodeToParentTransform() const;
    Mat4 getNodeToWorldTransform() const;
    Mat4 getWorldToNodeTransform() const { return getNodeToWorldTransform().getInverse2D(); }
    Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpace(const Vec2& nodePoint) const;
    Vec2 convertToNodeSpaceAR(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpaceAR(const Vec2& nodePoint) const;
    Vec2 convertTouchToNodeSpace(Touch* touch) const;

    // The picture needs drawing again because of this node (a no-op while the node is not in
    // the running scene: joining it marks the picture anyway). Setters call it when a value
    // really changes; a node that draws other state (model data) calls it when that changes.
    void markStale() const;

    // Where this node alone draws, in its own space, so that a change of it damages only that
    // (before and after); false when unknown, and then a change damages the whole frame. Nodes
    // with children damage the whole frame (a transform moves them all) unless the bounds hold
    // what the children draw too, as for a layer that clips them to its rectangle.
    virtual bool getDrawnBounds(Rect* local) const {
        (void)local;
        return false;
    }
    virtual bool drawnBoundsHoldChildren() const { return false; }

    // Drawing. visit() queues the children behind (negative local Z), itself, then the rest.
    virtual void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags);
    virtual void draw(Renderer* renderer, const Mat4& transform, uint32_t flags);
    virtual void setGLProgram(GLProgram* program);
    GLProgram* getGLProgram() const;
    virtual void setGLProgramState(GLProgramState* state);
    GLProgramState* getGLProgramState() const { return _glProgramState; }

    // Time.
    virtual void update(float delta);
    void scheduleUpdate() { scheduleUpdateWithPriority(0); }
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    void schedule(const SchedulerFunc& callback, float interval, const std::string& key);
    void schedule(const SchedulerFunc& callback, float interval, unsigned int repeat, float delay,
                  const std::string& key);
    void scheduleOnce(const SchedulerFunc& callback, float delay, const std::string& key);
    void unschedule(const std::string& key);
    void unscheduleAllCallbacks();
    bool isScheduled(const std::string& key) const;

    Action* runAction(Action* action);
    void stopAllActions();
    void stopAction(Action* action);
    void stopActionByTag(int tag);
    Action* getActionByTag(int tag);
    size_t getNumberOfRunningActions() const;

    EventDispatcher* getEventDispatcher() const { return _eventDispatcher; }
    Scheduler* getScheduler() const { return _scheduler; }
    ActionManager* getActionManager() const { return _actionManager; }

  protected:
    Node();
    // Assigns and says whether the value changed, bit for bit: a coordinate that is not a
    // number, set again, is no change and so cannot keep the picture stale.
    template <class T>
    static bool assignChanged(T& field, const T& value) {
        if (std::memcmp(&field, &value, sizeof(T)) == 0)
            return false;
        field = value;
        return true;
    }

    void insertChild(Node* child, int localZOrder);
    void detachChild(Node* child, size_t index, bool cleanup);

    Vec2 _position;
    Vec2 _anchorPoint;
    Size _contentSize;
    float _scaleX = 1;
    float _scaleY = 1;
    float _rotation = 0;
    bool _ignoreAnchorPointForPosition = false;

    int _localZOrder = 0;
    float _globalZOrder = 0;
    unsigned int _orderOfArrival = 0;
    bool _reorderChildDirty = false;

    bool _visible = true;
    uint8_t _realOpacity = 255;
    uint8_t _displayedOpacity = 255;
    bool _cascadeOpacityEnabled = false;
    Color3B _realColor;
    Color3B _displayedColor;
    bool _cascadeColorEnabled = false;

    int _tag = INVALID_TAG;
    std::string _name;

    std::vector<Node*> _children;
    Node* _parent = nullptr;
    bool _running = false;
    bool _contentSizeDirty = true;

    GLProgramState* _glProgramState = nullptr;

    // Where the last drawn frame showed this node (world space); kept by NodeDamage.
    friend class NodeDamage;
    mutable Rect _drawnWorldRect;
    mutable bool _drawnRectKnown = false;
    mutable bool _damagePending = false;

    Scheduler* _scheduler;
    ActionManager* _actionManager;
    EventDispatcher* _eventDispatcher;
};

}  // namespace engine
