#include "sim/SimulatedAccessory.h"

#include <algorithm>
#include <cmath>

#include "sim/SimRandom.h"
#include "sim/SimulatedTarno.h"
#include "sim/SimulatedTarno2.h"
#include "sim/SimulatedTarnoDuo.h"

namespace {

constexpr uint8_t kRequestLength = 0x03;
constexpr uint8_t kRequestPower = 0x01;
constexpr uint8_t kRequestDiscovery = 0x03;
constexpr uint8_t kRequestSpectrum = 0x05;
constexpr uint8_t kRequestHalt = 0x06;
constexpr uint8_t kRequestScan = 0x07;

}  // namespace

std::unique_ptr<SimulatedAccessory> SimulatedAccessory::create(SimGeneration generation,
                                                               uint64_t seed, SignalType signal) {
    switch (generation) {
        case SimGeneration::Tarno:
            return std::make_unique<SimulatedTarno>(seed, signal);
        case SimGeneration::Tarno2:
            return std::make_unique<SimulatedTarno2>(seed, signal);
        case SimGeneration::TarnoDuo:
            return std::make_unique<SimulatedTarnoDuo>(seed, signal);
    }
    return nullptr;
}

SimulatedAccessory::SimulatedAccessory(SimGeneration generation, uint64_t seed, SignalType signal)
    : profile_(generationProfile(generation)),
      encoder_(profile_),
      seed_(seed),
      scene_(SpectrumScene::create(signal, seed)),
      accessPoints_(seed),
      capturer_(profile_, seed) {}

void SimulatedAccessory::setSignal(SignalType signal) {
    scene_ = SpectrumScene::create(signal, seed_);
}

