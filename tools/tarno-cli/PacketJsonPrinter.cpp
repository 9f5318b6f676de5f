#include "tools/tarno-cli/PacketJsonPrinter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model/Utf8Text.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/ProtocolResult.h"

namespace {

constexpr size_t kScratchValues = 1000;  // the longest trace any generation sends in one packet

std::string boolText(bool value) {
    return value ? "true" : "false";
}

std::string values(const float* v, int count) {
    std::string out = "[";
    for (int i = 0; i < count; ++i) {
        if (i)
            out += ',';
        out += PacketJsonPrinter::number(v[i]);
    }
    return out + "]";
}

std::string pair(float a, float b) {
    return "[" + PacketJsonPrinter::number(a) + "," + PacketJsonPrinter::number(b) + "]";
}

std::string rejected(int type, int code) {
    // The number stays for scripts that read it; the name says which failure it is.
    return "{\"kind\":\"rejected\",\"type\":" + std::to_string(type) +
           ",\"code\":" + std::to_string(code) + ",\"name\":\"" +
           protocol_result::resultName(code) + "\"}\n";
}

// Lower case, as the survey, the tables and the data logs write it.
std::string bssidText(const uint8_t* b) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", b[0], b[1], b[2], b[3], b[4],
                  b[5]);
    return text;
}

}  // namespace

PacketJsonPrinter::PacketJsonPrinter(uint8_t generationCode) {
    ProtocolEnvironment environment;
    environment.console = stderr;  // keep standard output pure JSON
    environment.deviceConnected = [] { return false; };
    framer_.setProtocolEnvironment(environment);
    if (generationCode != 0) {
        framer_.setProtocol(createAccessoryProtocol(generationCode));
        framer_.setIdentified(framer_.protocol() != nullptr);
    }
}

std::string PacketJsonPrinter::number(float value) {
    if (!std::isfinite(value))
        return "null";
    // The shortest text that reads back to the same float: 0.1f is "0.1", not "0.100000001".
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : "null";
}

std::string PacketJsonPrinter::string(const uint8_t* bytes, size_t length) {
    std::string out = "\"";
    for (char32_t cp :
         Utf8Text::decode(std::string_view(reinterpret_cast<const char*>(bytes), length))) {
        if (cp == U'"' || cp == U'\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (Utf8Text::isControl(cp)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
            out += escape;
        } else {
            Utf8Text::append(out, cp);
        }
    }
    return out + "\"";
}

std::string PacketJsonPrinter::feed(const uint8_t* bytes, size_t length) {
    std::string out;
    framer_.deliver(bytes, length, [this, &out](const uint8_t* p, size_t n, int type) {
        packet(p, n, type, out);
    });
    return out;
}

std::string PacketJsonPrinter::finish() {
    std::string out;
    framer_.finish([this, &out](const uint8_t* p, size_t n, int type) { packet(p, n, type, out); });
    return out;
}

void PacketJsonPrinter::description(const uint8_t* bytes, size_t length, std::string& out) {
    AccessoryDescription d;
    int code = framer_.protocol()->parseDescription(bytes, length, &d);
    if (code != 0) {
        out += rejected(3, code);
        return;
    }
    described_ = true;
    framer_.setIdentified(true);
    out += "{\"kind\":\"description\",\"generation\":" + std::to_string(d.generation) +
           ",\"has24Spectrum\":" + boolText(d.hasSpectrum24) +
           ",\"has5Spectrum\":" + boolText(d.hasSpectrum5) +
           ",\"has24Scan\":" + boolText(d.hasSsidScan24) +
           ",\"has5Scan\":" + boolText(d.hasSsidScan5) +
           ",\"hasPowerMeter\":" + boolText(d.hasPowerMeter) + ",\"serial\":" +
           string(reinterpret_cast<const uint8_t*>(d.serialText.data()), d.serialText.size()) +
           ",\"points24\":" + std::to_string(d.rawPoints24) +
           ",\"points5\":" + std::to_string(d.rawPoints5) +
           ",\"shown24\":" + std::to_string(d.shownPoints24) +
           ",\"shown5\":" + std::to_string(d.shownPoints5) +
           ",\"rows24\":" + std::to_string(d.levelRows24) +
           ",\"rows5\":" + std::to_string(d.levelRows5) +
           ",\"range24\":" + pair(d.levelMin24, d.levelMax24) +
           ",\"range5\":" + pair(d.levelMin5, d.levelMax5) +
           ",\"powerAxis\":" + pair(d.powerAxisMin, d.powerAxisMax) +
           ",\"sweepPeriod24\":" + number(d.spectrumInterval24) +
           ",\"sweepPeriod5\":" + number(d.spectrumInterval5) +
           ",\"powerPoints\":" + std::to_string(d.powerRollPoints) + "}\n";
}

