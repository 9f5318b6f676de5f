// `tarno-cli decode`'s input handling: a file of arbitrary bytes, with or without a fixed
// generation, framed and printed as JSON lines. The output is checked for its shape: every line
// is one object, and no raw control byte or unbalanced quote escapes the string encoder.
//
// Input: byte 0 picks the generation (none, 2, 6, 7), the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/tarno-cli/PacketJsonPrinter.h"

namespace {

// One JSON object per line: braces balance outside strings, strings close, nothing below 0x20
// appears raw.
bool wellFormedLine(const std::string& text, size_t begin, size_t end) {
    if (end <= begin || text[begin] != '{' || text[end - 1] != '}') {
        return false;
    }
    int depth = 0;
    bool inString = false;
    for (size_t i = begin; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20) {
            return false;
        }
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth < 0) {
                return false;
            }
        }
    }
    return !inString && depth == 0;
}

void checkLines(const std::string& text) {
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos || !wellFormedLine(text, begin, end)) {
            std::abort();
        }
        begin = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static const uint8_t generations[] = {0, 2, 6, 7};
    PacketJsonPrinter printer(generations[data[0] % 4]);
    // The command frames a file as one read (in pieces, with a lookahead that makes them
    // equivalent); here the whole input, from an exact-size buffer.
    std::vector<uint8_t> file(data + 1, data + size);
    checkLines(printer.feed(file.data(), file.size()));
    return 0;
}
