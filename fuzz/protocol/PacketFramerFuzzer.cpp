// A byte stream cut into arbitrary chunks through the packet framer, decoding every framed packet
// as the controller does. The buffer must stay within one chunk plus the longest packet.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "protocol/PacketFramer.h"

namespace {

void handle(PacketFramer& framer, const uint8_t* bytes, size_t length, int type) {
    AccessoryProtocol& p = *framer.protocol();
    std::vector<float> values(1000);
    int count = 0, segment = 0, band = 0;
    bool marker = false;
    switch (type) {
        case 3:
            if (!framer.identified() && p.parseDescription(bytes, length, nullptr) == 0) {
                framer.setIdentified(true);
            }
            break;
        case 1:
            p.parsePowerSamples(bytes, length, values.data(), values.size(), &count, &segment,
                                &marker);
            break;
        case 5:
            p.parseSpectrum(bytes, length, values.data(), 512, &count, &band, &segment);
            break;
        case 7: {
            std::unique_ptr<AccessPointList> list;
            p.parseSsidList(bytes, length, &list);
            break;
        }
        default:
            p.parseSettingsAck(bytes, length);
            p.parseHaltAck(bytes, length);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    PacketFramer framer;
    ProtocolEnvironment environment;
    environment.console = nullptr;
    framer.setProtocolEnvironment(environment);
    // The first byte sets the chunk pattern: the chunk sizes cycle through its bits.
    const uint8_t pattern = data[0];
    size_t pos = 1;
    size_t step = 0;
    while (pos < size) {
        size_t chunk = 1 + ((pattern >> (step % 8)) & 0x01 ? 300 : (pattern % 7));
        ++step;
        if (chunk > size - pos)
            chunk = size - pos;
        // Each delivery is its own exact-size block, like a USB read.
        std::vector<uint8_t> read(data + pos, data + pos + chunk);
        framer.deliver(read.data(), read.size(),
                       [&framer](const uint8_t* bytes, size_t length, int type) {
                           handle(framer, bytes, length, type);
                       });
        pos += chunk;
        const size_t bound = framer.protocol() ? framer.protocol()->maximumPacketLength() : 3;
        if (framer.buffered() >= (bound > 3 ? bound : 3))
            std::abort();
    }
    return 0;
}
