#pragma once

#include <cstdint>
#include <string>

#include "publish/SweepRecord.h"

// The two printed forms of a sweep, each one line without its newline.
namespace SweepText {

// hackrf_sweep's line: "date, time, hz_low, hz_high, hz_bin_width, num_samples, dB, dB, ...",
// UTC, whole hertz, levels with two decimals. Point i lies at hz_low + i × hz_bin_width, and
// hz_high = hz_low + num_samples × hz_bin_width, as hackrf_sweep readers assume.
std::string csv(const SweepRecord& sweep);

// One JSON object: time, band, start/stop/step Hz, levels, and the traces and peaks the record
// carries.
std::string json(const SweepRecord& sweep);

// A trace list such as "live,max,avg,decay" as TraceProcessing mask bits; false for an unknown
// name.
bool parseTraceList(const char* text, uint8_t& mask);

}  // namespace SweepText
