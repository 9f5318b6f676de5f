#include "protocol/AccessoryProtocol.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "protocol/AccessPointRecordDecoder.h"
#include "protocol/ProtocolResult.h"

namespace pr = protocol_result;

namespace {

int packetType(const uint8_t* bytes) {
    return bytes[1] >> 5;
}

// Points of a reordered sweep that are sorted on the stack.
constexpr size_t kStackPoints = 1024;

// out[k × stride] = levels[raw[k]], four points a step: on the receive path for every packet.
// A `kStride` other than 0 is the stride as a constant.
template <size_t kStride>
void lookUpLevels(const uint8_t* __restrict raw, size_t count, const float* __restrict levels,
                  float* __restrict out, size_t stride) {
    const size_t step = kStride != 0 ? kStride : stride;
    size_t i = 0;
    for (; i + 4 <= count; i += 4, out += 4 * step) {
        out[0] = levels[raw[i]];
        out[step] = levels[raw[i + 1]];
        out[2 * step] = levels[raw[i + 2]];
        out[3 * step] = levels[raw[i + 3]];
    }
    for (; i < count; ++i, out += step)
        *out = levels[raw[i]];
}

void convertPower(const uint8_t* raw, size_t count, float scale, float offset, float* out) {
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<float>(raw[i]) * scale + offset;
    }
}

}  // namespace

AccessoryProtocol::AccessoryProtocol(const AccessoryGeneration& generation,
                                     std::unique_ptr<CalibrationRecord> calibration)
    : generation_(generation), layout_(generation.layout), calibration_(std::move(calibration)) {}

AccessoryProtocol::~AccessoryProtocol() = default;

void AccessoryProtocol::prepare() {}

int AccessoryProtocol::packetLength(const uint8_t* bytes, size_t available) const {
    if (bytes == nullptr || available < 2)
        return pr::kNeedMore;
    if (bytes[0] != kSyncByte)
        return pr::kNoSync;
    const FrameRule& rule = layout_.frames[packetType(bytes)];
    const size_t length = rule.length;
    switch (rule.kind) {
        case FrameKind::NotPacket:
            return pr::kNotAPacket;
        case FrameKind::Fixed:
            return available >= length ? static_cast<int>(length) : pr::kNeedMore;
        case FrameKind::Discovery:
            // A reply cut short still frames as its 3-byte header, which the decoder rejects.
            if (available >= length)
                return static_cast<int>(length);
            return available >= 3 ? 3 : pr::kNeedMore;
        case FrameKind::ShortAck:
            return available >= length ? static_cast<int>(length) : pr::kNotAPacket;
        case FrameKind::NeverComplete:
            return pr::kNeedMore;
        case FrameKind::RecordList: {
            if (available < 3)
                return pr::kNeedMore;
            if (available >= 4 && bytes[2] > rule.length)
                return pr::kRejectBuffer;
            size_t n = static_cast<size_t>(bytes[2]) * kRecordBytes + kRecordListHeader;
            return available >= n ? static_cast<int>(n) : pr::kNeedMore;
        }
        case FrameKind::BandSweep: {
            // The accessory sends an empty sweep as a lone 4-byte transfer.
            if ((bytes[1] & 0x07) != 0 && available == 4)
                return 4;
            if (available < 3)
                return pr::kNeedMore;
            if (bytes[2] > 1)
                return pr::kRejectBuffer;
            size_t n = layout_.spectrum[bytes[2]].packetBytes;
            return available >= n ? static_cast<int>(n) : pr::kNeedMore;
        }
    }
    return pr::kNotAPacket;
}

bool AccessoryProtocol::isStreaming() const {
    return layout_.streaming;
}

bool AccessoryProtocol::hasSsidScan() const {
    return calibration_->ssidFlag != 0;
}

bool AccessoryProtocol::hasSpectrum() const {
    return calibration_->spectrumFlag != 0;
}

bool AccessoryProtocol::hasPowerMeter() const {
    return calibration_->powerFlag != 0;
}

int AccessoryProtocol::spectrumSegmentCount(int) const {
    return layout_.spectrumSegments;
}