void SimulatedAccessory::receive(std::span<const uint8_t> bytes) {
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    size_t pos = 0;
    while (pos < input_.size()) {
        if (input_[pos] != PacketEncoder::kSync) {
            ++skippedBytes_;
            ++pos;
            continue;
        }
        size_t left = input_.size() - pos;
        if (left < 2) {
            break;
        }
        uint8_t length = input_[pos + 1];
        if (length == kRequestLength) {
            if (left < 3) {
                break;
            }
            handleRequest(input_[pos + 2]);
            pos += 3;
            continue;
        }
        if (length == profile_.settingsLength) {
            if (left < length) {
                break;
            }
            std::span<const uint8_t> command(input_.data() + pos, length);
            FirmwareSettings decoded = settings_;
            if (command[2] == 0x02 && command[3] == 0x53 && decodeSettings(command, decoded)) {
                stopAll();
                settings_ = decoded;
                capturer_.restart();
                std::vector<uint8_t> ack;
                encoder_.settingsAck(settings_.sequence, ack);
                queue(ack, Burst::Reply);
                pos += length;
                continue;
            }
        }
        // Not a command of this generation: resynchronise on the next sync byte.
        ++skippedBytes_;
        ++pos;
    }
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void SimulatedAccessory::handleRequest(uint8_t code) {
    std::vector<uint8_t> reply;
    switch (code) {
        case kRequestDiscovery:
            stopAll();
            encoder_.discoveryReply(reply);
            break;
        case kRequestSpectrum:
            start(Job::Spectrum);
            break;
        case kRequestPower:
            if (profile_.hasPower) {
                start(Job::Power);
            } else {
                ++ignoredCommands_;
            }
            break;
        case kRequestScan:
            if (profile_.hasScan) {
                startScan();
            } else {
                ++ignoredCommands_;
            }
            break;
        case kRequestHalt:
            if (profile_.streams) {
                stopAll();
                encoder_.haltAck(reply);
            } else {
                ++ignoredCommands_;
            }
            break;
        default:
            ++ignoredCommands_;
            break;
    }
    queue(reply, Burst::Reply);
}

void SimulatedAccessory::stopAll() {
    job_ = Job::Idle;
    pending_ = Job::Idle;
    dueMs_ = kNever;
    scanDueMs_ = kNever;
}

void SimulatedAccessory::startScan() {
    if (profile_.scansWhileSweeping) {
        scanDueMs_ = kNever;  // a repeated request restarts the pass
    } else {
        stopAll();
    }
    // An empty list tells the host the scan has begun.
    std::vector<uint8_t> started;
    encoder_.accessPointList({}, started);
    queue(started, Burst::Reply);
    scanDueMs_ = now_ + profile_.scanDurationMs;
}

void SimulatedAccessory::start(Job job) {
    if (!profile_.streams && job_ != Job::Idle) {
        pending_ = job;
        return;
    }
    uint64_t scanDue = scanDueMs_;
    stopAll();
    if (profile_.scansWhileSweeping) {
        scanDueMs_ = scanDue;
    }
    job_ = job;
    jobStartMs_ = now_;
    switch (job) {
        case Job::Spectrum: {
            bool band5 = profile_.has5GHz && settings_.band == SimBand::Band5;
            dueMs_ = now_ + (band5 ? profile_.sweepPeriodMs5 : profile_.sweepPeriodMs24);
            break;
        }
        case Job::Power:
            dueMs_ = capturer_.plan(now_, settings_);
            if (dueMs_ == kNever) {
                job_ = Job::Idle;  // nothing to capture: the polled request is dropped
            }
            break;
        case Job::Idle:
            break;
    }
}

void SimulatedAccessory::advanceTo(uint64_t ms) {
    // A polled job may finish and start the latched one within the same millisecond; the bound
    // only guards against a job that never moves on.
    int sameMillisecond = 0;
    for (;;) {
        uint64_t due = std::min(dueMs_, scanDueMs_);
        if (due > ms || sameMillisecond >= 16) {
            break;
        }
        now_ = std::max(now_, due);
        if (scanDueMs_ <= dueMs_) {
            finishScan();
        } else {
            runDue();
        }
        sameMillisecond = std::min(dueMs_, scanDueMs_) == due ? sameMillisecond + 1 : 0;
    }
    now_ = std::max(now_, ms);
}

void SimulatedAccessory::runDue() {
    Job finished = job_;
    switch (finished) {
        case Job::Spectrum:
            finishSweep();
            break;
        case Job::Power:
            finishCapture();
            break;
        case Job::Idle:
            dueMs_ = kNever;
            return;
    }
    if (!profile_.streams && job_ == finished && dueMs_ == kNever) {
        job_ = Job::Idle;
        if (pending_ != Job::Idle) {
            Job next = pending_;
            pending_ = Job::Idle;
            start(next);
        }
    }
}

void SimulatedAccessory::finishSweep() {
    SimBand band = profile_.has5GHz ? settings_.band : SimBand::Band24;
    const SweepGrid& grid = band == SimBand::Band5 ? profile_.grid5 : profile_.grid24;
    const LevelCalibration& cal =
        band == SimBand::Band5 ? profile_.spectrumCal5 : profile_.spectrumCal24;
    uint64_t period = band == SimBand::Band5 ? profile_.sweepPeriodMs5 : profile_.sweepPeriodMs24;
    uint64_t startMs = dueMs_ - period;

    std::vector<float> dbm(static_cast<size_t>(grid.points));
    scene_->render(grid, startMs / 1000.0, period / 1000.0, dbm);
    std::vector<uint8_t> raw(dbm.size());
    double attenuation = internalAttenuationDb(profile_, settings_);
    for (size_t i = 0; i < dbm.size(); ++i) {
        raw[i] = cal.rawOf(dbm[i] - attenuation);
    }
    std::vector<uint8_t> packets;
    encoder_.spectrumSweep(band, raw, packets);
    queue(packets, Burst::Measurement);

    dueMs_ = profile_.streams ? dueMs_ + period : kNever;
}

void SimulatedAccessory::finishCapture() {
    uint64_t finishedAt = dueMs_;
    std::vector<uint8_t> packets;
    capturer_.finish(settings_, packets);
    queue(packets, Burst::Measurement);
    if (!profile_.streams) {
        dueMs_ = kNever;
        return;
    }
    jobStartMs_ = capturer_.nextStart(finishedAt, jobStartMs_);
    dueMs_ = std::max(capturer_.plan(jobStartMs_, settings_), finishedAt + 1);
}

void SimulatedAccessory::finishScan() {
    std::vector<SimAccessPoint> found = accessPoints_.scan(scanCount_++, true, profile_.has5GHz);
    std::vector<uint8_t> packets;
    // Lists hold at most 20 records. A full first list announces that another follows, and the
    // host ends the scan at that second list whatever it holds, so a pass reports at most two
    // lists: a scan of exactly 20 ends with an empty one, and the firmware's table keeps no
    // more than two lists' worth.
    const size_t first = std::min(found.size(), PacketEncoder::kMaxRecordsPerList);
    encoder_.accessPointList(std::span(found).first(first), packets);
    if (first == PacketEncoder::kMaxRecordsPerList) {
        const size_t rest = std::min(found.size() - first, PacketEncoder::kMaxRecordsPerList);
        encoder_.accessPointList(std::span(found).subspan(first, rest), packets);
    }
    queue(packets, Burst::Measurement);
    scanDueMs_ += profile_.scanDurationMs;
}

void SimulatedAccessory::queue(const std::vector<uint8_t>& packets, Burst burst) {
    if (packets.empty()) {
        return;
    }
    if (burst == Burst::Measurement && output_.size() + packets.size() > outputLimit_) {
        ++droppedBursts_;
        return;
    }
    output_.insert(output_.end(), packets.begin(), packets.end());
}

size_t SimulatedAccessory::read(uint8_t* buffer, size_t capacity) {
    if (buffer == nullptr) {
        return 0;
    }
    size_t count = std::min(capacity, output_.size());
    std::copy(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(count), buffer);
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

std::vector<uint8_t> SimulatedAccessory::readAll() {
    std::vector<uint8_t> bytes(output_.begin(), output_.end());
    output_.clear();
    return bytes;
}
