#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/AccessPoint.h"
#include "model/AccessoryDescription.h"
#include "protocol/AccessoryGeneration.h"
#include "protocol/CalibrationRecord.h"
#include "protocol/LevelTable.h"

class DiagnosticSink;
struct LinkSettings;

// A decoded access-point list; records are owned until merged into the model.
using AccessPointList = std::vector<std::unique_ptr<AccessPoint>>;

// Where decoders send what they have to say, and the one piece of link state they need.
struct ProtocolEnvironment {
    DiagnosticSink* log = nullptr;  // on-screen log; null drops the lines
    std::FILE* console = stdout;    // checksum failures of access-point records
    // Whether a real accessory is attached (false while recordings play back). Unset: attached.
    std::function<bool()> deviceConnected;
};

// Translates one accessory generation's packets: frames incoming bytes, decodes measurements and
// the discovery reply, and encodes commands into caller-supplied buffers. Owns no I/O and no
// threads. Everything handed to a parse operation is untrusted: no operation reads or writes
// outside the buffers it is given, whatever lengths the bytes announce.
//
// Parse operations return kOk (0) on success, builders the number of bytes written; each failure
// is its own negative code of protocol/ProtocolResult.h (resultName() names it). Generations share
// the framing, conversion and record decoding below; their differences live in a GenerationLayout
// and the calibration record.
class AccessoryProtocol {
  public:
    virtual ~AccessoryProtocol();

    virtual void prepare();
    virtual int packetLength(const uint8_t* bytes, size_t available) const;
    virtual bool isStreaming() const;
    virtual bool hasSsidScan() const;
    virtual bool hasSpectrum() const;
    virtual bool hasPowerMeter() const;
    virtual int spectrumSegmentCount(int band) const;
    virtual int powerSegmentCount() const;
    virtual int reservedCountA() const;
    virtual int reservedCountB() const;
    // `description` may be null: then only the calibration record is updated.
    virtual int parseDescription(const uint8_t* bytes, size_t length,
                                 AccessoryDescription* description) = 0;
    virtual int parseSettingsAck(const uint8_t* bytes, size_t length) const;
    virtual int buildSettingsCommand(uint8_t* buffer, size_t length,
                                     const LinkSettings* settings) = 0;
    virtual int settingsCommandLength() const;
    virtual int parsePowerSamples(const uint8_t* bytes, size_t length, float* values,
                                  size_t capacity, int* count, int* segment, bool* marker) const;
    virtual int buildPowerRequest(uint8_t* buffer, size_t length) const;
    virtual int powerRequestLength() const;
    // `band` out: 1 for 2.4 GHz, 2 for 5 GHz.
    virtual int parseSpectrum(const uint8_t* bytes, size_t length, float* values, size_t capacity,
                              int* count, int* band, int* segment) const;
    // parseSpectrum in two steps, for a caller that puts the levels in place itself: the header
    // (point count, band, segment) with every check of the packet parseSpectrum makes, then the
    // levels of a packet whose header passed, point k to out[k × stride].
    int parseSpectrumHeader(const uint8_t* bytes, size_t length, int* count, int* band,
                            int* segment) const;
    void decodeSpectrum(const uint8_t* bytes, int band, float* out, size_t stride) const;
    virtual int buildSpectrumRequest(uint8_t* buffer, size_t length) const;
    virtual int spectrumRequestLength() const;
    // `list` receives the decoded records, or null when none passed; a null `list` only logs.
    virtual int parseSsidList(const uint8_t* bytes, size_t length,
                              std::unique_ptr<AccessPointList>* list) const;
    virtual int buildSsidRequest(uint8_t* buffer, size_t length) const;
    virtual int ssidRequestLength() const;
    virtual int parseHaltAck(const uint8_t* bytes, size_t length) const;
    virtual int buildHaltCommand(uint8_t* buffer, size_t length) const;
    virtual int haltCommandLength() const;
    // Puts the segments of one trace, appended in arrival order with their indices in `order`,
    // into their places. False (values untouched) when an index is out of range.
    virtual bool reorderSegments(float* values, size_t count, const int* order,
                                 size_t segmentCount) const;
    // Puts one segment of a trace of `segmentCount` segments, `count` points each, into its
    // places in `trace` (count × segmentCount values), as reorderSegments would. False (trace
    // untouched) for an index out of range or a null buffer.
    bool placeSegment(const float* values, size_t count, int segment, size_t segmentCount,
                      float* trace) const;
    // Where placeSegment puts segment `segment`: its first point at trace[*first], the next ones
    // `*stride` apart. False for an index out of range or an empty segment.
    bool segmentPlace(int segment, size_t count, size_t segmentCount, size_t* first,
                      size_t* stride) const;

    // The discovery request, 0xAA 0x03 0x03, is the same for every generation: it goes out before
    // any protocol object exists, so it is built without one. Returns 3, or kNullBuffer or kNoRoom
    // when it has nowhere to go.
    static constexpr int kDiscoveryRequestLength = 3;
    static int buildDiscoveryRequest(uint8_t* buffer, size_t length);

    // Not part of the wire protocol: what the packet path and tools need around it.
    uint8_t generationCode() const { return layout_.generationCode; }
    // Longest packet this generation can send: a stream that still needs more after this many
    // bytes cannot be a packet.
    size_t maximumPacketLength() const { return layout_.maxPacketLength; }
    const CalibrationRecord& calibration() const { return *calibration_; }
    void setEnvironment(ProtocolEnvironment environment) { environment_ = std::move(environment); }

  protected:
    AccessoryProtocol(const AccessoryGeneration& generation,
                      std::unique_ptr<CalibrationRecord> calibration);

    CalibrationRecord& mutableCalibration() { return *calibration_; }
    const GenerationLayout& layout() const { return layout_; }
    const AccessoryGeneration& generation() const { return generation_; }

    // Checks shared by every discovery reply: null buffer, too short, wrong sync, wrong type, other
    // generation, in that order.
    int checkDiscovery(const uint8_t* bytes, size_t length) const;
    // Power axis and level ranges from the calibration, in the way every generation states them.
    void fillRanges(AccessoryDescription& description, bool band24, bool band5) const;
    // Writes the three-byte request 0xAA 0x03 code; kUnsupported when code is 0 (a request this
    // generation lacks), kNullBuffer or kNoRoom when it has nowhere to go.
    static int buildRequest(uint8_t* buffer, size_t length, uint8_t code);
    // Reserves the next sequence number for a settings command.
    uint8_t nextSequence();
    // Identity bytes as two-digit lower-case hexadecimal, no separators.
    static std::string hexText(const uint8_t* bytes, size_t count);

  private:
    int checkMeasurement(const uint8_t* bytes, size_t length, int type) const;

    const AccessoryGeneration& generation_;
    const GenerationLayout& layout_;
    std::unique_ptr<CalibrationRecord> calibration_;
    ProtocolEnvironment environment_;
    // Per band, for parseSpectrum. A cache: like every parse, one thread at a time.
    mutable LevelTable levelTables_[2];
};
