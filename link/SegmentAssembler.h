#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class AccessoryProtocol;

// Collects the segments of one power capture or sweep, putting each in its place in the trace
// as it arrives (the protocol says where), and reports the trace complete once every segment of
// it is held. Holds at most one trace's worth of points, whatever the stream sends.
class SegmentAssembler {
  public:
    enum class Result { kPending, kComplete, kDropped };
    // Segments held are told by a bit each; a trace of more is dropped (packet headers number
    // at most 16).
    static constexpr int kMaxSegments = 64;

    // Adds one decoded segment of a trace made of `segmentCount` segments. A segment 0 that
    // arrives while segments are pending starts the trace again; an index outside the trace, one
    // already held, or a segment of another length than the first one's is dropped with the
    // pending ones. On kComplete values() holds the whole trace in point order.
    Result add(const AccessoryProtocol& protocol, const float* values, size_t count, int segment,
               int segmentCount);
    // The same for a segment of `count` points that `decode(out, stride)` writes straight into
    // their places, point k to out[k × stride], so that they are not copied again.
    template <typename Decode>
    Result addDecoded(const AccessoryProtocol& protocol, size_t count, int segment,
                      int segmentCount, Decode&& decode) {
        size_t stride = 1;
        float* out = beginSegment(protocol, count, segment, segmentCount, &stride);
        if (out == nullptr)
            return Result::kDropped;
        decode(out, stride);
        return endSegment(segment);
    }

    // The trace; meaningful after kComplete only (what else it holds is left over).
    const std::vector<float>& values() const { return values_; }
    // After kComplete: exchanges the trace for `buffer`, whose storage the next trace uses (every
    // point of it is written before it completes), so the trace leaves without a copy.
    void swapValues(std::vector<float>& buffer);
    size_t pendingSegments() const { return held_; }
    void clear();

  private:
    // Where the segment's first point goes (nullptr: dropped), and the distance of the next.
    float* beginSegment(const AccessoryProtocol& protocol, size_t count, int segment,
                        int segmentCount, size_t* stride);
    Result endSegment(int segment);

    std::vector<float> values_;
    uint64_t present_ = 0;  // bit per segment index of the trace being filled
    size_t held_ = 0;
    size_t segmentCount_ = 0;
    size_t segmentPoints_ = 0;
    bool complete_ = false;
};