int AccessoryProtocol::powerSegmentCount() const {
    return layout_.powerSegments;
}

int AccessoryProtocol::reservedCountA() const {
    return 0;
}

int AccessoryProtocol::reservedCountB() const {
    return 0;
}

int AccessoryProtocol::parseSettingsAck(const uint8_t* bytes, size_t length) const {
    if (bytes == nullptr)
        return pr::kNullBuffer;
    if (length < 3)
        return pr::kTooShort;
    if (bytes[0] != kSyncByte)
        return pr::kWrongSync;
    if (packetType(bytes) != packet_type::kSettingsAck)
        return pr::kWrongType;
    return pr::kOk;
}

int AccessoryProtocol::settingsCommandLength() const {
    return layout_.settingsLength;
}

int AccessoryProtocol::checkMeasurement(const uint8_t* bytes, size_t length, int type) const {
    if (bytes == nullptr)
        return pr::kNullBuffer;
    if (length < 2)
        return pr::kTooShort;
    if (bytes[0] != kSyncByte)
        return pr::kWrongSync;
    if (length < 3)
        return pr::kTooShort;
    if (packetType(bytes) != type)
        return pr::kWrongType;
    return pr::kOk;
}

int AccessoryProtocol::parsePowerSamples(const uint8_t* bytes, size_t length, float* values,
                                         size_t capacity, int* count, int* segment,
                                         bool* marker) const {
    const ValueBlock& block = layout_.power;
    if (block.packetBytes == 0)
        return pr::kUnsupported;
    int check = checkMeasurement(bytes, length, packet_type::kPower);
    if (check != 0)
        return check;
    if (count)
        *count = 0;
    if (segment)
        *segment = 255;
    if (length < block.packetBytes || capacity < block.count)
        return pr::kTooShort;
    if (values == nullptr)
        return pr::kNullBuffer;
    convertPower(bytes + block.firstByte, block.count, calibration_->powerScale,
                 calibration_->powerOffset, values);
    if (count)
        *count = block.count;
    if (segment)
        *segment = bytes[1] & 0x0F;
    if (marker)
        *marker = (bytes[1] & 0x10) != 0;
    return pr::kOk;
}

int AccessoryProtocol::buildPowerRequest(uint8_t* buffer, size_t length) const {
    return buildRequest(buffer, length, layout_.powerRequest);
}

int AccessoryProtocol::powerRequestLength() const {
    return layout_.powerRequest ? 3 : 0;
}

int AccessoryProtocol::parseSpectrumHeader(const uint8_t* bytes, size_t length, int* count,
                                           int* band, int* segment) const {
    int check = checkMeasurement(bytes, length, packet_type::kSpectrum);
    if (check != 0)
        return check;
    if (count)
        *count = 0;
    if (segment)
        *segment = 255;
    int bandIndex = 0;
    if (layout_.bandInHeader) {
        if (length == 4 && (bytes[1] & 0x07) == 0x01) {
            if (band)
                *band = 0;
            return pr::kOk;  // empty sweep
        }
        if (bytes[2] > 1)
            return pr::kUnknownBand;
        bandIndex = bytes[2];
    }
    const ValueBlock& block = layout_.spectrum[bandIndex];
    if (length < block.packetBytes)
        return pr::kTooShort;
    if (count)
        *count = block.count;
    if (band)
        *band = bandIndex + 1;
    if (segment)
        *segment = layout_.spectrumSegmentInHeader ? (bytes[1] & 0x0F) : 0;
    return pr::kOk;
}

void AccessoryProtocol::decodeSpectrum(const uint8_t* bytes, int band, float* out,
                                       size_t stride) const {
    const size_t bandIndex = band == 2 ? 1 : 0;
    const ValueBlock& block = layout_.spectrum[bandIndex];
    const float* levels = levelTables_[bandIndex].levelsFor(calibration_->bands[bandIndex]);
    const uint8_t* raw = bytes + block.firstByte;
    // The strides of whole sweeps and of the first generation's two interleaved segments as
    // constants, so that the places need no arithmetic.
    if (stride == 1)
        lookUpLevels<1>(raw, block.count, levels, out, 1);
    else if (stride == 2)
        lookUpLevels<2>(raw, block.count, levels, out, 2);
    else
        lookUpLevels<0>(raw, block.count, levels, out, stride);
}

