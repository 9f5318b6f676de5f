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

// A streaming power meter sends at most ten captures a second; USB and the host's decoding
// could not keep up with more.
constexpr uint64_t kCapturePacingMs = 100;
// In AUTO the capture is taken untriggered when no edge comes within this time.
constexpr double kAutoTimeoutSeconds = 0.1;
// In NORMAL a polled capture waits this long for an edge before the request is dropped.
constexpr double kNormalTimeoutSeconds = 1.0;

uint64_t ceilMs(double seconds) {
    double ms = std::ceil(seconds * 1000.0 - 1e-6);
    return ms <= 0.0 ? 0 : static_cast<uint64_t>(ms);
}

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
      pulseTrain_(seed) {}

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
                rollCursor_ = -1.0;
                std::vector<uint8_t> ack;
                encoder_.settingsAck(settings_.sequence, ack);
                queue(ack);
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
                start(Job::Scan);
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
    queue(reply);
}

void SimulatedAccessory::stopAll() {
    job_ = Job::Idle;
    pending_ = Job::Idle;
    dueMs_ = kNever;
}

void SimulatedAccessory::start(Job job) {
    if (!profile_.streams && job_ != Job::Idle) {
        pending_ = job;
        return;
    }
    stopAll();
    job_ = job;
    jobStartMs_ = now_;
    switch (job) {
        case Job::Spectrum: {
            bool band5 = profile_.has5GHz && settings_.band == SimBand::Band5;
            dueMs_ = now_ + (band5 ? profile_.sweepPeriodMs5 : profile_.sweepPeriodMs24);
            break;
        }
        case Job::Power:
            planCapture(now_);
            if (dueMs_ == kNever) {
                job_ = Job::Idle;  // nothing to capture: the polled request is dropped
            }
            break;
        case Job::Scan: {
            // An empty list tells the host the scan has begun.
            std::vector<uint8_t> started;
            encoder_.accessPointList({}, started);
            queue(started);
            dueMs_ = now_ + profile_.scanDurationMs;
            break;
        }
        case Job::Idle:
            break;
    }
}

