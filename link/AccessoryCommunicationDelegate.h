#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "link/DemoPlayback.h"
#include "link/HeatMapBuilder.h"
#include "link/SegmentAssembler.h"
#include "model/DataLogFile.h"
#include "model/DataLogger.h"
#include "protocol/AccessPointMerger.h"
#include "protocol/PacketFramer.h"

class AccessoryCommunication;
class BramelAccessoryDevice;
class MillisecondClock;
class ResourceReader;
class SpectrumSettings;

// The controller between the USB link and the settings model. Its worker thread drives the
// accessory through discovery, configuration, streaming and halts in 100 ms passes (or plays the
// recorded demonstration while nothing is connected); its packet path, run on the link's I/O
// thread, frames the incoming bytes, identifies the generation and writes every decoded
// measurement into the model under the model's locks.
//
// Time comes from an injectable clock and a pass is an ordinary call (runPass()), so a test can
// run minutes of accessory time without a thread or a sleep.
class AccessoryCommunicationDelegate {
  public:
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

    // Kinds handed to the link with each outgoing packet.
    enum SendKind : int { kDiscoveryKind = 1, kSettingsKind = 2, kRequestKind = 3 };

    static constexpr uint64_t kPassMs = 100;
    static constexpr int kRetryPasses = 50;  // 5 s before a command is repeated
    static constexpr size_t kMaxPowerValues = 1000;
    static constexpr size_t kMaxSpectrumValues = 512;
    // Captures waiting for the power view. The view turns them into vertices every frame; without
    // a view (headless logging) they would pile up forever.
    static constexpr size_t kMaxPendingCaptures = 64;
    // Access points kept; the least recently seen beyond this go. Ageing only happens while a
    // table is shown, so a stream of ever-new addresses would otherwise grow the list forever.
    static constexpr size_t kMaxAccessPoints = 512;

    // Later parts measure pulses and grade channels; until they plug in, nothing happens.
    using PulseMeasurement = std::function<void(SpectrumSettings& model, const float* values,
                                                size_t count, float sampleInterval)>;
    using UtilizationGrading = std::function<void(SpectrumSettings& model)>;
    // How the worker waits for the end of a pass; the default sleeps on the steady clock. Tests
    // give one that steps a manual clock instead.
    using WaitUntil = std::function<void(uint64_t untilMs)>;

    struct Options {
        // Recorded demonstration packets; null plays nothing while no accessory is connected.
        const ResourceReader* resources = nullptr;
        // Null reads the process clock (nowMilliseconds()).
        const MillisecondClock* clock = nullptr;
        // Where the data log goes; null logs into the working directory.
        DataLogFile* dataLog = nullptr;
        // Where protocols print failed access-point checksums.
        std::FILE* console = stdout;
        // The application starts the worker with the controller; tests step runPass() instead.
        bool startWorker = true;
        WaitUntil waitUntil;
    };

    AccessoryCommunicationDelegate(SpectrumSettings& model, Options options);
    // Stops the worker thread. Stop the link (or unbind it) first: its handlers point here.
    ~AccessoryCommunicationDelegate();

    AccessoryCommunicationDelegate(const AccessoryCommunicationDelegate&) = delete;
    AccessoryCommunicationDelegate& operator=(const AccessoryCommunicationDelegate&) = delete;

    // Binds the link's handlers to this controller (call before the link starts).
    void bind(AccessoryCommunication& link);

    // Link handlers, all on the link's I/O thread.
    bool shouldConnect(AccessoryCommunication* link, BramelAccessoryDevice* device);
    void didConnect(AccessoryCommunication* link, BramelAccessoryDevice* device);
    // Bound to both didFailToConnect and didDisconnect.
    void didDisconnect(AccessoryCommunication* link, BramelAccessoryDevice* device, int code);
    // The packet path. Also fed by the playback with null link and device.
    void didReceiveData(AccessoryCommunication* link, BramelAccessoryDevice* device,
                        const uint8_t* bytes, int length);

    // Main thread: pause after the next halt, or halt, re-send the settings and resume.
    void requestHalt();
    void requestReconfigure(bool clearData);

    // One pass of the worker: the phase step with an accessory, else one step of playback.
    void runPass();
    void startWorker();
    void stopWorker();
    bool workerRunning() const { return running_; }

    int phase() const { return phase_; }
    bool identified() const { return identified_; }
    bool connected() const { return link_ != nullptr && device_ != nullptr; }
    int ackCount() const { return ackCount_; }
    uint64_t rowsLogged() const { return logger_.rowsWritten(); }
    // Stops the data log after this many rows (0: no limit); set before data flows.
    void setLogRowLimit(uint64_t rows) { logger_.setRowLimit(rows); }
    // Bytes the framer has buffered and thrown away; for tests of hostile streams.
    size_t bufferedBytes();
    size_t droppedBytes();

