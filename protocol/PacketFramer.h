#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "protocol/AccessoryProtocol.h"

// Turns the accessory's byte stream into packets: keeps what has not been consumed between
// deliveries, resynchronises on the 0xAA sync byte, and creates the protocol object of the
// generation named by the first discovery reply. The packet path of the accessory controller and
// the decoding tools share it; it only frames, the handler decides what a packet means.
//
// The buffer never holds more than one delivery plus the longest packet of the active generation:
// a header that still "needs more" after that many bytes cannot start a packet and is skipped.
class PacketFramer {
  public:
    // Called for every framed packet, in stream order. `type` is byte 1 >> 5. The bytes live in
    // the framer's buffer until the handler returns.
    using Handler = std::function<void(const uint8_t* bytes, size_t length, int type)>;

    explicit PacketFramer(size_t initialCapacity = 1000);

    // Appends `length` bytes and hands every complete packet to `handler`.
    void deliver(const uint8_t* bytes, size_t length, const Handler& handler);

    // For a file read in pieces: positions closer than `bytes` to the end of what has arrived
    // wait for the next piece, so that packets frame exactly as if the whole file had been
    // delivered at once (a reply cut short by a piece's end is not taken for a short one).
    // `bytes` must exceed the longest packet. finish() frames the tail at the end of the file.
    void setLookahead(size_t bytes) { lookahead_ = bytes; }
    void finish(const Handler& handler) { frame(handler, 0); }

    // Drops whatever is buffered (a new connection must not see the old one's tail).
    void discard() { buffer_.clear(); }

    // While not identified only discovery replies are framed, each one creating a fresh protocol
    // of its generation. The handler sets this once a reply has been accepted.
    bool identified() const { return identified_; }
    void setIdentified(bool identified) { identified_ = identified; }

    AccessoryProtocol* protocol() const { return protocol_.get(); }
    void setProtocol(std::unique_ptr<AccessoryProtocol> protocol);
    // Given to every protocol the framer creates.
    void setProtocolEnvironment(ProtocolEnvironment environment);

    size_t buffered() const { return buffer_.size(); }
    // Bytes thrown away whole: unknown generations and packets the protocol rejected outright.
    size_t droppedBytes() const { return dropped_; }

  private:
    void frame(const Handler& handler, size_t keep);

    size_t lookahead_ = 0;
    std::vector<uint8_t> buffer_;
    std::unique_ptr<AccessoryProtocol> protocol_;
    ProtocolEnvironment environment_;
    bool identified_ = false;
    size_t dropped_ = 0;
};
