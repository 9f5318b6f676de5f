#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/PacketJsonPrinter.h"

namespace {

constexpr size_t kChunkBytes = 64 * 1024;

constexpr const char* kUsage =
    "Usage: tarno-cli decode [--generation 2|6|7] FILE\n"
    "  Frames a file of raw accessory bytes (a capture or a demonstration recording)\n"
    "  and prints one JSON object per packet. Without --generation the accessory is\n"
    "  identified by the first discovery reply in the stream.\n";

// Writes JSON lines; returns how many.
size_t print(const std::string& lines) {
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n'));
}

int runDecode(std::span<char*> args) {
    uint8_t generation = 0;
    std::vector<std::string> operands;
    CliOptionParser parser("decode", kUsage);
    parser.value("generation", 'g', [&generation](const char* value) {
        std::string_view v = value;
        if (v != "2" && v != "6" && v != "7") {
            return false;
        }
        generation = static_cast<uint8_t>(v[0] - '0');
        return true;
    });
    if (!parser.parse(args, operands)) {
        return 2;
    }
    if (operands.size() != 1) {
        return parser.refuse(operands.empty() ? "no FILE to decode" : "one FILE at a time");
    }
    const char* path = operands[0].c_str();

    int fd = openInputFile("decode", path);
    if (fd < 0) {
        return 1;
    }
    // Read and framed in pieces, so memory stays the same whatever the file's size. The framer
    // looks a whole piece ahead (more than any packet), so packets frame as from one read of the
    // whole file, as the playback delivers a recording.
    PacketJsonPrinter printer(generation);
    printer.setLookahead(kChunkBytes);
    std::vector<uint8_t> chunk(kChunkBytes);
    size_t packets = 0;
    ssize_t n = 0;
    while ((n = ::read(fd, chunk.data(), chunk.size())) != 0) {
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::fprintf(stderr, "tarno-cli decode: cannot read %s: %s\n", path,
                         std::strerror(errno));
            ::close(fd);
            return 1;
        }
        packets += print(printer.feed(chunk.data(), static_cast<size_t>(n)));
    }
    ::close(fd);
    packets += print(printer.finish());
    if (printer.droppedBytes() != 0) {
        std::fprintf(stderr,
                     "tarno-cli decode: %zu bytes dropped (unknown generation or rejected)\n",
                     printer.droppedBytes());
    }
    if (printer.pendingBytes() != 0) {
        std::fprintf(stderr, "tarno-cli decode: %zu trailing bytes do not complete a packet\n",
                     printer.pendingBytes());
    }
    if (packets == 0) {
        std::fprintf(stderr, "tarno-cli decode: %s holds no accessory packets\n", path);
        return 1;
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tarno-cli decode: cannot write the output: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"decode", "print the packets of a file of accessory bytes as JSON lines", kUsage, runDecode});

}  // namespace
