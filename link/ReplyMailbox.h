#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// What the packet path learned that moves the worker's phase: the accessory's replies and the
// access-point lists that end a scan. The packet path only posts them; the phase machine takes
// them in order and is the one writer of the phase. Unlike RequestMailbox, replies never compose:
// two lists in one pass are two steps of the scan.
class ReplyMailbox {
  public:
    struct Reply {
        enum Kind : uint8_t { kDiscoveryAccepted, kSettingsAcked, kHaltAcked, kAccessPointList };
        Kind kind = kDiscoveryAccepted;
        bool listPresent = false;  // the accessory sent a list (not only an end-of-scan mark)
        size_t listEntries = 0;
        uint64_t now = 0;

        static Reply make(Kind kind, uint64_t now = 0, bool listPresent = false,
                          size_t listEntries = 0) {
            Reply reply;
            reply.kind = kind;
            reply.now = now;
            reply.listPresent = listPresent;
            reply.listEntries = listEntries;
            return reply;
        }
    };
    // More replies than this between two passes only come from a broken stream; the oldest go.
    static constexpr size_t kMaxReplies = 64;

    void post(const Reply& reply);
    std::vector<Reply> take();

  private:
    std::mutex lock_;
    std::vector<Reply> replies_;
};
