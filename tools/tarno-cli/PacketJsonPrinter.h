#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/PacketFramer.h"

// Frames a stream of accessory bytes the way the accessory controller does and writes one JSON
// object per framed packet, in stream order. Nothing is connected while it runs, so access-point
// lists decode as they do during playback of recordings.
class PacketJsonPrinter {
  public:
    // generationCode 2, 6 or 7 fixes the protocol up front; 0 waits for a discovery reply.
    explicit PacketJsonPrinter(uint8_t generationCode = 0);

    // Frames `length` more bytes; returns the JSON lines of the packets completed by them.
    std::string feed(const uint8_t* bytes, size_t length);

    // For a file fed in pieces: the last `bytes` of what has arrived wait for the next piece, so
    // the packets come out as from one read of the whole file; finish() frames that tail.
    void setLookahead(size_t bytes) { framer_.setLookahead(bytes); }
    std::string finish();

    // Bytes that never became a packet: dropped whole, or left over at the end of the stream.
    size_t droppedBytes() const { return framer_.droppedBytes(); }
    size_t pendingBytes() const { return framer_.buffered(); }

    // The shortest JSON number that reads back to the same float; NaN and infinities are null.
    static std::string number(float value);
    // JSON string of text bytes: UTF-8 as the characters it encodes, bytes that are not
    // UTF-8 as U+FFFD; quotes, backslashes and control characters escaped.
    static std::string string(const uint8_t* bytes, size_t length);

  private:
    void packet(const uint8_t* bytes, size_t length, int type, std::string& out);
    void description(const uint8_t* bytes, size_t length, std::string& out);

    PacketFramer framer_;
    bool described_ = false;
};