int AccessoryProtocol::parseSpectrum(const uint8_t* bytes, size_t length, float* values,
                                     size_t capacity, int* count, int* band, int* segment) const {
    int check = checkMeasurement(bytes, length, packet_type::kSpectrum);
    if (check != 0)
        return check;
    if (count)
        *count = 0;
    if (segment)
        *segment = 255;
    // What the header gives is told only once the whole packet is taken.
    int points = 0;
    int bandNumber = 0;
    int segmentIndex = 255;
    check = parseSpectrumHeader(bytes, length, &points, &bandNumber, &segmentIndex);
    if (check != 0)
        return check;
    if (bandNumber == 0) {
        if (band)
            *band = 0;
        return pr::kOk;  // empty sweep
    }
    if (capacity < static_cast<size_t>(points))
        return pr::kTooShort;
    if (values == nullptr)
        return pr::kNullBuffer;
    decodeSpectrum(bytes, bandNumber, values, 1);
    if (count)
        *count = points;
    if (band)
        *band = bandNumber;
    if (segment)
        *segment = segmentIndex;
    return pr::kOk;
}

int AccessoryProtocol::buildSpectrumRequest(uint8_t* buffer, size_t length) const {
    return buildRequest(buffer, length, layout_.spectrumRequest);
}

int AccessoryProtocol::spectrumRequestLength() const {
    return layout_.spectrumRequest ? 3 : 0;
}

int AccessoryProtocol::parseSsidList(const uint8_t* bytes, size_t length,
                                     std::unique_ptr<AccessPointList>* list) const {
    if (layout_.records == RecordFormat::None)
        return pr::kUnsupported;
    AccessPointRecordDecoder decoder(layout_.records, environment_);
    return decoder.decode(bytes, length, list);
}

int AccessoryProtocol::buildSsidRequest(uint8_t* buffer, size_t length) const {
    return buildRequest(buffer, length, layout_.ssidRequest);
}

int AccessoryProtocol::ssidRequestLength() const {
    return layout_.ssidRequest ? 3 : 0;
}

int AccessoryProtocol::parseHaltAck(const uint8_t* bytes, size_t length) const {
    if (layout_.haltRequest == 0)
        return pr::kUnsupported;
    if (bytes == nullptr)
        return pr::kNullBuffer;
    if (length < 4)
        return pr::kTooShort;
    if (bytes[0] != kSyncByte)
        return pr::kWrongSync;
    if (packetType(bytes) != packet_type::kHaltAck)
        return pr::kWrongType;
    return pr::kOk;
}

int AccessoryProtocol::buildHaltCommand(uint8_t* buffer, size_t length) const {
    return buildRequest(buffer, length, layout_.haltRequest);
}

int AccessoryProtocol::haltCommandLength() const {
    return layout_.haltRequest ? 3 : 0;
}

bool AccessoryProtocol::reorderSegments(float* values, size_t count, const int* order,
                                        size_t segmentCount) const {
    if (values == nullptr || count == 0 || order == nullptr || segmentCount == 0)
        return false;
    if (segmentCount == 1)
        return true;
    bool inOrder = true;
    for (size_t j = 0; j < segmentCount; ++j) {
        // Indices come from packet headers: a negative one would address before the buffer.
        if (order[j] < 0 || static_cast<size_t>(order[j]) >= segmentCount)
            return false;
        inOrder = inOrder && static_cast<size_t>(order[j]) == j;
    }
    const size_t n = segmentCount;
    const size_t m = count / n;
    if (!layout_.interleavedSegments && inOrder)
        return true;
    // A sweep of a real accessory fits the stack: no allocation per sweep.
    std::array<float, kStackPoints> stack;
    std::vector<float> heap;
    float* result = stack.data();
    if (count > stack.size()) {
        heap.resize(count);
        result = heap.data();
    }
    std::copy(values, values + count, result);
    if (layout_.interleavedSegments) {
        // Segment s carries points s, s + n, s + 2n, ... of the trace.
        for (size_t j = 0; j < n; ++j) {
            float* to = result + order[j];
            const float* from = values + j * m;
            for (size_t k = 0; k < m; ++k) {
                to[n * k] = from[k];
            }
        }
    } else {
        for (size_t j = 0; j < n; ++j) {
            std::copy(values + j * m, values + (j + 1) * m, result + order[j] * m);
        }
    }
    std::copy(result, result + count, values);
    return true;
}

