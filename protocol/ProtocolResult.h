#pragma once

// Result codes of the protocol operations: 0 or a positive length on success, these on failure.
namespace protocol_result {

// Parse operations.
constexpr int kWrongSync = -1;
constexpr int kTooShort = -2;
constexpr int kNullBuffer = -3;
constexpr int kWrongType = -4;
constexpr int kUnsupported = -99;  // not offered by this generation, or another generation's reply

// Framing (packetLength).
constexpr int kNeedMore = -1;
constexpr int kNotAPacket = -2;
constexpr int kNoSync = -3;
constexpr int kRejectBuffer = -99;

// Builders.
constexpr int kCannotBuild = -1;

}  // namespace protocol_result
