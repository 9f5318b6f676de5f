#include "link/MeasurementIntake.h"

#include <algorithm>

#include "link/ControllerState.h"
#include "link/SettingsSnapshot.h"
#include "model/AccessoryControl.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "protocol/ProtocolResult.h"

namespace {

constexpr size_t kAccessPointsPerFullList = 20;

using Phase = ControllerState::Phase;

bool measuring(int runState) {
    return runState == SpectrumSettings::kRunning || runState == SpectrumSettings::kSingleShotArmed;
}

}  // namespace

MeasurementIntake::MeasurementIntake(SpectrumSettings& model, ControllerState& state,
                                     AccessoryControl& control, DataLogFile& logFile,
                                     ProtocolEnvironment environment)
    : model_(model),
      state_(state),
      control_(control),
      logger_(logFile),
      power_(model, state, logger_) {
    framer_.setProtocolEnvironment(std::move(environment));
}

void MeasurementIntake::deliver(const uint8_t* bytes, size_t length, uint64_t now, Source source) {
    std::lock_guard<std::mutex> guard(lock_);
    logger_.setDemonstration(source == kDemonstration);
    if (state_.discardFirstRead.exchange(false)) {
        framer_.discard();
    }
    framer_.setIdentified(state_.identified);
    framer_.deliver(bytes, length, [this, now](const uint8_t* p, size_t n, int type) {
        handlePacket(p, n, type, now);
    });
}

int MeasurementIntake::packetLength(const uint8_t* bytes, size_t available) {
    std::lock_guard<std::mutex> guard(lock_);
    AccessoryProtocol* protocol = framer_.protocol();
    return protocol ? protocol->packetLength(bytes, available) : protocol_result::kNeedMore;
}

void MeasurementIntake::clearSegments() {
    std::lock_guard<std::mutex> guard(lock_);
    clearSegmentsLocked();
}

void MeasurementIntake::clearSegmentsLocked() {
    power_.clear();
    sweepSegments24_.clear();
    sweepSegments5_.clear();
}

void MeasurementIntake::closeLog() {
    std::lock_guard<std::mutex> guard(lock_);
    logger_.closeOnDisconnect(model_);
}

void MeasurementIntake::settingsAcknowledged() {
    std::lock_guard<std::mutex> guard(lock_);
    logger_.setScaleChanged();
}

size_t MeasurementIntake::bufferedBytes() {
    std::lock_guard<std::mutex> guard(lock_);
    return framer_.buffered();
}

size_t MeasurementIntake::droppedBytes() {
    std::lock_guard<std::mutex> guard(lock_);
    return framer_.droppedBytes();
}

void MeasurementIntake::handlePacket(const uint8_t* bytes, size_t length, int type, uint64_t now) {
    AccessoryProtocol* protocol = framer_.protocol();
    if (protocol == nullptr) {
        return;
    }
    switch (type) {
        case packet_type::kDiscovery:
            if (state_.phase == Phase::kAwaitDiscovery) {
                handleDiscovery(bytes, length);
            }
            break;
        case packet_type::kSettingsAck:
            if (protocol->parseSettingsAck(bytes, length) == 0) {
                clearSegmentsLocked();
                state_.phase = Phase::kSettingsAcked;
            }
            break;
        case packet_type::kHaltAck:
            if (protocol->parseHaltAck(bytes, length) == 0 &&
                (state_.phase == Phase::kHalt || state_.phase == Phase::kAwaitHaltAck)) {
                state_.phase = Phase::kHalted;
            }
            break;
        case packet_type::kPower:
            handlePower(bytes, length, now);
            break;
        case packet_type::kSpectrum:
            handleSpectrum(bytes, length);
            break;
        case packet_type::kAccessPoints:
            handleAccessPoints(bytes, length, now);
            break;
        default:
            break;
    }
}

void MeasurementIntake::handleDiscovery(const uint8_t* bytes, size_t length) {
    AccessoryDescription description;
    if (framer_.protocol()->parseDescription(bytes, length, &description) != 0) {
        return;
    }
    {
        ScopedModelLocks locks(model_, ScopedModelLocks::kAll);
        model_.applyDescription(description);
    }
    state_.identified = true;
    framer_.setIdentified(true);
    state_.phase = Phase::kIdentified;
}

