#include "engine/base/EventDispatcher.h"

#include <algorithm>
#include <unordered_map>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/base/Event.h"
#include "engine/base/EventKeyboard.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/EventMouse.h"
#include "engine/base/Touch.h"

namespace engine {

namespace {

// Visit order of every node of the running scene, matching Node::visit.
void collectOrder(Node* node, std::unordered_map<const Node*, int>& order, int& counter) {
    node->sortAllChildren();
    const auto& children = node->getChildren();
    size_t i = 0;
    for (; i < children.size() && children[i]->getLocalZOrder() < 0; ++i) {
        collectOrder(children[i], order, counter);
    }
    order[node] = counter++;
    for (; i < children.size(); ++i)
        collectOrder(children[i], order, counter);
}

}  // namespace

EventDispatcher::~EventDispatcher() {
    removeAllEventListeners();
    purgeRemoved();
}

void EventDispatcher::addListener(EventListener* listener) {
    listener->retain();
    listener->_registered = true;
    _listeners.push_back(listener);
}

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
    if (!listener || !node || listener->_registered)
        return;
    listener->_node = node;
    listener->_fixedPriority = 0;
    addListener(listener);
}

void EventDispatcher::addEventListenerWithFixedPriority(EventListener* listener,
                                                        int fixedPriority) {
    if (!listener || fixedPriority == 0 || listener->_registered)
        return;
    listener->_node = nullptr;
    listener->_fixedPriority = fixedPriority;
    addListener(listener);
}

void EventDispatcher::removeEventListener(EventListener* listener) {
    if (!listener || !listener->_registered)
        return;
    listener->_registered = false;
    listener->_node = nullptr;
    if (listener->getType() == EventListener::Type::TOUCH_ONE_BY_ONE) {
        auto* touchListener = static_cast<EventListenerTouchOneByOne*>(listener);
        touchListener->_claimedTouches.clear();
    }
    purgeRemoved();
}

void EventDispatcher::removeEventListenersForTarget(Node* node) {
    _modals.forget(node);
    for (EventListener* listener : _listeners) {
        if (listener->_registered && listener->_node == node) {
            listener->_registered = false;
            listener->_node = nullptr;
        }
    }
    purgeRemoved();
}

void EventDispatcher::removeAllEventListeners() {
    for (EventListener* listener : _listeners) {
        listener->_registered = false;
        listener->_node = nullptr;
    }
    purgeRemoved();
}

size_t EventDispatcher::getListenerCount() const {
    return static_cast<size_t>(std::count_if(_listeners.begin(), _listeners.end(),
                                             [](EventListener* l) { return l->_registered; }));
}

void EventDispatcher::purgeRemoved() {
    if (_dispatching > 0)
        return;
    std::vector<EventListener*> removed;
    auto it = std::stable_partition(_listeners.begin(), _listeners.end(),
                                    [](EventListener* l) { return l->_registered; });
    removed.assign(it, _listeners.end());
    _listeners.erase(it, _listeners.end());
    for (EventListener* listener : removed)
        listener->release();
}

std::vector<EventListener*> EventDispatcher::sortedListeners(int type, bool gated, bool pointer) {
    std::unordered_map<const Node*, int> order;
    int counter = 0;
    if (Scene* scene = Director::getInstance()->getRunningScene()) {
        collectOrder(scene, order, counter);
    }
    struct Entry {
        EventListener* listener;
        int group;  // 0 negative fixed, 1 scene graph, 2 positive fixed
        float globalZ;
        int key;
    };
    std::vector<Entry> entries;
    for (EventListener* listener : _listeners) {
        if (!listener->_registered || !listener->_enabled ||
            static_cast<int>(listener->getType()) != type) {
            continue;
        }
        if (gated && !_modals.admits(listener->_node, pointer))
            continue;
        if (listener->_node) {
            auto it = order.find(listener->_node);
            if (it == order.end() || !listener->_node->isRunning())
                continue;
            entries.push_back({listener, 1, listener->_node->getGlobalZOrder(), it->second});
        } else {
            entries.push_back(
                {listener, listener->_fixedPriority < 0 ? 0 : 2, 0, listener->_fixedPriority});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.group == 1) {
            if (a.globalZ != b.globalZ)
                return a.globalZ > b.globalZ;
            return a.key > b.key;  // drawn later, so on top
        }
        return a.key < b.key;
    });
    std::vector<EventListener*> result;
    result.reserve(entries.size());
    for (const Entry& e : entries) {
        e.listener->retain();
        result.push_back(e.listener);
    }
    return result;
}

