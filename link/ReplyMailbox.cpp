#include "link/ReplyMailbox.h"

void ReplyMailbox::post(const Reply& reply) {
    std::lock_guard<std::mutex> guard(lock_);
    if (replies_.size() >= kMaxReplies)
        replies_.erase(replies_.begin());
    replies_.push_back(reply);
}

std::vector<ReplyMailbox::Reply> ReplyMailbox::take() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<Reply> taken;
    taken.swap(replies_);
    return taken;
}
