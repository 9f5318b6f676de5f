// The controller's whole packet path: accessory bytes arrive in reads of arbitrary sizes, either
// through the link over the fake bus (connected, as from a plugged accessory) or straight into the
// packet handler (as the playback delivers them), while the worker's passes run between reads.
// Every decoded measurement is written into the model, whose buffers the sanitizers watch.
//
// Input: byte 0 picks the mode, byte 1 the chunk pattern, the rest is the accessory's stream.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "model/DataLogFile.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/link/AccessoryEndpoints.h"
#include "tests/link/FakeUsbBackend.h"

namespace {

// Mode bits of byte 0.
constexpr uint8_t kThroughLink = 0x01;
constexpr uint8_t kPowerMode = 0x02;
constexpr uint8_t kScanOn = 0x04;
constexpr uint8_t kWaterfall = 0x08;
constexpr uint8_t kBand5 = 0x10;
constexpr uint8_t kLogRequested = 0x20;
constexpr uint8_t kReconfigure = 0x40;

// Cuts the stream into reads whose sizes cycle through the pattern's bits: one to seven bytes,
// or a few hundred, so packets split at every offset and several arrive in one read.
class ChunkedStream {
  public:
    ChunkedStream(const uint8_t* data, size_t size, uint8_t pattern)
        : data_(data), size_(size), pattern_(pattern) {}

    size_t next(uint8_t* out, size_t capacity) {
        size_t chunk = ((pattern_ >> (step_ % 8)) & 0x01) ? 300 + (pattern_ % 13) * 100
                                                          : 1 + (pattern_ + step_) % 7;
        ++step_;
        chunk = std::min({chunk, capacity, size_ - pos_});
        std::copy(data_ + pos_, data_ + pos_ + chunk, out);
        pos_ += chunk;
        return chunk;
    }
    bool done() const { return pos_ >= size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    uint8_t pattern_;
    size_t pos_ = 0;
    size_t step_ = 0;
};

// The accessory's endpoints: commands from the host are dropped, reads come from the stream.
class StreamEndpoints : public AccessoryEndpoints {
  public:
    explicit StreamEndpoints(ChunkedStream& stream) : stream_(stream) {}
    void receive(const uint8_t*, size_t) override {}
    size_t transmit(uint8_t* buffer, size_t capacity) override {
        std::lock_guard<std::mutex> guard(lock_);
        return stream_.next(buffer, capacity);
    }

  private:
    std::mutex lock_;
    ChunkedStream& stream_;
};

bool fixedTime(std::tm& out) {
    out = std::tm{};
    out.tm_year = 126;
    out.tm_mday = 1;
    return true;
}

std::FILE* nullConsole() {
    static std::FILE* console = std::fopen("/dev/null", "w");
    return console;
}

void configure(SpectrumSettings& model, uint8_t mode) {
    model.common_settings.spectrumMode = (mode & kPowerMode) ? 0 : 1;
    model.spectrum_settings.ssidScanOn = (mode & kScanOn) ? 1 : 0;
    model.spectrum_settings.viewMode = (mode & kWaterfall) ? 1 : 0;
    model.spectrum_settings.band = (mode & kBand5) ? 1 : 0;
    if (mode & kLogRequested) {
        model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const uint8_t mode = data[0];
    ChunkedStream stream(data + 2, size - 2, data[1]);

    ManualClock clock(1000);
    SpectrumSettings model;
    configure(model, mode);
    // The log directory does not exist: a requested log fails to open, the path around it runs.
    DataLogFile log("/nonexistent-tarno-fuzz/", &clock, fixedTime);
    AccessoryCommunicationDelegate::Options options;
    options.clock = &clock;
    options.dataLog = &log;
    options.console = nullConsole();
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(model, options);

    if (mode & kThroughLink) {
        FakeUsbBackend bus;
        auto endpoints = std::make_shared<StreamEndpoints>(stream);
        int id = bus.addAccessory();
        bus.modify(id, [&](FakeUsbBackend::Device& d) { d.endpoints = endpoints; });
        AccessoryCommunication link(bus, nullConsole());
        controller.bind(link);
        link.runPass();  // opens the accessory
        int reads = 0;
        while (!stream.done()) {
            link.runPass();
            if (++reads % 4 == 0) {
                clock.advance(AccessoryCommunicationDelegate::kPassMs);
                controller.runPass();
            }
            if ((mode & kReconfigure) && reads == 20) {
                controller.requestReconfigure(true);
            }
        }
        link.stop();
    } else {
        std::vector<uint8_t> read(AccessoryCommunication::kReadCapacity);
        int reads = 0;
        while (!stream.done()) {
            size_t n = stream.next(read.data(), read.size());
            // An exact-size block per read, so reading past it is caught.
            std::vector<uint8_t> exact(read.begin(), read.begin() + static_cast<long>(n));
            controller.didReceiveData(nullptr, nullptr, exact.data(), static_cast<int>(n));
            if (++reads % 4 == 0) {
                controller.deliverFrames();
                clock.advance(AccessoryCommunicationDelegate::kPassMs);
            }
        }
    }
    // The framer never holds more than one packet's worth of bytes.
    if (controller.bufferedBytes() >
        4 * static_cast<size_t>(AccessoryCommunication::kReadCapacity)) {
        std::abort();
    }
    return 0;
}
