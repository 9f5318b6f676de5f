#include "link/RequestMailbox.h"

namespace {

// Layout of the composed request in the low half of the word.
constexpr uint64_t kPhaseMask = 0x0F;  // phases 0 to 11
constexpr uint64_t kHasPhase = 1u << 4;
constexpr uint64_t kHasHalt = 1u << 5;
constexpr uint64_t kHalt = 1u << 6;
constexpr uint64_t kResend = 1u << 7;
constexpr uint64_t kHasClear = 1u << 8;
constexpr uint64_t kClear = 1u << 9;
constexpr uint64_t kCountOne = uint64_t{1} << 32;

}  // namespace

uint64_t RequestMailbox::compose(uint64_t word, const Request& request) {
    if (request.phase >= 0) {
        word =
            (word & ~kPhaseMask) | kHasPhase | (static_cast<uint64_t>(request.phase) & kPhaseMask);
    }
    if (request.haltRequested >= 0) {
        word = (word & ~kHalt) | kHasHalt | (request.haltRequested != 0 ? kHalt : 0);
    }
    if (request.resendSettings) {
        word |= kResend;
    }
    if (request.clearDataOnAck >= 0) {
        word = (word & ~kClear) | kHasClear | (request.clearDataOnAck != 0 ? kClear : 0);
    }
    // The count cannot reach 2^32 between two passes; the high half never spills over.
    return word + kCountOne;
}

RequestMailbox::Request RequestMailbox::decode(uint64_t word) {
    Request r;
    if (word & kHasPhase) {
        r.phase = static_cast<int>(word & kPhaseMask);
    }
    if (word & kHasHalt) {
        r.haltRequested = (word & kHalt) ? 1 : 0;
    }
    r.resendSettings = (word & kResend) != 0;
    if (word & kHasClear) {
        r.clearDataOnAck = (word & kClear) ? 1 : 0;
    }
    return r;
}

void RequestMailbox::post(const Request& request) {
    uint64_t word = word_.load();
    while (!word_.compare_exchange_weak(word, compose(word, request))) {
    }
    ++posted_;
}

RequestMailbox::Taken RequestMailbox::take() {
    const uint64_t word = word_.exchange(0);
    Taken taken;
    taken.count = static_cast<uint32_t>(word >> 32);
    if (taken.count != 0) {
        taken.request = decode(word);
        taken_ += taken.count;
    }
    return taken;
}
