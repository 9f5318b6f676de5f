#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "model/PulseMeasurement.h"

class AccessoryCommunicationDelegate;

// The pulse measurements of every power capture as it arrives, for the streaming commands. The
// controller measures each capture on its own thread (and stores it in the model, as for the
// window); the command takes the finished records on its thread.
class PowerCaptureStream {
  public:
    struct Capture {
        size_t samples = 0;
        float dt = 0;
        PulseMeasurement::Results results{};
    };
    // Captures kept while the command does not take them; beyond that the oldest go.
    static constexpr size_t kMaxWaiting = 1024;

    // Installs the controller's pulse-measurement hook.
    void attach(AccessoryCommunicationDelegate& controller);
    // Moves the captures measured since the last call to `out`; returns how many were lost.
    uint64_t take(std::vector<Capture>& out);

  private:
    std::mutex lock_;
    std::vector<Capture> waiting_;
    uint64_t lost_ = 0;
};