void MeasurementIntake::takeSingleShot() {
    if (model_.runtime.runState == SpectrumSettings::kSingleShotArmed) {
        model_.runtime.runState = SpectrumSettings::kSingleShotTaken;
        control_.requestHalt();
    }
}

void MeasurementIntake::handlePower(const uint8_t* bytes, size_t length, uint64_t now) {
    if (measuring(model_.runtime.runState) &&
        power_.handle(*framer_.protocol(), bytes, length, now)) {
        takeSingleShot();
    }
}

void MeasurementIntake::handleSpectrum(const uint8_t* bytes, size_t length) {
    if (!measuring(model_.runtime.runState)) {
        return;
    }
    AccessoryProtocol& protocol = *framer_.protocol();
    int count = 0;
    int band = 0;
    int segment = 255;
    if (protocol.parseSpectrum(bytes, length, spectrumScratch_.data(), spectrumScratch_.size(),
                               &count, &band, &segment) != 0 ||
        count <= 0 || segment == 255 || (band != 1 && band != 2)) {
        return;
    }
    const size_t decoded = std::min(static_cast<size_t>(count), spectrumScratch_.size());
    bool completed = false;
    {
        // A clear on acknowledgement discards the queue under every model lock: a sweep is
        // queued either before it, and goes with the old data, or after it.
        std::lock_guard<ModelLock> trace(model_.traceLock);
        const float* sweep = nullptr;
        size_t points = 0;
        const int segments = protocol.spectrumSegmentCount(band);
        SegmentAssembler& assembler = band == 1 ? sweepSegments24_ : sweepSegments5_;
        if (segments >= 2) {
            if (assembler.add(protocol, spectrumScratch_.data(), decoded, segment, segments) ==
                SegmentAssembler::Result::kComplete) {
                sweep = assembler.values().data();
                points = assembler.values().size();
            }
        } else {
            sweep = spectrumScratch_.data();
            points = decoded;
        }
        if (sweep == nullptr) {
            return;
        }
        const BandSweepBuffers& buffers = band == 1 ? model_.band24 : model_.band5;
        const size_t n = std::min(points, static_cast<size_t>(buffers.pointsPerSweep()));
        frames_.push(SweepFrame{band, std::vector<float>(sweep, sweep + n)});
        logger_.logSweep(model_, band == 1 ? LogMeasurement::kSweep24 : LogMeasurement::kSweep5,
                         sweep, n);
        std::lock_guard<ModelLock> settings(model_.settingsLock);
        // The first generation's power mode starts with one sweep; it must not take the shot.
        completed = model_.common_settings.spectrumMode != CommonSettings::kPowerMode;
    }
    if (completed) {
        takeSingleShot();
    }
}

void MeasurementIntake::handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now) {
    std::unique_ptr<AccessPointList> list;
    if (framer_.protocol()->parseSsidList(bytes, length, &list) != 0) {
        return;
    }
    endScanAfterList(list.get(), now);
    if (list && !model_.runtime.scanPaused) {
        accessPoints_.addScan(model_, *list, now);
    }
}

void MeasurementIntake::endScanAfterList(const AccessPointList* list, uint64_t now) {
    const bool hasEntries = list && !list->empty();
    if (!hasEntries && state_.phase == Phase::kStreaming) {
        state_.phase = Phase::kScanStarted;
        state_.scanListCount = 0;
        return;
    }
    const int lists = ++state_.scanListCount;
    if (lists == 1) {
        state_.scanStart = now;
    }
    // A full list that is the first of its scan leaves the scan running for the next one.
    if (!list || list->size() < kAccessPointsPerFullList || lists > 1) {
        state_.scanListCount = 0;
        SettingsSnapshot s = SettingsSnapshot::of(model_);
        if (s.spectrumMode && !s.scanKeepsRefresh &&
            (s.waterfall || (s.ssidScanOn && s.refreshInterval > 0.0f))) {
            state_.scanPhase = false;
            state_.haltRequested = true;
            state_.phase = Phase::kHalt;
        }
    }
}
