#pragma once

#include <cstddef>
#include <string>

#include "model/PulseMeasurement.h"

// The JSON object of one power capture's pulse measurements, as `tarno-cli measure` prints it
// for a logged row and `measure --live` and the publisher for a live capture.
namespace PowerJson {

// `head` opens the object after its brace ("\"row\":3" or "\"time\":\"...\",\"row\":3"); then the
// sample count, the sample interval and the measurements (s, Hz, %, dBm without attenuation
// offset; null where undefined).
std::string measurements(const std::string& head, size_t samples, double dt,
                         const PulseMeasurement::Results& results);

}  // namespace PowerJson
