#include "engine/base/ModalStack.h"

#include <algorithm>

#include "engine/2d/Node.h"

namespace engine {

namespace {

bool isUnder(const Node* node, const Node* ancestor) {
    for (const Node* n = node; n; n = n->getParent()) {
        if (n == ancestor)
            return true;
    }
    return false;
}

}  // namespace

void ModalStack::push(Node* owner, int rank, Node* pointerCompanion, Node* secondCompanion) {
    if (!owner)
        return;
    remove(owner);
    entries_.push_back({owner, rank, pointerCompanion, secondCompanion, nextOrder_++});
}

void ModalStack::remove(Node* owner) {
    std::erase_if(entries_, [owner](const Entry& e) { return e.owner == owner; });
}

void ModalStack::forget(const Node* node) {
    std::erase_if(entries_, [node](const Entry& e) { return e.owner == node; });
    for (Entry& e : entries_) {
        if (e.companion == node)
            e.companion = nullptr;
        if (e.secondCompanion == node)
            e.secondCompanion = nullptr;
    }
}

const ModalStack::Entry* ModalStack::topEntry() const {
    const Entry* best = nullptr;
    for (const Entry& e : entries_) {
        // A modal taken off the stage (kept for later) owns nothing meanwhile.
        if (!e.owner->isRunning() || !e.owner->isVisible())
            continue;
        if (!best || e.rank > best->rank || (e.rank == best->rank && e.order > best->order))
            best = &e;
    }
    return best;
}

Node* ModalStack::top() const {
    const Entry* e = topEntry();
    return e ? e->owner : nullptr;
}

bool ModalStack::admits(const Node* node, bool pointer) const {
    const Entry* e = topEntry();
    if (!e)
        return true;
    if (!node)
        return false;
    if (isUnder(node, e->owner))
        return true;
    const auto reaches = [node](const Node* companion) {
        return companion && companion->isRunning() && isUnder(node, companion);
    };
    return pointer && (reaches(e->companion) || reaches(e->secondCompanion));
}

}  // namespace engine
