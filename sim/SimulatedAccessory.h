#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "sim/AccessPointScene.h"
#include "sim/FirmwareSettings.h"
#include "sim/GenerationProfile.h"
#include "sim/PacketEncoder.h"
#include "sim/PowerCapturer.h"
#include "sim/SpectrumScene.h"

// Software model of an accessory's firmware. The host writes command bytes with receive(); the
// model answers on simulated time: advanceTo()/step() run its measurements, and read() drains
// the bytes it has sent, as a bulk IN read would. There is no real clock, so tests, the fake
// USB device and the demonstration recorder all step time themselves.
//
// The first generation is polled: every request yields one sweep or capture, and a request that
// arrives while one is being taken is remembered (one deep). The later generations stream after
// a request until a halt command, which they acknowledge. Replies to discovery and settings go
// out at once; a settings command or a discovery request also stops any measurement in progress.
// An access-point scan is its own activity: the second generation keeps scanning while it streams
// sweeps (the host asks for both at once), the third replaces one with the other.
class SimulatedAccessory {
  public:
    static constexpr uint64_t kNever = UINT64_MAX;

    virtual ~SimulatedAccessory() = default;

    static std::unique_ptr<SimulatedAccessory> create(SimGeneration generation, uint64_t seed,
                                                      SignalType signal = SignalType::Wifi);

    // Host to accessory. A command split over several writes is completed by the next one;
    // bytes that cannot start a command are skipped.
    void receive(std::span<const uint8_t> bytes);

    void advanceTo(uint64_t ms);
    void step(uint64_t dtMs) { advanceTo(now_ + dtMs); }
    uint64_t now() const { return now_; }

    // Accessory to host: copies up to `capacity` sent bytes and removes them from the queue.
    size_t read(uint8_t* buffer, size_t capacity);
    size_t available() const { return output_.size(); }
    std::vector<uint8_t> readAll();

    // The firmware's transmit memory. While the host does not read, a measurement that no
    // longer fits is lost whole (a sweep, a capture, a scan's lists), so the stream stays made
    // of complete packets. Replies to commands are never lost: the host waits for them.
    static constexpr size_t kDefaultOutputLimit = 256 * 1024;
    void setOutputLimit(size_t bytes) { outputLimit_ = bytes; }
    uint64_t droppedBursts() const { return droppedBursts_; }

    // What is in the air changes; the firmware notices only through its measurements.
    void setSignal(SignalType signal);

    const GenerationProfile& profile() const { return profile_; }
    const PacketEncoder& encoder() const { return encoder_; }
    const FirmwareSettings& settings() const { return settings_; }
    const AccessPointScene& accessPoints() const { return accessPoints_; }
    const PulseTrainScene& pulseTrain() const { return capturer_.pulseTrain(); }

    bool isMeasuring() const { return job_ != Job::Idle || scanDueMs_ != kNever; }
    bool isScanning() const { return scanDueMs_ != kNever; }
    uint64_t skippedBytes() const { return skippedBytes_; }
    uint64_t ignoredCommands() const { return ignoredCommands_; }

  protected:
    SimulatedAccessory(SimGeneration generation, uint64_t seed, SignalType signal);

    // Decodes a complete settings command of profile().settingsLength bytes into `out`.
    // False for a command this firmware would refuse (then nothing is acknowledged).
    virtual bool decodeSettings(std::span<const uint8_t> command, FirmwareSettings& out) const = 0;

  private:
    enum class Job : uint8_t { Idle, Spectrum, Power };

    void handleRequest(uint8_t code);
    void start(Job job);
    void startScan();
    void stopAll();
    void runDue();

    enum class Burst : uint8_t { Measurement, Reply };
    void queue(const std::vector<uint8_t>& packets, Burst burst);
    void finishSweep();
    void finishCapture();
    void finishScan();

    const GenerationProfile& profile_;
    PacketEncoder encoder_;
    uint64_t seed_;
    std::unique_ptr<SpectrumScene> scene_;
    AccessPointScene accessPoints_;
    PowerCapturer capturer_;
    FirmwareSettings settings_;

    uint64_t now_ = 0;
    std::vector<uint8_t> input_;
    std::deque<uint8_t> output_;
    size_t outputLimit_ = kDefaultOutputLimit;
    uint64_t droppedBursts_ = 0;
    uint64_t skippedBytes_ = 0;
    uint64_t ignoredCommands_ = 0;

    Job job_ = Job::Idle;
    Job pending_ = Job::Idle;  // the polled generation's one-deep request latch
    uint64_t dueMs_ = kNever;
    uint64_t jobStartMs_ = 0;
    uint64_t scanDueMs_ = kNever;  // end of the current pass over the channels while scanning
    uint64_t scanCount_ = 0;
};
