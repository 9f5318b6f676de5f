#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/StoredSettings.h"

// Byte images of the settings records as the configuration slots store them. Every field is
// written at its fixed offset, little-endian; the gaps between fields are written as zero and
// ignored when read. A decode takes the record only from an image at least as long as the record
// (longer images come from later releases that appended fields) and otherwise leaves it alone.

inline constexpr size_t kCursorImageSize = 44;
inline constexpr size_t kCommonImageSize = 16;
inline constexpr size_t kSpectrumImageSize = 92;  // store version 2
inline constexpr size_t kPowerImageSize = 44;
inline constexpr size_t kChannelImageSize = 12;
inline constexpr size_t kDemoImageSize = 3;

std::array<uint8_t, kCursorImageSize> encodeCursorSettings(const CursorSettings& record);
bool decodeCursorSettings(std::span<const uint8_t> image, CursorSettings& record);

std::array<uint8_t, kCommonImageSize> encodeCommonSettings(const CommonSettings& record);
bool decodeCommonSettings(std::span<const uint8_t> image, CommonSettings& record);

std::array<uint8_t, kSpectrumImageSize> encodeSpectrumViewSettings(
    const SpectrumViewSettings& record);
bool decodeSpectrumViewSettings(std::span<const uint8_t> image, SpectrumViewSettings& record);

std::array<uint8_t, kPowerImageSize> encodePowerSettings(const PowerSettings& record);
bool decodePowerSettings(std::span<const uint8_t> image, PowerSettings& record);

std::array<uint8_t, kChannelImageSize> encodeTraceChannel(const TraceChannel& record);
bool decodeTraceChannel(std::span<const uint8_t> image, TraceChannel& record);

std::array<uint8_t, kDemoImageSize> encodeDemoSelection(const DemoSelection& record);
bool decodeDemoSelection(std::span<const uint8_t> image, DemoSelection& record);
