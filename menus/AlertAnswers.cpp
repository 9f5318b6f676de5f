#include "menus/AlertAnswers.h"

#include "engine/2d/Node.h"
#include "menus/AlertViewLayer.h"

AlertAnswers::~AlertAnswers() {
    for (auto& entry : pending_) {
        entry.first->setDelegate(nullptr);
        entry.first->release();
    }
}

void AlertAnswers::prune() {
    for (size_t i = 0; i < pending_.size();) {
        if (pending_[i].first->getParent()) {
            ++i;
            continue;
        }
        pending_[i].first->setDelegate(nullptr);
        pending_[i].first->release();
        pending_.erase(pending_.begin() + static_cast<long>(i));
    }
}

AlertViewLayer* AlertAnswers::show(engine::Node* parent, int zOrder, const std::string& title,
                                   const std::string& message,
                                   const std::vector<std::string>& buttons, Answer answer) {
    prune();
    if (!parent)
        return nullptr;
    AlertViewLayer* alert = AlertViewLayer::create(buttons, title, message, "", this);
    if (!alert)
        return nullptr;
    alert->retain();
    pending_.emplace_back(alert, std::move(answer));
    parent->addChild(alert, zOrder);
    return alert;
}

AlertViewLayer* AlertAnswers::openAlert() {
    prune();
    return pending_.empty() ? nullptr : pending_.back().first;
}

bool AlertAnswers::pressOnOpenAlert(bool first) {
    AlertViewLayer* alert = openAlert();
    if (!alert)
        return false;
    const int count = static_cast<int>(alert->getButtonTitles().size());
    alert->buttonPressed(first || count == 0 ? 0 : count - 1);
    return true;
}

void AlertAnswers::alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) {
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->first != alert)
            continue;
        Answer answer = std::move(it->second);
        pending_.erase(it);
        // The alert keeps itself alive through this call; the answer may show the next alert.
        alert->release();
        if (answer)
            answer(buttonIndex);
        return;
    }
}