void SimulatedAccessory::advanceTo(uint64_t ms) {
    while (dueMs_ <= ms) {
        uint64_t due = dueMs_;
        now_ = std::max(now_, due);
        runDue();
        if (dueMs_ == due) {
            break;  // a job that does not move on would spin forever
        }
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
        case Job::Scan:
            finishScan();
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
    double attenuation = attenuationDb();
    for (size_t i = 0; i < dbm.size(); ++i) {
        raw[i] = cal.rawOf(dbm[i] - attenuation);
    }
    std::vector<uint8_t> packets;
    encoder_.spectrumSweep(band, raw, packets);
    queue(packets);

    dueMs_ = profile_.streams ? dueMs_ + period : kNever;
}

double SimulatedAccessory::sampleInterval() const {
    int index = std::clamp(settings_.timeBaseIndex, 0, 17);
    int samples = std::max(1, profile_.power.totalValues());
    return 10.0 * kSimTimeBases[index] / samples;
}

double SimulatedAccessory::attenuationDb() const {
    if (profile_.generation != SimGeneration::Tarno) {
        return 0.0;
    }
    return kSimInternalAttenuations[std::clamp(settings_.attenuatorIndex, 0, 7)];
}

void SimulatedAccessory::planCapture(uint64_t fromMs) {
    double from = fromMs / 1000.0;
    double dt = sampleInterval();
    int samples = profile_.power.totalValues();
    captureTriggered_ = false;
    if (settings_.sweepMode == FirmwareSettings::SweepMode::Rolling) {
        // The detector is sampled continuously; a block goes out once all its samples exist.
        // What the host does not fetch in time is overwritten in the capture memory.
        captureRolling_ = true;
        int block = profile_.streams ? samples : profile_.power.values;
        if (rollCursor_ < 0.0 || from - rollCursor_ > samples * dt) {
            rollCursor_ = rollCursor_ < 0.0 ? from : from - samples * dt;
        }
        captureStart_ = rollCursor_;
        dueMs_ = std::max(fromMs, ceilMs(captureStart_ + block * dt));
        return;
    }
    captureRolling_ = false;
    double levelDbm = profile_.powerCal.levelOf(
                          static_cast<uint8_t>(std::min<uint16_t>(settings_.triggerRaw, 255))) +
                      attenuationDb();
    bool rising = settings_.risingEdge;
    if (settings_.digitalTrigger) {
        // The digital input follows the transmitter's keying line: its rising edge is the
        // pulse's rising edge at half height.
        const PulseTrainScene::Shape& shape = pulseTrain_.shape();
        levelDbm = 0.5 * (shape.highDbm + shape.lowDbm);
        rising = true;
    }
    bool autoMode = settings_.sweepMode == FirmwareSettings::SweepMode::Auto;
    double window = autoMode ? kAutoTimeoutSeconds : kNormalTimeoutSeconds;
    // The trigger arms once the previous capture has been read out, which takes a varying
    // time, so captures meet the pulse bursts at random points.
    SimRandom arming(SimRandom::mix(seed_, 0xA2, captureCount_));
    double armed = from + arming.uniform(0.0, pulseTrain_.shape().burstPeriod);
    double crossing = 0.0;
    if (pulseTrain_.nextCrossing(armed, window, levelDbm, rising, &crossing)) {
        captureTriggered_ = true;
        captureStart_ = crossing - settings_.preTrigger * dt;
    } else if (autoMode) {
        captureStart_ = armed + window;
    } else {
        // No edge at this level: NORMAL waits. A polled request is given up; a stream looks
        // again a little later.
        dueMs_ = profile_.streams ? fromMs + kCapturePacingMs : kNever;
        captureStart_ = -1.0;
        return;
    }
    dueMs_ = std::max(fromMs, ceilMs(captureStart_ + samples * dt));
}

void SimulatedAccessory::finishCapture() {
    uint64_t finishedAt = dueMs_;
    double dt = sampleInterval();
    double attenuation = attenuationDb();
    std::vector<uint8_t> packets;
    if (captureRolling_) {
        int block = profile_.streams ? profile_.power.totalValues() : profile_.power.values;
        std::vector<uint8_t> raw(static_cast<size_t>(block));
        for (int k = 0; k < block; ++k) {
            double t = rollCursor_ + k * dt;
            // Noise is drawn per sample time so overlapping blocks agree.
            SimRandom rng(
                SimRandom::mix(seed_, 0x7011, static_cast<uint64_t>(std::llround(t * 1e7))));
            raw[static_cast<size_t>(k)] =
                profile_.powerCal.rawOf(pulseTrain_.sampleDbm(t, rng) - attenuation);
        }
        if (profile_.streams) {
            encoder_.powerCapture(raw, false, false, packets);
        } else {
            encoder_.powerSegment(static_cast<int>(captureCount_ % profile_.power.segments), raw,
                                  false, packets);
        }
        ++captureCount_;
        rollCursor_ += block * dt;
    } else if (captureStart_ >= 0.0) {
        int samples = profile_.power.totalValues();
        std::vector<uint8_t> raw(static_cast<size_t>(samples));
        SimRandom rng(SimRandom::mix(seed_, 0xCA97, captureCount_++));
        for (int k = 0; k < samples; ++k) {
            double t = captureStart_ + k * dt;
            raw[static_cast<size_t>(k)] =
                profile_.powerCal.rawOf(pulseTrain_.sampleDbm(t, rng) - attenuation);
        }
        encoder_.powerCapture(raw, captureTriggered_, true, packets);
    }
    queue(packets);

    if (profile_.streams) {
        uint64_t next =
            captureRolling_ ? finishedAt : std::max(finishedAt, jobStartMs_ + kCapturePacingMs);
        jobStartMs_ = next;
        planCapture(next);
        if (dueMs_ <= finishedAt) {
            dueMs_ = finishedAt + 1;
        }
    } else {
        dueMs_ = kNever;
    }
}

void SimulatedAccessory::finishScan() {
    std::vector<SimAccessPoint> found = accessPoints_.scan(scanCount_++, true, profile_.has5GHz);
    std::vector<uint8_t> packets;
    // Lists hold at most 20 records: a full list announces that another follows, so a scan
    // of exactly 20 ends with an empty list.
    size_t at = 0;
    for (;;) {
        size_t count = std::min(found.size() - at, PacketEncoder::kMaxRecordsPerList);
        encoder_.accessPointList(std::span(found).subspan(at, count), packets);
        at += count;
        if (count < PacketEncoder::kMaxRecordsPerList) {
            break;
        }
    }
    queue(packets);
    dueMs_ += profile_.scanDurationMs;
}

void SimulatedAccessory::queue(const std::vector<uint8_t>& packets) {
    if (packets.empty()) {
        return;
    }
    if (output_.size() + packets.size() > outputLimit_) {
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