void PacketJsonPrinter::packet(const uint8_t* bytes, size_t length, int type, std::string& out) {
    AccessoryProtocol& protocol = *framer_.protocol();
    std::vector<float> scratch(kScratchValues);
    int count = 0;
    int segment = 0;
    int code = 0;
    switch (type) {
        case 3:
            // Only the first reply identifies; the controller ignores later ones.
            if (described_) {
                out += "{\"kind\":\"ignored\",\"type\":3}\n";
            } else {
                description(bytes, length, out);
            }
            return;
        case 2:
            code = protocol.parseSettingsAck(bytes, length);
            out += code == 0 ? "{\"kind\":\"settingsAck\"}\n" : rejected(type, code);
            return;
        case 6:
            code = protocol.parseHaltAck(bytes, length);
            out += code == 0 ? "{\"kind\":\"haltAck\"}\n" : rejected(type, code);
            return;
        case 1: {
            bool marker = false;
            code = protocol.parsePowerSamples(bytes, length, scratch.data(), scratch.size(), &count,
                                              &segment, &marker);
            if (code != 0) {
                out += rejected(type, code);
                return;
            }
            out += "{\"kind\":\"power\",\"segment\":" + std::to_string(segment) +
                   ",\"marker\":" + boolText(marker) +
                   ",\"values\":" + values(scratch.data(), count) + "}\n";
            return;
        }
        case 5: {
            int band = 0;
            code = protocol.parseSpectrum(bytes, length, scratch.data(), scratch.size(), &count,
                                          &band, &segment);
            if (code != 0) {
                out += rejected(type, code);
                return;
            }
            out += "{\"kind\":\"spectrum\",\"band\":" + std::to_string(band) +
                   ",\"segment\":" + std::to_string(segment) +
                   ",\"values\":" + values(scratch.data(), count) + "}\n";
            return;
        }
        case 7: {
            std::unique_ptr<AccessPointList> list;
            code = protocol.parseSsidList(bytes, length, &list);
            if (code != 0) {
                out += rejected(type, code);
                return;
            }
            out += "{\"kind\":\"accessPoints\",\"records\":[";
            static const AccessPointList kNone;
            bool first = true;
            for (const auto& ap : list ? *list : kNone) {
                std::string_view name = ap->nameView();
                out += first ? "" : ",";
                first = false;
                out += "{\"bssid\":\"" + bssidText(ap->bssid) +
                       "\",\"channel\":" + std::to_string(ap->channel) +
                       ",\"rssi\":" + number(ap->rssi) + ",\"name\":" +
                       string(reinterpret_cast<const uint8_t*>(name.data()), name.size()) +
                       ",\"is5GHz\":" + std::to_string(ap->is5GHz) +
                       ",\"securityClass\":" + std::to_string(ap->securityClass) +
                       ",\"security\":" + std::to_string(ap->security) +
                       ",\"cipher\":" + std::to_string(ap->cipher) +
                       ",\"bandwidth\":" + std::to_string(ap->bandwidthMHz) +
                       ",\"secondary\":" + std::to_string(ap->secondaryChannel) +
                       ",\"standards\":" + std::to_string(ap->standards) +
                       ",\"alt1\":" + std::to_string(ap->alt1) +
                       ",\"alt2\":" + std::to_string(ap->alt2) + "}";
            }
            out += "]}\n";
            return;
        }
        default:
            out += rejected(type, -4);
            return;
    }
}
