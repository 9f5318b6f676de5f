#pragma once

#include <atomic>
#include <cstdint>

class AccessoryCommunication;
class BramelAccessoryDevice;

// What the worker's phase machine, the packet path and the link handlers share. They run on
// different threads without a common lock, so every field is atomic. The phase, the scan's list
// count and the halt request have one writer, PhaseMachine; the packet path posts what it learns
// to the phase machine's reply mailbox instead.
struct ControllerState {
    // Phases of the worker's cycle: discover, configure, stream, halt.
    enum Phase : int {
        kSendDiscovery = 0,
        kAwaitDiscovery = 1,
        kIdentified = 2,
        kSendSettings = 3,
        kAwaitSettingsAck = 4,
        kSettingsAcked = 5,
        kRequest = 6,
        kStreaming = 7,
        kScanStarted = 8,
        kHalt = 9,
        kAwaitHaltAck = 10,
        kHalted = 11,
    };

    // The connected accessory; both null while the demonstration plays.
    std::atomic<AccessoryCommunication*> link{nullptr};
    std::atomic<BramelAccessoryDevice*> device{nullptr};
    std::atomic<int> phase{kAwaitDiscovery};
    // A discovery reply has been accepted and the protocol exists.
    std::atomic<bool> identified{false};
    // First generation: one spectrum request before the first power request.
    std::atomic<bool> primePowerRequest{false};
    std::atomic<int> retryCountdown{0};
    // After the next halt, go on streaming (or reconfigure when resendSettings is set).
    std::atomic<bool> haltRequested{false};
    std::atomic<bool> resendSettings{false};
    // The access-point scan phase of the spectrum cycle is active.
    std::atomic<bool> scanPhase{false};
    std::atomic<bool> clearDataOnAck{false};
    std::atomic<uint64_t> scanPhaseStart{0};
    std::atomic<uint64_t> lastTriggerTime{0};
    std::atomic<uint64_t> scanStart{0};
    std::atomic<int> ackCount{0};
    // The next delivery first drops whatever an earlier connection left buffered.
    std::atomic<bool> discardFirstRead{false};
    std::atomic<int> scanListCount{0};

    bool connected() const { return link != nullptr && device != nullptr; }
};
