#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pieces of the JSON lines Tarno prints and publishes, written by hand so the bytes are the
// same wherever a line is made.
namespace JsonText {

// A JSON string of text bytes: UTF-8 as the characters it encodes (a byte that is not UTF-8 as
// the character the labels draw for it), quotes, backslashes and control characters escaped.
std::string string(std::string_view bytes);
// A fixed-point number, or null when the value is not finite.
std::string number(double value, int decimals);
// "YYYY-MM-DDTHH:MM:SS.ffffffZ" of UTC microseconds since 1970.
std::string utcTime(uint64_t timeUs);

}  // namespace JsonText
