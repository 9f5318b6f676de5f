#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Stored forms of the reference power trace's lists.
//
// Record list: for each inner list, a 32-bit count n and then its n floats; an empty outer list
// is empty data. Vertex lists keep their interleaved (x, y) floats, so n is twice the vertices.
// Float array: the floats and nothing else.

std::vector<uint8_t> encodeRecordList(const std::vector<std::vector<float>>& records);

// Reads records from the start and stops at the end of the data or at the first record whose
// count runs past it (a truncated or corrupt list keeps the records before that one).
std::vector<std::vector<float>> decodeRecordList(std::span<const uint8_t> data);

std::vector<uint8_t> encodeFloatArray(const std::vector<float>& values);

// size / 4 floats; trailing bytes of a partial float are ignored.
std::vector<float> decodeFloatArray(std::span<const uint8_t> data);
