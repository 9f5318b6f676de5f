#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/ResourceReader.h"
#include "model/DataLogFile.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "sim/DemoRecorder.h"
#include "sim/SimulatedAccessory.h"
#include "tests/link/AccessoryEndpoints.h"
#include "tests/link/FakeUsbBackend.h"

// The simulated firmware behind the fake bus's endpoints. Each IN transfer first lets the firmware
// catch up with the test's clock. Everything it sends is kept so a test can compare the model with
// what was on the wire.
class SimEndpoints : public AccessoryEndpoints {
  public:
    SimEndpoints(SimGeneration generation, const ManualClock& clock, uint64_t seed = 11,
                 SignalType signal = SignalType::Wifi)
        : sim_(SimulatedAccessory::create(generation, seed, signal)), clock_(clock) {}

    void receive(const uint8_t* data, size_t length) override {
        std::lock_guard<std::mutex> guard(lock_);
        received_.emplace_back(data, data + length);
        if (!deaf_) {
            sim_->advanceTo(clock_.nowMilliseconds());
            sim_->receive(std::span<const uint8_t>(data, length));
        }
    }
    size_t transmit(uint8_t* buffer, size_t capacity) override {
        std::lock_guard<std::mutex> guard(lock_);
        sim_->advanceTo(clock_.nowMilliseconds());
        size_t n = sim_->read(buffer, capacity);
        sent_.insert(sent_.end(), buffer, buffer + n);
        return n;
    }
    size_t pending() {
        std::lock_guard<std::mutex> guard(lock_);
        sim_->advanceTo(clock_.nowMilliseconds());
        return sim_->available();
    }
    // Commands reach the wire but not the firmware (a lost command).
    void setDeaf(bool deaf) {
        std::lock_guard<std::mutex> guard(lock_);
        deaf_ = deaf;
    }
    std::vector<std::vector<uint8_t>> received() {
        std::lock_guard<std::mutex> guard(lock_);
        return received_;
    }
    std::vector<uint8_t> sent() {
        std::lock_guard<std::mutex> guard(lock_);
        return sent_;
    }
    void clearSent() {
        std::lock_guard<std::mutex> guard(lock_);
        sent_.clear();
    }
    const GenerationProfile& profile() const { return sim_->profile(); }

  private:
    std::mutex lock_;
    std::unique_ptr<SimulatedAccessory> sim_;
    const ManualClock& clock_;
    bool deaf_ = false;
    std::vector<std::vector<uint8_t>> received_;
    std::vector<uint8_t> sent_;
};

// Resource files held in memory, by name.
class MemoryResources : public ResourceReader {
  public:
    std::vector<uint8_t> readFile(const std::string& name) const override {
        std::lock_guard<std::mutex> guard(lock_);
        ++reads_[name];
        auto it = files_.find(name);
        return it == files_.end() ? std::vector<uint8_t>{} : it->second;
    }
    void put(const std::string& name, std::vector<uint8_t> bytes) {
        std::lock_guard<std::mutex> guard(lock_);
        files_[name] = std::move(bytes);
    }
    int reads(const std::string& name) const {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = reads_.find(name);
        return it == reads_.end() ? 0 : it->second;
    }

    // The demonstration recordings of one generation, made once per test program.
    static const MemoryResources& recordings(SimGeneration generation) {
        static std::map<SimGeneration, std::unique_ptr<MemoryResources>> cache;
        static std::mutex cacheLock;
        std::lock_guard<std::mutex> guard(cacheLock);
        auto& entry = cache[generation];
        if (!entry) {
            entry = std::make_unique<MemoryResources>();
            for (DemoRecorder::File& file : DemoRecorder().record(generation)) {
                entry->put(file.path, std::move(file.bytes));
            }
        }
        return *entry;
    }

  private:
    mutable std::mutex lock_;
    std::map<std::string, std::vector<uint8_t>> files_;
    mutable std::map<std::string, int> reads_;
};

// Fixed local time for data-log names and stamps: 2026-03-04 05:06:07.
inline bool fixedLocalTime(std::tm& out) {
    out = std::tm{};
    out.tm_year = 126;
    out.tm_mon = 2;
    out.tm_mday = 4;
    out.tm_hour = 5;
    out.tm_min = 6;
    out.tm_sec = 7;
    return true;
}

// A model, a manual clock and a controller without a worker thread.
struct ControllerRig {
    explicit ControllerRig(const ResourceReader* resources = nullptr, std::string logDir = "")
        : log(std::move(logDir), &clock, fixedLocalTime), controller(model, options(resources)) {}

    AccessoryCommunicationDelegate::Options options(const ResourceReader* resources) {
        AccessoryCommunicationDelegate::Options o;
        o.resources = resources;
        o.clock = &clock;
        o.dataLog = &log;
        o.console = console;
        o.startWorker = false;
        return o;
    }
    ~ControllerRig() { std::fclose(console); }

    // One worker pass after 100 ms.
    void pass() {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller.runPass();
    }
    // Bytes as the link delivers them, then the frame hand-over the model's owner makes. What the
    // test wrote into the model is published first, as the instrument does with every change.
    void feed(const std::vector<uint8_t>& bytes) {
        controller.publishModel();
        controller.didReceiveData(nullptr, nullptr, bytes.data(), static_cast<int>(bytes.size()));
        controller.deliverFrames();
    }

    std::FILE* console = std::tmpfile();
    ManualClock clock{1000};
    SpectrumSettings model;
    DataLogFile log;
    AccessoryCommunicationDelegate controller;
};

// The controller on a real link over the fake bus, with a simulated accessory plugged in. The
// link is stepped by hand: each tick is one worker pass and enough link passes to move every
// queued command and every byte the accessory has sent.
struct LinkRig : ControllerRig {
    explicit LinkRig(SimGeneration generation, std::string logDir = "", uint64_t seed = 11)
        : ControllerRig(nullptr, std::move(logDir)),
          endpoints(std::make_shared<SimEndpoints>(generation, clock, seed)),
          link(bus, console) {
        accessory = bus.addAccessory();
        bus.modify(accessory, [this](FakeUsbBackend::Device& d) { d.endpoints = endpoints; });
        controller.bind(link);
        link.runPass();  // finds and opens the accessory
    }

    void pump() {
        for (int i = 0; i < 64 && (link.queuedPackets() > 0 || endpoints->pending() > 0); ++i) {
            link.runPass();
        }
    }
    void tick() {
        pass();
        pump();
        controller.deliverFrames();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            tick();
        }
    }
    // Ticks until `done` holds, at most `limit` passes; false when it never did.
    template <typename Done>
    bool tickUntil(Done done, int limit = 600) {
        for (int i = 0; i < limit; ++i) {
            if (done()) {
                return true;
            }
            tick();
        }
        return done();
    }
    // Commands the accessory was sent whose first bytes match.
    int sentCount(std::vector<uint8_t> head) {
        int count = 0;
        for (const auto& command : endpoints->received()) {
            if (command.size() >= head.size() &&
                std::equal(head.begin(), head.end(), command.begin())) {
                ++count;
            }
        }
        return count;
    }

    FakeUsbBackend bus;
    std::shared_ptr<SimEndpoints> endpoints;
    AccessoryCommunication link;
    int accessory = 0;
};