void EventDispatcher::dispatchTouchBegan(Touch* touch) {
    ++_dispatching;
    auto listeners = sortedListeners(static_cast<int>(EventListener::Type::TOUCH_ONE_BY_ONE));
    for (EventListener* base : listeners) {
        auto* listener = static_cast<EventListenerTouchOneByOne*>(base);
        if (!listener->_registered || !listener->onTouchBegan)
            continue;
        Node* node = listener->_node;
        if (node)
            node->retain();
        Event event(Event::Type::TOUCH);
        event.setCurrentTarget(node);
        bool claimed = listener->onTouchBegan(touch, &event);
        if (node)
            node->release();
        if (claimed && listener->_registered) {
            listener->_claimedTouches.push_back(touch);
            if (listener->_swallowTouches)
                break;
        }
        if (event.isStopped())
            break;
    }
    for (EventListener* listener : listeners)
        listener->release();
    --_dispatching;
    purgeRemoved();
}

void EventDispatcher::dispatchClaimed(Touch* touch, Phase phase) {
    ++_dispatching;
    // A touch claimed before a modal opened still ends where it began.
    auto listeners =
        sortedListeners(static_cast<int>(EventListener::Type::TOUCH_ONE_BY_ONE), false);
    for (EventListener* base : listeners) {
        auto* listener = static_cast<EventListenerTouchOneByOne*>(base);
        auto& claims = listener->_claimedTouches;
        auto it = std::find(claims.begin(), claims.end(), touch);
        if (!listener->_registered || it == claims.end())
            continue;
        if (phase != Phase::MOVED)
            claims.erase(it);
        const auto& callback = phase == Phase::MOVED   ? listener->onTouchMoved
                               : phase == Phase::ENDED ? listener->onTouchEnded
                                                       : listener->onTouchCancelled;
        Event event(Event::Type::TOUCH);
        event.setCurrentTarget(listener->_node);
        if (callback) {
            Node* node = listener->_node;
            if (node)
                node->retain();
            callback(touch, &event);
            if (node)
                node->release();
        }
        if (listener->_swallowTouches || event.isStopped())
            break;
    }
    // Listeners that were skipped (disabled, left the scene) must not keep a finished touch.
    if (phase != Phase::MOVED) {
        for (EventListener* base : _listeners) {
            if (base->getType() != EventListener::Type::TOUCH_ONE_BY_ONE)
                continue;
            auto& claims = static_cast<EventListenerTouchOneByOne*>(base)->_claimedTouches;
            claims.erase(std::remove(claims.begin(), claims.end(), touch), claims.end());
        }
    }
    for (EventListener* listener : listeners)
        listener->release();
    --_dispatching;
    purgeRemoved();
}

void EventDispatcher::dispatchTouchMoved(Touch* touch) {
    dispatchClaimed(touch, Phase::MOVED);
}
void EventDispatcher::dispatchTouchEnded(Touch* touch) {
    dispatchClaimed(touch, Phase::ENDED);
}
void EventDispatcher::dispatchTouchCancelled(Touch* touch) {
    dispatchClaimed(touch, Phase::CANCELLED);
}

void EventDispatcher::dispatchKeyboardEvent(EventKeyboard* event) {
    ++_dispatching;
    // Releases go everywhere (a held modifier must not stick behind a menu); presses only to the
    // input owner.
    auto listeners =
        sortedListeners(static_cast<int>(EventListener::Type::KEYBOARD), event->isPressed(), false);
    for (EventListener* base : listeners) {
        auto* listener = static_cast<EventListenerKeyboard*>(base);
        if (!listener->_registered)
            continue;
        event->setCurrentTarget(listener->_node);
        const auto& callback =
            event->isPressed() ? listener->onKeyPressed : listener->onKeyReleased;
        if (callback)
            callback(event->getKeyCode(), event);
        if (event->isStopped())
            break;
    }
    for (EventListener* listener : listeners)
        listener->release();
    --_dispatching;
    purgeRemoved();
}

void EventDispatcher::dispatchMouseEvent(EventMouse* event) {
    ++_dispatching;
    auto listeners = sortedListeners(static_cast<int>(EventListener::Type::MOUSE));
    const bool scroll = event->getMouseEventType() == EventMouse::MouseEventType::SCROLL;
    for (EventListener* base : listeners) {
        auto* listener = static_cast<EventListenerMouse*>(base);
        if (!listener->_registered)
            continue;
        event->setCurrentTarget(listener->_node);
        if (scroll) {
            if (listener->onScroll && listener->onScroll(event))
                break;
        } else if (listener->onMouseMove) {
            listener->onMouseMove(event);
        }
        if (event->isStopped())
            break;
    }
    for (EventListener* listener : listeners)
        listener->release();
    --_dispatching;
    purgeRemoved();
}

}  // namespace engine
