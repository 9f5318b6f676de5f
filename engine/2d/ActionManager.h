#pragma once

#include <cstddef>
#include <vector>

namespace engine {

class Action;
class Node;

// Runs every node's actions once per frame. Actions are retained while they run; a node's
// actions pause while it is outside the running scene.
class ActionManager {
  public:
    ActionManager() = default;
    ~ActionManager();
    ActionManager(const ActionManager&) = delete;
    ActionManager& operator=(const ActionManager&) = delete;

    void addAction(Action* action, Node* target, bool paused);
    void removeAction(Action* action);
    void removeActionByTag(int tag, Node* target);
    void removeAllActionsFromTarget(Node* target);
    void removeAllActions();
    Action* getActionByTag(int tag, const Node* target) const;
    size_t getNumberOfRunningActionsInTarget(const Node* target) const;
    void pauseTarget(Node* target);
    void resumeTarget(Node* target);

    void update(float dt);

  private:
    struct Entry {
        Node* target;
        std::vector<Action*> actions;  // null marks one removed during update
        bool paused;
    };
    Entry* find(const Node* target);
    const Entry* find(const Node* target) const;
    void purge();

    std::vector<Entry> _entries;
    bool _updating = false;
};

}  // namespace engine