    void setPulseMeasurement(PulseMeasurement measure) { pulseMeasurement_ = std::move(measure); }
    void setUtilizationGrading(UtilizationGrading grade) { utilizationGrading_ = std::move(grade); }

  private:
    // The settings a pass or a packet decision reads, copied under settingsLock.
    struct SettingsSnapshot {
        bool spectrumMode = true;
        bool ssidScanOn = false;
        bool waterfall = false;
        bool ssidReserved = false;
        bool scanKeepsRefresh = false;
        float refreshInterval = 0.0f;
        int band = 0;
        DemoSelection demo;
        float powerInterval = 0.0f;
        float spectrumInterval24 = 0.0f;
        float spectrumInterval5 = 0.0f;
        float scanFirstDelay = 0.0f;
        float scanRepeatInterval = 0.0f;
    };

    SettingsSnapshot snapshot();
    uint64_t now() const;
    void threadMain();

    // Worker, with an accessory.
    void connectedPass(uint64_t now);
    void scheduleScan(uint64_t now, const SettingsSnapshot& s, bool connected);
    void phaseStep(uint64_t now, const SettingsSnapshot& s);
    void sendSettings();
    void sendStreamRequests(uint64_t now, const SettingsSnapshot& s);
    void acknowledged(uint64_t now, bool fromPlayback);
    bool sendBuilt(int length, int kind, const std::function<int(uint8_t*, size_t)>& build);

    // Worker, without one.
    void playbackPass(uint64_t now);
    void playbackPresets(int hardware);
    void playRecordings(uint64_t now, const SettingsSnapshot& s);
    void deliverRecorded(const uint8_t* bytes, size_t length);

    // Packet path, under packetLock_.
    void handlePacket(const uint8_t* bytes, size_t length, int type, uint64_t now);
    void handleDiscovery(const uint8_t* bytes, size_t length);
    void handlePower(const uint8_t* bytes, size_t length, uint64_t now);
    void handleSpectrum(const uint8_t* bytes, size_t length);
    void handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now);
    void storeRollingValues(const float* values, size_t count);
    void storeCapture(const float* values, size_t count);
    void clearSegments();
    void trimAccessPoints();

    // Hooks for later parts.
    void runPulseMeasurements(const float* values, size_t count, float sampleInterval);
    void recomputeUtilization();

    bool scanEligible() const;

    SpectrumSettings& model_;
    Options options_;
    std::unique_ptr<DataLogFile> ownLog_;
    DataLogFile& logFile_;

    // Shared by the worker and I/O threads without a lock: every field is atomic.
    std::atomic<AccessoryCommunication*> link_{nullptr};
    std::atomic<BramelAccessoryDevice*> device_{nullptr};
    std::atomic<int> phase_{kAwaitDiscovery};
    std::atomic<bool> identified_{false};
    std::atomic<bool> primePowerRequest_{false};
    std::atomic<int> retryCountdown_{0};
    std::atomic<bool> haltRequested_{false};
    std::atomic<bool> resendSettings_{false};
    std::atomic<bool> scanPhase_{false};
    std::atomic<bool> clearDataOnAck_{false};
    std::atomic<uint64_t> scanPhaseStart_{0};
    std::atomic<uint64_t> lastTriggerTime_{0};
    std::atomic<uint64_t> scanStart_{0};
    std::atomic<int> ackCount_{0};
    std::atomic<bool> discardFirstRead_{false};
    std::atomic<int> scanListCount_{0};

    // Held for a whole worker pass and while a connection comes or goes, so a pass never mixes
    // playback and accessory state. Taken before packetLock_.
    std::mutex passLock_;

    // The packet path's own state, and the protocol the worker also uses: held by whoever runs
    // the packet path (the I/O thread, or the worker while it plays back) and by the worker while
    // it builds a command. Always taken before any model lock.
    std::mutex packetLock_;
    PacketFramer framer_;
    SegmentAssembler powerSegments_;
    SegmentAssembler sweepSegments24_;
    SegmentAssembler sweepSegments5_;
    HeatMapBuilder heatMap24_;
    HeatMapBuilder heatMap5_;
    int rollCountdown_ = 0;
    DataLogger logger_;
    AccessPointMerger merger_;
    std::array<float, kMaxPowerValues> powerScratch_{};
    std::array<float, kMaxSpectrumValues> spectrumScratch_{};
    std::vector<float> keptScratch_;

    DemoPlayback playback_;  // worker thread only

    PulseMeasurement pulseMeasurement_;
    UtilizationGrading utilizationGrading_;

    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::mutex wakeLock_;
    std::condition_variable wake_;
};
