#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "acquisition/FrameQueue.h"
#include "link/PowerCaptureIntake.h"
#include "link/ReplyMailbox.h"
#include "link/SegmentAssembler.h"
#include "protocol/PacketFramer.h"

class SettingsPublication;
struct ControllerState;

// The controller's packet path: frames the bytes from the link (or the demonstration), creates
// the protocol of the generation that answers discovery, and hands every decoded measurement and
// every change it learns about to the model's owner as frames (sweeps, power captures,
// access-point lists, the description, settings acknowledgements). It never touches the model.
// Replies that move the worker's phase go to the phase machine's reply mailbox. Runs on whichever
// thread delivers (the link's I/O thread, or the worker while it plays the demonstration);
// everything here is guarded by one packet lock, taken before the frame queue's.
class MeasurementIntake {
  public:
    static constexpr size_t kMaxSpectrumValues = 512;

    MeasurementIntake(SettingsPublication& settings, ControllerState& state, FrameQueue& frames,
                      ReplyMailbox& replies, ProtocolEnvironment environment);

    // Where bytes come from; a data log marks the demonstration's in its header lines.
    enum Source { kAccessory, kDemonstration };

    // The packet path: appends `length` bytes and handles every complete packet. `now` is the
    // controller's clock.
    void deliver(const uint8_t* bytes, size_t length, uint64_t now, Source source = kAccessory);

    // Runs `use` with the active protocol (null before the first discovery reply) under the packet
    // lock. `use` must not deliver bytes or take the pass lock.
    template <typename Use>
    auto withProtocol(Use&& use) {
        std::lock_guard<std::mutex> guard(lock_);
        return use(framer_.protocol());
    }
    // Length of the packet at the start of `bytes` as the active protocol frames it; -1 without
    // one.
    int packetLength(const uint8_t* bytes, size_t available);

    // A connection came or went: pending segments belong to the old stream.
    void clearSegments();
    size_t bufferedBytes();
    size_t droppedBytes();

  private:
    void handlePacket(const uint8_t* bytes, size_t length, int type, uint64_t now);
    void handleDiscovery(const uint8_t* bytes, size_t length);
    void handleSettingsAck(const uint8_t* bytes, size_t length);
    void handleSpectrum(const uint8_t* bytes, size_t length);
    void handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now);
    void clearSegmentsLocked();

    SettingsPublication& settings_;
    ControllerState& state_;
    FrameQueue& frames_;
    ReplyMailbox& replies_;

    std::mutex lock_;
    PacketFramer framer_;
    SegmentAssembler sweepSegments24_;
    SegmentAssembler sweepSegments5_;
    PowerCaptureIntake power_;
    bool demonstration_ = false;     // of the bytes being delivered
    std::vector<float> nextLevels_;  // a buffer the owner gave back, for the next sweep
};
