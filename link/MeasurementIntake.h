#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "link/HeatMapBuilder.h"
#include "link/SegmentAssembler.h"
#include "model/DataLogger.h"
#include "protocol/AccessPointMerger.h"
#include "protocol/PacketFramer.h"

class AccessoryControl;
class SpectrumSettings;
struct ControllerState;

// The controller's packet path: frames the bytes from the link (or the demonstration), creates
// the protocol of the generation that answers discovery, and writes every decoded measurement
// into the model under the model's locks: sweeps and heat maps, power captures, access-point
// lists, and the data-log rows for them. Runs on whichever thread delivers (the link's I/O
// thread, or the worker while it plays the demonstration); everything here is guarded by one
// packet lock, always taken before any model lock.
class MeasurementIntake {
  public:
    static constexpr size_t kMaxPowerValues = 1000;
    static constexpr size_t kMaxSpectrumValues = 512;
    // Captures waiting for the power view. The view turns them into vertices every frame; without
    // a view (headless logging) they would pile up forever.
    static constexpr size_t kMaxPendingCaptures = 64;
    // Access points kept; the least recently seen beyond this go. Ageing only happens while a
    // table is shown, so a stream of ever-new addresses would otherwise grow the list forever.
    static constexpr size_t kMaxAccessPoints = 512;

    // Installed by the application when it wires the power view's pulse measurements and the
    // access-point views' utilization grading (setPulseMeasurement, setUtilizationGrading). While
    // none is installed the measurements are stored all the same; nothing is measured or graded.
    using PulseMeasurement = std::function<void(SpectrumSettings& model, const float* values,
                                                size_t count, float sampleInterval)>;
    using UtilizationGrading = std::function<void(SpectrumSettings& model)>;

    // `control` is asked to halt once a single shot has been taken.
    MeasurementIntake(SpectrumSettings& model, ControllerState& state, AccessoryControl& control,
                      DataLogFile& logFile, ProtocolEnvironment environment);

    // The packet path: appends `length` bytes and handles every complete packet. `now` is the
    // controller's clock.
    void deliver(const uint8_t* bytes, size_t length, uint64_t now);

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
    // The accessory went away: the data log is closed.
    void closeLog();
    // New settings were acknowledged: the next logged row starts with a scale line.
    void settingsAcknowledged();

    uint64_t rowsLogged() const { return logger_.rowsWritten(); }
    void setLogRowLimit(uint64_t rows) { logger_.setRowLimit(rows); }
    size_t bufferedBytes();
    size_t droppedBytes();

    void setPulseMeasurement(PulseMeasurement measure) { pulseMeasurement_ = std::move(measure); }
    void setUtilizationGrading(UtilizationGrading grade) { utilizationGrading_ = std::move(grade); }

  private:
    void handlePacket(const uint8_t* bytes, size_t length, int type, uint64_t now);
    void handleDiscovery(const uint8_t* bytes, size_t length);
    void handlePower(const uint8_t* bytes, size_t length, uint64_t now);
    void updateTriggerStatus(bool marker, uint64_t now);
    void storeRollingValues(const float* values, size_t count);
    void storeCapture(const float* values, size_t count);
    void handleSpectrum(const uint8_t* bytes, size_t length);
    void handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now);
    void endScanAfterList(const AccessPointList* list, uint64_t now);
    void clearSegmentsLocked();
    void trimAccessPoints();
    void takeSingleShot();
    void runPulseMeasurements(const float* values, size_t count, float sampleInterval);
    void recomputeUtilization();

    SpectrumSettings& model_;
    ControllerState& state_;
    AccessoryControl& control_;

    std::mutex lock_;
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

    PulseMeasurement pulseMeasurement_;
    UtilizationGrading utilizationGrading_;
};
