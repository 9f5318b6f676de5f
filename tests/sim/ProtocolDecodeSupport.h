// What the protocol decoding tests share: a decoder over the host's protocol classes, sweeps and
// captures decoded from the simulator's stream.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/LinkSettings.h"
#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/PacketFramer.h"
#include "sim/DemoRecorder.h"
#include "sim/HostCommands.h"
#include "sim/SimulatedAccessory.h"

namespace protocoldecode {

struct Decoder {
    std::unique_ptr<AccessoryProtocol> protocol;
    AccessoryDescription description;
    std::FILE* console = std::tmpfile();

    explicit Decoder(SimulatedAccessory& sim, bool connected = true) {
        sim.receive(HostCommands::request(HostCommands::kDiscovery));
        std::vector<uint8_t> reply = sim.readAll();
        protocol = createAccessoryProtocol(reply.size() > 2 ? reply[2] : 0);
        if (protocol) {
            ProtocolEnvironment environment;
            environment.console = console;
            environment.deviceConnected = [connected] { return connected; };
            protocol->setEnvironment(environment);
            parsed = protocol->parseDescription(reply.data(), reply.size(), &description);
        }
    }
    ~Decoder() { std::fclose(console); }

    long consoleBytes() { return std::ftell(console); }

    // Frames `bytes` with the protocol's own framing; every byte must belong to a packet.
    std::vector<std::vector<uint8_t>> frame(const std::vector<uint8_t>& bytes) {
        std::vector<std::vector<uint8_t>> packets;
        size_t pos = 0;
        while (pos < bytes.size()) {
            int n = protocol->packetLength(bytes.data() + pos, bytes.size() - pos);
            if (n <= 0) {
                ADD_FAILURE() << "framing stopped with " << n << " at byte " << pos;
                break;
            }
            packets.emplace_back(bytes.begin() + static_cast<long>(pos),
                                 bytes.begin() + static_cast<long>(pos) + n);
            pos += static_cast<size_t>(n);
        }
        return packets;
    }

    int parsed = -100;
};

struct Sweep {
    std::vector<float> values;
    int band = 0;
};

// Decodes and reassembles the sweeps in a stream of spectrum packets.
inline std::vector<Sweep> decodeSweeps(Decoder& d, const std::vector<uint8_t>& bytes) {
    std::vector<Sweep> sweeps;
    std::vector<float> pending;
    std::vector<int> order;
    int segments = d.protocol->spectrumSegmentCount(1);
    for (const auto& p : d.frame(bytes)) {
        float values[512];
        int count = 0, band = 0, segment = 0;
        int result =
            d.protocol->parseSpectrum(p.data(), p.size(), values, 512, &count, &band, &segment);
        EXPECT_EQ(result, 0);
        if (result != 0) {
            continue;
        }
        pending.insert(pending.end(), values, values + count);
        order.push_back(segment);
        if (static_cast<int>(order.size()) == segments) {
            EXPECT_TRUE(d.protocol->reorderSegments(pending.data(), pending.size(), order.data(),
                                                    order.size()));
            sweeps.push_back({pending, band});
            pending.clear();
            order.clear();
        }
    }
    return sweeps;
}

struct Capture {
    std::vector<float> values;
    bool marker = false;
};

inline std::vector<Capture> decodeCaptures(Decoder& d, const std::vector<uint8_t>& bytes) {
    std::vector<Capture> captures;
    Capture pending;
    std::vector<int> order;
    int segments = d.protocol->powerSegmentCount();
    for (const auto& p : d.frame(bytes)) {
        float values[1000];
        int count = 0, segment = 0;
        bool marker = false;
        int result = d.protocol->parsePowerSamples(p.data(), p.size(), values, 1000, &count,
                                                   &segment, &marker);
        EXPECT_EQ(result, 0);
        if (result != 0) {
            continue;
        }
        pending.values.insert(pending.values.end(), values, values + count);
        pending.marker = marker;
        order.push_back(segment);
        if (static_cast<int>(order.size()) == segments) {
            EXPECT_TRUE(d.protocol->reorderSegments(pending.values.data(), pending.values.size(),
                                                    order.data(), order.size()));
            captures.push_back(pending);
            pending = Capture();
            order.clear();
        }
    }
    return captures;
}

inline std::vector<float> maxHold(const std::vector<Sweep>& sweeps) {
    std::vector<float> hold(sweeps.at(0).values.size(), -200.0f);
    for (const Sweep& s : sweeps) {
        for (size_t i = 0; i < hold.size(); ++i) {
            hold[i] = std::max(hold[i], s.values[i]);
        }
    }
    return hold;
}

inline std::vector<uint8_t> stream(SimulatedAccessory& sim, uint8_t request, uint64_t ms) {
    if (sim.profile().streams) {
        sim.receive(HostCommands::request(request));
        sim.step(ms);
        return sim.readAll();
    }
    std::vector<uint8_t> out;
    for (uint64_t t = 0; t < ms; t += 100) {
        sim.receive(HostCommands::request(request));
        sim.step(100);
        std::vector<uint8_t> bytes = sim.readAll();
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace protocoldecode
