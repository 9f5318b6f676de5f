#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/AccessoryCommunication.h"

// Binds all six handlers of a link and records what they report, in order. Safe to read from a
// test thread while the link's I/O thread writes; waitFor() blocks on a condition, with a generous
// limit that only guards against a hung test, never measures time.
class LinkEventLog {
  public:
    enum class Kind { ShouldConnect, DidConnect, DidFailToConnect, DidDisconnect, Received, Sent };

    struct Event {
        Event(Kind kind, int vendorId = 0, int code = 0, int packet = 0,
              std::vector<uint8_t> bytes = {})
            : kind(kind), vendorId(vendorId), code(code), packet(packet), bytes(std::move(bytes)) {}

        Kind kind;
        int vendorId = 0;
        int code = 0;    // fail/disconnect code, or didSendData status
        int packet = 0;  // didSendData packet kind
        std::vector<uint8_t> bytes;
    };

    // Binds the handlers; shouldConnect accepts 0x3A7C:0x0007 (or whatever `accept` says).
    void bind(AccessoryCommunication& link,
              std::function<bool(BramelAccessoryDevice*)> accept = nullptr);
    // Leaves didReceiveData and didSendData empty.
    void bindConnectionOnly(AccessoryCommunication& link);

    std::vector<Event> events();
    int count(Kind kind);
    // Every byte delivered through didReceiveData so far, concatenated.
    std::vector<uint8_t> receivedBytes();
    void clear();

    // True once `done` holds; false if it did not within the guard limit.
    bool waitFor(const std::function<bool()>& done,
                 std::chrono::seconds limit = std::chrono::seconds(20));

  private:
    void record(Event event);

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Event> events_;
};
