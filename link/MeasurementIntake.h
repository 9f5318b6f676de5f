#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "acquisition/AccessPointAcquisition.h"
#include "acquisition/FrameQueue.h"
#include "link/PowerCaptureIntake.h"
#include "link/SegmentAssembler.h"
#include "model/DataLogger.h"
#include "protocol/PacketFramer.h"

class AccessoryControl;
class SpectrumSettings;
struct ControllerState;

// The controller's packet path: frames the bytes from the link (or the demonstration), creates
// the protocol of the generation that answers discovery, and writes every decoded measurement
// into the model under the model's locks: power captures (PowerCaptureIntake), access-point lists
// (AccessPointAcquisition merges and grades them), and the data-log rows. Complete sweeps do not
// touch the model here: they go into the frame queue, which the model's owner drains into
// acquisition. Runs on whichever thread delivers (the link's I/O thread, or the worker while it
// plays the demonstration); everything here is guarded by one packet lock, always taken before
// any model lock, which in turn are taken before the frame queue's.
class MeasurementIntake {
  public:
    static constexpr size_t kMaxSpectrumValues = 512;
    static constexpr size_t kMaxAccessPoints = AccessPointAcquisition::kMaxAccessPoints;
    using UtilizationGrading = AccessPointAcquisition::UtilizationGrading;

    // `control` is asked to halt once a single shot has been taken.
    MeasurementIntake(SpectrumSettings& model, ControllerState& state, AccessoryControl& control,
                      DataLogFile& logFile, ProtocolEnvironment environment);

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
    // The accessory went away: the data log is closed.
    void closeLog();
    // New settings were acknowledged: the next logged row starts with a scale line.
    void settingsAcknowledged();

    uint64_t rowsLogged() const { return logger_.rowsWritten(); }
    void setLogRowLimit(uint64_t rows) { logger_.setRowLimit(rows); }
    size_t bufferedBytes();
    size_t droppedBytes();

    void setPulseMeasurement(PowerCaptureIntake::PulseMeasurement measure) {
        power_.setPulseMeasurement(std::move(measure));
    }
    void setUtilizationGrading(UtilizationGrading grade) {
        accessPoints_.setUtilizationGrading(std::move(grade));
    }

    // The sweeps decoded so far, for the model's owner. Its lock is the innermost: take it
    // without the packet lock, with or without model locks.
    FrameQueue& frames() { return frames_; }
    // The utilization grading after a 2.4 GHz sweep was stored; the caller may hold traceLock,
    // no other model lock.
    void sweepStored(SpectrumSettings& model) { accessPoints_.sweepArrived(model); }

  private:
    void handlePacket(const uint8_t* bytes, size_t length, int type, uint64_t now);
    void handleDiscovery(const uint8_t* bytes, size_t length);
    void handlePower(const uint8_t* bytes, size_t length, uint64_t now);
    void handleSpectrum(const uint8_t* bytes, size_t length);
    void handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now);
    void endScanAfterList(const AccessPointList* list, uint64_t now);
    void clearSegmentsLocked();
    void takeSingleShot();

    SpectrumSettings& model_;
    ControllerState& state_;
    AccessoryControl& control_;

    std::mutex lock_;
    PacketFramer framer_;
    SegmentAssembler sweepSegments24_;
    SegmentAssembler sweepSegments5_;
    FrameQueue frames_;
    DataLogger logger_;
    PowerCaptureIntake power_;
    AccessPointAcquisition accessPoints_;
    std::array<float, kMaxSpectrumValues> spectrumScratch_{};
};
