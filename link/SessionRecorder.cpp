#include "link/SessionRecorder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "link/DemoPlayback.h"
#include "protocol/AccessoryGeneration.h"
#include "storage/NewFile.h"

namespace {

int hardwareOf(uint8_t generationCode) {
    const AccessoryGeneration* generation = generationByCode(generationCode);
    return generation ? generation->hardware : -1;
}

}  // namespace

SessionRecorder::SessionRecorder(std::string directory, std::string signalFile)
    : directory_(std::move(directory)), signalFile_(std::move(signalFile)) {
    ProtocolEnvironment quiet;
    quiet.console = nullptr;
    framer_.setProtocolEnvironment(quiet);
}

SessionRecorder::~SessionRecorder() {
    finish();
}

void SessionRecorder::finish() {
    for (auto& [name, file] : files_) {
        if (file != nullptr && std::fclose(file) != 0) {
            fail(directory_ + "/" + name + ": " + std::strerror(errno));
        }
    }
    files_.clear();
}

void SessionRecorder::fail(const std::string& reason) {
    if (!failed_) {
        failure_ = reason;
    }
    failed_ = true;
}

void SessionRecorder::deliver(const uint8_t* bytes, size_t length) {
    framer_.deliver(bytes, length,
                    [this](const uint8_t* p, size_t n, int type) { handle(p, n, type); });
}

void SessionRecorder::append(const std::string& name, const uint8_t* bytes, size_t length) {
    std::FILE*& file = files_[name];
    if (file == nullptr) {
        std::filesystem::path path = std::filesystem::path(directory_) / name;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        // Exactly the name the playback looks up, so a taken name is refused, not numbered:
        // a recording never replaces one already there.
        NewFile created = createNewFile(path.string(), false);
        file = created.releaseAsStream("wb");
        if (file == nullptr) {
            fail(created.failure());
            files_.erase(name);
            return;
        }
    }
    if (std::fwrite(bytes, 1, length, file) != length) {
        fail(directory_ + "/" + name + ": " + std::strerror(errno));
        return;
    }
    written_[name] += length;
}

void SessionRecorder::handle(const uint8_t* bytes, size_t length, int type) {
    AccessoryProtocol* protocol = framer_.protocol();
    if (protocol == nullptr) {
        return;
    }
    if (type == packet_type::kDiscovery) {
        AccessoryDescription description;
        if (hardware_ < 0 && protocol->parseDescription(bytes, length, &description) == 0) {
            hardware_ = hardwareOf(protocol->generationCode());
            framer_.setIdentified(true);
            append(DemoPlayback::prefix(hardware_) + "discover.bin", bytes, length);
        }
        return;
    }
    if (hardware_ < 0) {
        return;
    }
    const std::string prefix = DemoPlayback::prefix(hardware_);
    switch (type) {
        case packet_type::kSettingsAck:
            if (!settingsKept_ && protocol->parseSettingsAck(bytes, length) == 0) {
                settingsKept_ = true;
                append(prefix + "settings.bin", bytes, length);
            }
            break;
        case packet_type::kPower:
            if (length == DemoPlayback::powerPacketBytes(hardware_)) {
                append(prefix + "power" + signalFile_, bytes, length);
            }
            break;
        case packet_type::kSpectrum: {
            float values[512];
            int count = 0, band = 0, segment = 0;
            if (protocol->parseSpectrum(bytes, length, values, 512, &count, &band, &segment) != 0 ||
                count <= 0) {
                break;
            }
            if (band == 1 && length == DemoPlayback::spectrumPacketBytes(hardware_, 0)) {
                append(prefix + "spectrum" + signalFile_, bytes, length);
            } else if (band == 2 && length == DemoPlayback::spectrumPacketBytes(hardware_, 1)) {
                append(prefix + "spectrum5GHz" + signalFile_, bytes, length);
            }
            break;
        }
        case packet_type::kAccessPoints:
            if (length > 4 && bytes[2] != 0) {
                append(prefix + "ssid.bin", bytes, length);
            }
            break;
        default:
            break;
    }
}
