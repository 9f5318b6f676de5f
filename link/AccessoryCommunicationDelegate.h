#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/FrameDelivery.h"
#include "acquisition/FrameQueue.h"
#include "link/ControllerState.h"
#include "link/MeasurementIntake.h"
#include "link/PhaseMachine.h"
#include "link/PlaybackCommandSink.h"
#include "link/ReplyMailbox.h"
#include "link/RequestMailbox.h"
#include "link/SettingsPublication.h"
#include "link/UsbCommandSink.h"
#include "model/AccessoryControl.h"
#include "model/DataLogFile.h"
#include "model/MeasurementRecords.h"

class AccessoryCommunication;
class BramelAccessoryDevice;
class DiagnosticSink;
class MillisecondClock;
class ResourceReader;

// The controller between the USB link and the model's owner. Its worker thread drives the
// accessory through discovery, configuration, streaming and halts in 100 ms passes (PhaseMachine),
// sending to the connected accessory or, while nothing is connected, to the recorded
// demonstration (UsbCommandSink, PlaybackCommandSink); its packet path (MeasurementIntake), run on
// the link's I/O thread, frames the incoming bytes, identifies the generation and queues what it
// decodes as frames. Neither thread touches the model: they read the settings the owner publishes
// (SettingsPublication) and hand frames over (FrameQueue); the owner applies them in order
// (deliverFrames(), through FrameDelivery), where traces, heat maps, power captures, access-point
// grades and the data log are derived.
//
// Time comes from an injectable clock and a pass is an ordinary call (runPass()), so a test can
// run minutes of accessory time without a thread or a sleep.
class AccessoryCommunicationDelegate : public AccessoryControl {
  public:
    using Phase = ControllerState::Phase;

    static constexpr uint64_t kPassMs = 100;
    static constexpr int kRetryPasses = PhaseMachine::kRetryPasses;
    static constexpr size_t kMaxPowerValues = PowerCaptureIntake::kMaxPowerValues;
    static constexpr size_t kMaxSpectrumValues = MeasurementIntake::kMaxSpectrumValues;
    // Captures the live trace keeps for the power view.
    static constexpr size_t kMaxPendingCaptures = PowerTraceSet::kMaxCaptures;
    static constexpr size_t kMaxAccessPoints = AccessPointAcquisition::kMaxAccessPoints;

    using PulseMeasurement = FrameDelivery::PulseMeasurement;
    using UtilizationGrading = FrameDelivery::UtilizationGrading;
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

    // `model` is handed to the owner's side (FrameDelivery) only; the link never reads it.
    AccessoryCommunicationDelegate(SpectrumSettings& model, Options options);
    // Stops the worker thread. Stop the link (or unbind it) first: its handlers point here.
    ~AccessoryCommunicationDelegate() override;

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

    // AccessoryControl, from any thread. Each request is recorded and taken by the worker at the
    // start of its next pass (see RequestMailbox). Halt, reconfigure, resume and single sweep
    // need an identified accessory at the time of the call; restarting the playback needs no
    // accessory connected.
    void requestHalt() override;
    void requestReconfigure(bool clearData) override;
    void resumeStreaming() override;
    void requestSingleSweep() override;
    void restartPlayback() override;
    bool identified() const override { return state_.identified; }
    bool connected() const override { return state_.connected(); }
    void publishSettings(const LinkSettings& settings) override { settings_.publish(settings); }
    void runStateChanged(int32_t runState) override { settings_.setRunState(runState); }

    // The window went to the background (no accessory is taken then) or came back.
    void setInBackground(bool background) { settings_.setInBackground(background); }

    // One pass of the worker: the requests recorded since the last pass, then one phase step
    // with the accessory, or with the demonstration while none is connected. Called by the model's
    // owner instead of a worker thread (tests, simulated time), the pass starts by publishing the
    // model's settings and ends with deliverFrames(): whoever steps the passes owns the model.
    void runPass();
    // On the thread that owns the model (the window's main thread once per frame before drawing,
    // or a command's loop): every frame queued since the last call is applied, in order, and the
    // settings are published again. Returns the number of sweeps stored.
    size_t deliverFrames();
    // Publishes the model's settings and run state now, as deliverFrames() and runPass() do
    // first; for an owner that changed the model directly (not through the instrument).
    void publishModel() { delivery_.publish(); }
    void startWorker();
    void stopWorker();
    bool workerRunning() const { return running_; }

    int phase() const { return state_.phase; }
    int ackCount() const { return state_.ackCount; }
    // Requests recorded and taken by the worker so far; for tests and diagnostics.
    uint64_t requestsPosted() const { return mailbox_.posted(); }
    uint64_t requestsTaken() const { return mailbox_.taken(); }
    uint64_t rowsLogged() const { return delivery_.rowsLogged(); }
    // Stops the data log after this many rows (0: no limit); set before data flows.
    void setLogRowLimit(uint64_t rows) { delivery_.setLogRowLimit(rows); }
    // Frames the queue dropped because the owner did not take them in time.
    uint64_t framesDropped() const { return frames_.dropped(); }
    // Sweep buffers the owner gave back and the packet path has not used again yet.
    size_t spareSweepBuffers() const { return frames_.spareBuffers(); }
    // Bytes the framer has buffered and thrown away; for tests of hostile streams.
    size_t bufferedBytes() { return intake_.bufferedBytes(); }
    size_t droppedBytes() { return intake_.droppedBytes(); }

    void setPulseMeasurement(PulseMeasurement measure) {
        delivery_.setPulseMeasurement(std::move(measure));
    }
    void setUtilizationGrading(UtilizationGrading grade) {
        delivery_.setUtilizationGrading(std::move(grade));
    }

  private:
    uint64_t now() const;
    void threadMain();
    void pass();
    ProtocolEnvironment protocolEnvironment(DiagnosticSink* log);
    // Requests that need an identified accessory; dropped without one.
    void postWhenIdentified(const RequestMailbox::Request& request);

    Options options_;
    std::unique_ptr<DataLogFile> ownLog_;
    DataLogFile& logFile_;

    ControllerState state_;
    RequestMailbox mailbox_;
    ReplyMailbox replies_;
    SettingsPublication settings_;
    FrameQueue frames_;
    FrameDelivery delivery_;             // the model owner's, never the link's
    std::vector<LinkFrame> delivering_;  // the owner's: frames being applied, storage kept
    MeasurementIntake intake_;
    PhaseMachine machine_;
    UsbCommandSink usb_;
    PlaybackCommandSink playback_;  // worker thread only

    // Held for a whole worker pass and while a connection comes or goes, so a pass never mixes
    // playback and accessory state. Taken before the packet path's lock.
    std::mutex passLock_;

    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::mutex wakeLock_;
    std::condition_variable wake_;
};