bool AccessoryProtocol::segmentPlace(int segment, size_t count, size_t segmentCount, size_t* first,
                                     size_t* stride) const {
    if (count == 0 || segment < 0 || static_cast<size_t>(segment) >= segmentCount)
        return false;
    const size_t s = static_cast<size_t>(segment);
    // Interleaved, segment s carries points s, s + n, s + 2n, ... of the trace.
    const bool interleaved = layout_.interleavedSegments && segmentCount > 1;
    *first = interleaved ? s : s * count;
    *stride = interleaved ? segmentCount : 1;
    return true;
}

bool AccessoryProtocol::placeSegment(const float* values, size_t count, int segment,
                                     size_t segmentCount, float* trace) const {
    size_t first = 0;
    size_t stride = 1;
    if (values == nullptr || trace == nullptr ||
        !segmentPlace(segment, count, segmentCount, &first, &stride))
        return false;
    float* to = trace + first;
    for (size_t k = 0; k < count; ++k, to += stride)
        *to = values[k];
    return true;
}

int AccessoryProtocol::checkDiscovery(const uint8_t* bytes, size_t length) const {
    if (bytes == nullptr)
        return pr::kNullBuffer;
    if (length < layout_.discoveryLength)
        return pr::kTooShort;
    if (bytes[0] != kSyncByte)
        return pr::kWrongSync;
    if (packetType(bytes) != packet_type::kDiscovery)
        return pr::kWrongType;
    if (bytes[2] != layout_.generationCode)
        return pr::kOtherGeneration;
    return pr::kOk;
}

void AccessoryProtocol::fillRanges(AccessoryDescription& description, bool band24,
                                   bool band5) const {
    const CalibrationRecord& cal = *calibration_;
    if (cal.powerFlag) {
        float a = 0.0f * cal.powerScale + cal.powerOffset;
        float b = 255.0f * cal.powerScale + cal.powerOffset;
        float lo = std::min(a, b);
        float hi = std::max(a, b);
        // A power meter never reads above 0 dBm; the conversion would only run past it.
        if (hi > 0.0f && lo < 0.0f)
            hi = 0.0f;
        description.powerAxisMin = lo;
        description.powerAxisMax = hi;
    } else {
        description.powerAxisMin = NAN;
        description.powerAxisMax = NAN;
    }
    auto range = [](const BandCalibration& band, bool present, float& lo, float& hi) {
        if (!present) {
            lo = NAN;
            hi = NAN;
            return;
        }
        float a = band.offset;
        float b = 255.0f * band.scale + band.offset;
        lo = std::max(band.floor, std::min(a, b));
        hi = std::max(a, b);
    };
    range(cal.bands[0], band24, description.levelMin24, description.levelMax24);
    range(cal.bands[1], band5, description.levelMin5, description.levelMax5);
}

int AccessoryProtocol::buildDiscoveryRequest(uint8_t* buffer, size_t length) {
    return buildRequest(buffer, length, kDiscoveryRequestCode);
}

int AccessoryProtocol::buildRequest(uint8_t* buffer, size_t length, uint8_t code) {
    if (code == 0)
        return pr::kUnsupported;
    if (buffer == nullptr)
        return pr::kNullBuffer;
    if (length < 3)
        return pr::kNoRoom;
    buffer[0] = kSyncByte;
    buffer[1] = 0x03;
    buffer[2] = code;
    return 3;
}

uint8_t AccessoryProtocol::nextSequence() {
    return ++calibration_->sequence;
}

std::string AccessoryProtocol::hexText(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}
