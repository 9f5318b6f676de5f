#pragma once

#include <atomic>
#include <cstdint>

class DiagnosticSink;

// State that lives only while the program runs; never saved. Fields that another thread reads
// without a lock are atomic.
struct RuntimeState {
    // Values of triggerStatus: how long the power view has gone without a trigger.
    static constexpr int32_t kTriggered = 0;
    static constexpr int32_t kNoTriggerFor10s = 1;
    static constexpr int32_t kNoTriggerFor2s = 2;  // also right after a settings acknowledgement

    bool touchActive = false;  // a touch gesture on a view is in progress (main thread only)
    int32_t displayClass = 0;  // 0..3; 0 selects the small fonts and bar sizes
    std::atomic<bool> deviceConnected{false};
    std::atomic<bool> ssidTableChanged{true};
    std::atomic<bool> utilizationChanged{true};
    int32_t scanCount = 0;                  // access-point lists merged since the list was cleared
    std::atomic<int32_t> triggerStatus{2};  // 0 triggered, 1 none for 10 s, 2 none for 2 s / acked
    std::atomic<int32_t> dataLogState{0};   // 0 off, 1 start requested, 2 logging, 3 stop requested
    std::atomic<int32_t> runState{0};  // 0 running, 1 paused, 2 single shot armed, 3 shot taken
    std::atomic<bool> captureRescale{false};
    float captureDelay = 0.0f;
    int32_t captureAmplitudeIndex = -1;
    int32_t captureTimeBaseIndex = -1;
    float viewDelay = 0.0f;
    int32_t viewAmplitudeIndex = -1;
    int32_t viewTimeBaseIndex = -1;
    std::atomic<bool> scanPaused{false};     // access-point list frozen
    std::atomic<bool> ssidAcquiring{false};  // the link waits for an access-point list
    std::atomic<bool> inBackground{false};
    std::atomic<bool> modeChangedByLink{false};
    std::atomic<bool> dataLogFailed{false};  // the link stopped the data log; the window alerts
    std::atomic<DiagnosticSink*> screenLog{nullptr};
    // The access point picked in the SSID table or on its outline; all zero: none (main thread).
    uint8_t highlightedBssid[6] = {};
};
