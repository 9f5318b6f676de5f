#pragma once

#include <string>
#include <string_view>

// Text that arrives as bytes from outside (access-point names off the air, serial numbers,
// recordings) becomes text here, once, the same way for the screen and for JSON: well-formed
// UTF-8 is kept as the characters it encodes and every byte that does not begin a well-formed
// sequence becomes U+FFFD, so no later stage guesses at an encoding ("CafÃ©").
namespace Utf8Text {

inline constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes. Overlong forms, surrogates, values above U+10FFFF and cut-off
// sequences are not well formed: their first byte yields U+FFFD and decoding resumes at the
// byte after it, as the engine's labels decode.
std::u32string decode(std::string_view bytes);

// Appends the UTF-8 form of a code point (U+FFFD for one that has none).
void append(std::string& out, char32_t codePoint);

// The bytes as well-formed UTF-8 (decode, then encode).
std::string sanitised(std::string_view bytes);

// C0 and C1 controls and DEL: they move or break text where it is drawn.
bool isControl(char32_t codePoint);

}  // namespace Utf8Text
