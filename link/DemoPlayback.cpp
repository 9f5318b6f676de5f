#include "link/DemoPlayback.h"

#include <cmath>

#include "link/ResourceReader.h"
#include "protocol/AccessoryGeneration.h"

DemoPlayback::DemoPlayback(const ResourceReader* resources) : resources_(resources) {}

std::string DemoPlayback::prefix(int hardware) {
    const AccessoryGeneration* generation = generationByHardware(hardware);
    return generation ? generation->packetPrefix() : "";
}

std::string DemoPlayback::signalFile(int signalType) {
    static const char* const kFiles[4] = {"None.bin", "Wifi.bin", "Dect.bin", "Dsss.bin"};
    return signalType >= 0 && signalType < 4 ? kFiles[signalType] : "";
}

size_t DemoPlayback::powerPacketBytes(int hardware) {
    const AccessoryGeneration* generation = generationByHardware(hardware);
    return generation ? generation->layout.power.packetBytes : 0;
}

size_t DemoPlayback::spectrumPacketBytes(int hardware, int band) {
    const AccessoryGeneration* generation = generationByHardware(hardware);
    if (generation == nullptr) {
        return 0;
    }
    return generation->layout.spectrum[band == 1 ? 1 : 0].packetBytes;
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
