#pragma once

#include <atomic>
#include <cstdint>

// Requests to the worker's phase machine from other threads (the main thread's menus, and the
// packet path when a single shot has been taken). A call only records its request in one atomic
// word; the worker takes the whole word at the start of a pass, under its pass lock, and applies
// it before the phase step. So a request is never overwritten by a pass that was already under
// way, and no caller ever waits for a lock the worker holds.
//
// Requests that arrive between two passes compose in call order: each sets some of the fields
// below, and for every field the last request that set it wins, exactly as if each had been
// applied on its own.
class RequestMailbox {
  public:
    // What a request (or the composition of several) sets; negative: leaves the field alone.
    struct Request {
        int phase = -1;
        int haltRequested = -1;
        bool resendSettings = false;  // only ever set, never cleared, by a request
        int clearDataOnAck = -1;
    };
    struct Taken {
        Request request;
        uint32_t count = 0;  // requests composed into this one; 0: nothing to apply
    };

    void post(const Request& request);
    // Empties the mailbox.
    Taken take();

    // Requests posted and taken since construction; equal once no call is under way and the
    // worker has taken the mailbox.
    uint64_t posted() const { return posted_; }
    uint64_t taken() const { return taken_; }

  private:
    static uint64_t compose(uint64_t word, const Request& request);
    static Request decode(uint64_t word);

    // Low 32 bits: the composed request; high 32 bits: how many requests it holds.
    std::atomic<uint64_t> word_{0};
    std::atomic<uint64_t> posted_{0};
    std::atomic<uint64_t> taken_{0};
};
