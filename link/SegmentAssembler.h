#pragma once

#include <cstddef>
#include <vector>

class AccessoryProtocol;

// Collects the segments of one power capture or sweep in arrival order with their indices and,
// once as many segments as the trace has are held, lets the protocol put them in place. Holds at
// most one trace's worth of segments, whatever the stream sends.
class SegmentAssembler {
  public:
    enum class Result { kPending, kComplete, kDropped };

    // Adds one decoded segment of a trace made of `segmentCount` segments. A segment 0 that
    // arrives while segments are pending starts the trace again; an index outside the trace, or
    // one already held, is dropped. On kComplete values() holds the whole trace in point order.
    Result add(const AccessoryProtocol& protocol, const float* values, size_t count, int segment,
               int segmentCount);

    const std::vector<float>& values() const { return values_; }
    size_t pendingSegments() const { return order_.size(); }
    void clear();

  private:
    std::vector<float> values_;
    std::vector<int> order_;
    bool complete_ = false;
};
