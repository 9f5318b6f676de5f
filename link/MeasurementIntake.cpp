#include "link/MeasurementIntake.h"

#include <algorithm>
#include <memory>

#include "link/ControllerState.h"
#include "link/SettingsPublication.h"
#include "protocol/ProtocolResult.h"

using Phase = ControllerState::Phase;
using Reply = ReplyMailbox::Reply;

MeasurementIntake::MeasurementIntake(SettingsPublication& settings, ControllerState& state,
                                     FrameQueue& frames, ReplyMailbox& replies,
                                     ProtocolEnvironment environment)
    : settings_(settings),
      state_(state),
      frames_(frames),
      replies_(replies),
      power_(settings, state, frames) {
    framer_.setProtocolEnvironment(std::move(environment));
}

void MeasurementIntake::deliver(const uint8_t* bytes, size_t length, uint64_t now, Source source) {
    std::lock_guard<std::mutex> guard(lock_);
    demonstration_ = source == kDemonstration;
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
            // One description per discovery request: a repeated reply changes nothing.
            if (state_.phase == Phase::kAwaitDiscovery && !state_.identified) {
                handleDiscovery(bytes, length);
            }
            break;
        case packet_type::kSettingsAck:
            handleSettingsAck(bytes, length);
            break;
        case packet_type::kHaltAck:
            if (protocol->parseHaltAck(bytes, length) == 0) {
                replies_.post(Reply::make(Reply::kHaltAcked, now));
            }
            break;
        case packet_type::kPower:
            if (settings_.measuring()) {
                power_.handle(*protocol, bytes, length, now, demonstration_);
            }
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
    auto description = std::make_shared<AccessoryDescription>();
    if (framer_.protocol()->parseDescription(bytes, length, description.get()) != 0) {
        return;
    }
    settings_.setDescription(*description);
    frames_.push(LinkEvent::make(LinkEvent::kIdentified, false, 0, description));
    state_.identified = true;
    framer_.setIdentified(true);
    replies_.post(Reply::make(Reply::kDiscoveryAccepted));
}

void MeasurementIntake::handleSettingsAck(const uint8_t* bytes, size_t length) {
    if (framer_.protocol()->parseSettingsAck(bytes, length) != 0) {
        return;
    }
    clearSegmentsLocked();
    power_.settingsAcknowledged();
    // In the queue, so that what was decoded before the acknowledgement is cleared with the old
    // data and nothing decoded after it is.
    frames_.push(LinkEvent::make(LinkEvent::kSettingsAcknowledged, state_.clearDataOnAck));
    replies_.post(Reply::make(Reply::kSettingsAcked));
}

void MeasurementIntake::handleSpectrum(const uint8_t* bytes, size_t length) {
    if (!settings_.measuring()) {
        return;
    }
    const AccessoryProtocol& protocol = *framer_.protocol();
    int count = 0;
    int band = 0;
    int segment = 255;
    if (protocol.parseSpectrumHeader(bytes, length, &count, &band, &segment) != 0 || count <= 0 ||
        static_cast<size_t>(count) > kMaxSpectrumValues || segment == 255 ||
        (band != 1 && band != 2)) {
        return;
    }
    const size_t points = static_cast<size_t>(count);
    const int segments = protocol.spectrumSegmentCount(band);
    // The levels are decoded straight into a buffer the owner gave back: no allocation and no
    // copy per sweep.
    if (segments < 2) {
        nextLevels_.resize(points);
        protocol.decodeSpectrum(bytes, band, nextLevels_.data(), 1);
        nextLevels_ = frames_.pushSweep(SweepFrame{band, std::move(nextLevels_), demonstration_});
        return;
    }
    SegmentAssembler& assembler = band == 1 ? sweepSegments24_ : sweepSegments5_;
    const auto decode = [&protocol, bytes, band](float* out, size_t stride) {
        protocol.decodeSpectrum(bytes, band, out, stride);
    };
    if (assembler.addDecoded(protocol, points, segment, segments, decode) ==
        SegmentAssembler::Result::kComplete) {
        assembler.swapValues(nextLevels_);
        nextLevels_ = frames_.pushSweep(SweepFrame{band, std::move(nextLevels_), demonstration_});
    }
}

void MeasurementIntake::handleAccessPoints(const uint8_t* bytes, size_t length, uint64_t now) {
    std::unique_ptr<AccessPointList> list;
    if (framer_.protocol()->parseSsidList(bytes, length, &list) != 0) {
        return;
    }
    replies_.post(
        Reply::make(Reply::kAccessPointList, now, list != nullptr, list ? list->size() : 0));
    if (list) {
        frames_.push(AccessPointFrame{std::shared_ptr<AccessPointList>(std::move(list)), now});
    }
}
