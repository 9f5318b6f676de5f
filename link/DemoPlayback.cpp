#include "link/DemoPlayback.h"

#include <cmath>

#include "link/ResourceReader.h"

DemoPlayback::DemoPlayback(const ResourceReader* resources) : resources_(resources) {}

std::string DemoPlayback::prefix(int hardware) {
    switch (hardware) {
        case 0:
            return "packets/Tarno/Tarno_";
        case 1:
            return "packets/Tarno2/Tarno2_";
        case 2:
            return "packets/TarnoDuo/TarnoDuo_";
        default:
            return "";
    }
}

std::string DemoPlayback::signalFile(int signalType) {
    static const char* const kFiles[4] = {"None.bin", "Wifi.bin", "Dect.bin", "Dsss.bin"};
    return signalType >= 0 && signalType < 4 ? kFiles[signalType] : "";
}

size_t DemoPlayback::powerPacketBytes(int hardware) {
    switch (hardware) {
        case 0:
            return 62;
        case 1:
            return 1254;
        default:
            return 0;
    }
}

size_t DemoPlayback::spectrumPacketBytes(int hardware, int band) {
    if (band == 1) {
        return hardware == 2 ? 516 : 0;
    }
    switch (hardware) {
        case 0:
            return 52;
        case 1:
        case 2:
            return 260;
        default:
            return 0;
    }
}

bool DemoPlayback::playFile(const std::string& name, const Deliver& deliver) const {
    if (resources_ == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes = resources_->readFile(name);
    if (bytes.empty()) {
        return false;
    }
    deliver(bytes.data(), bytes.size());
    return true;
}

void DemoPlayback::load(Buffer& buffer, const std::string& name) const {
    if ((buffer.bytes.empty() || buffer.name != name) && resources_ != nullptr) {
        buffer.name = name;
        buffer.bytes = resources_->readFile(name);
        buffer.offset = 0;
    }
}

void DemoPlayback::step(Buffer& buffer, size_t packetBytes, const Deliver& deliver) {
    if (packetBytes == 0) {
        return;
    }
    if (buffer.offset + packetBytes > buffer.bytes.size()) {
        buffer.offset = 0;
    }
    // A file shorter than one packet plays nothing rather than reading past its end.
    if (packetBytes > buffer.bytes.size()) {
        return;
    }
    deliver(buffer.bytes.data() + buffer.offset, packetBytes);
    buffer.offset += packetBytes;
}

void DemoPlayback::playPower(const DemoSelection& demo, uint64_t now, uint64_t intervalMs,
                             const Deliver& deliver) {
    if (lastPower_.lessThanAgo(now, intervalMs)) {
        return;
    }
    std::string name = prefix(demo.hardware);
    size_t packetBytes = powerPacketBytes(demo.hardware);
    if (!name.empty() && packetBytes > 0) {
        load(power_, name + "power" + signalFile(demo.signalType));
        step(power_, packetBytes, deliver);
    }
    lastPower_.advance(now, intervalMs);
}

void DemoPlayback::playSpectrum(const DemoSelection& demo, int band, uint64_t now,
                                uint64_t periodMs, const Deliver& deliver) {
    if (lastSpectrum_.lessThanAgo(now, periodMs)) {
        return;
    }
    std::string name = prefix(demo.hardware);
    size_t packetBytes = spectrumPacketBytes(demo.hardware, band);
    if (!name.empty() && packetBytes > 0) {
        if (band == 1) {
            load(spectrum5_, name + "spectrum5GHz" + signalFile(demo.signalType));
            step(spectrum5_, packetBytes, deliver);
        } else {
            load(spectrum24_, name + "spectrum" + signalFile(demo.signalType));
            step(spectrum24_, packetBytes, deliver);
        }
    }
    lastSpectrum_.advance(now, periodMs);
}

void DemoPlayback::playAccessPoints(const DemoSelection& demo, uint64_t now, double firstDelayMs,
                                    double repeatMs, const PacketLength& packetLength,
                                    const Deliver& deliver) {
    if (!firstAccessPointCheck_.set) {
        firstAccessPointCheck_.mark(now);
    }
    // The delays come from the accessory description; unset (NaN) or negative ones never pass.
    if (!(firstDelayMs >= 0.0) || !(repeatMs >= 0.0)) {
        return;
    }
    auto passed = [now](const Stamp& stamp, double ms) {
        return !stamp.set || (now >= stamp.ms && static_cast<double>(now - stamp.ms) >= ms);
    };
    if (!passed(firstAccessPointCheck_, firstDelayMs) || !passed(lastAccessPointList_, repeatMs)) {
        return;
    }
    std::string name = prefix(demo.hardware);
    if (!name.empty()) {
        load(accessPoints_, name + "ssid.bin");
        Buffer& b = accessPoints_;
        int n = -1;
        if (b.offset < b.bytes.size() && packetLength) {
            n = packetLength(b.bytes.data() + b.offset, b.bytes.size() - b.offset);
        }
        if (n > 0 && b.offset + static_cast<size_t>(n) <= b.bytes.size()) {
            deliver(b.bytes.data() + b.offset, static_cast<size_t>(n));
            b.offset += static_cast<size_t>(n);
        } else {
            b.offset = 0;
        }
    }
    lastAccessPointList_.mark(now);
}

void DemoPlayback::reset() {
    lastPower_ = Stamp{};
    lastSpectrum_ = Stamp{};
    firstAccessPointCheck_ = Stamp{};
    lastAccessPointList_ = Stamp{};
}
