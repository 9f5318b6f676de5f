#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

class Node;

// Who owns input: while a modal node is open, new touches, keys and pointer events reach only
// listeners attached to it or below it (a pointer may also reach its companion, such as a bar
// that stays usable beside a menu). The open modal of the highest rank is on top; among equal
// ranks the newest. Touches claimed before a modal opened still end where they began.
class ModalStack {
  public:
    // Opens a modal; opening one already open moves it to the top of its rank.
    void push(Node* owner, int rank, Node* pointerCompanion = nullptr,
              Node* secondCompanion = nullptr);
    void remove(Node* owner);
    // A node is going away: it stops being an owner or a companion.
    void forget(const Node* node);

    // The modal on top among the open ones whose node is on the stage, or null.
    Node* top() const;
    // Whether a listener attached to `node` (null: a fixed-priority listener) may hear a new
    // event; `pointer` for touches, wheel and hover, false for keys.
    bool admits(const Node* node, bool pointer) const;
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        Node* owner;
        int rank;
        Node* companion;
        Node* secondCompanion;
        uint64_t order;
    };
    const Entry* topEntry() const;

    std::vector<Entry> entries_;
    uint64_t nextOrder_ = 0;
};

}  // namespace engine
