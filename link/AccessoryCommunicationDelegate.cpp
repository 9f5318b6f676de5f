#include "link/AccessoryCommunicationDelegate.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "link/AccessoryCommunication.h"
#include "link/BramelAccessoryDevice.h"
#include "model/MillisecondClock.h"

using Phase = ControllerState::Phase;

AccessoryCommunicationDelegate::AccessoryCommunicationDelegate(SpectrumSettings& model,
                                                               Options options)
    : options_(std::move(options)),
      ownLog_(options_.dataLog ? nullptr : std::make_unique<DataLogFile>("", options_.clock)),
      logFile_(options_.dataLog ? *options_.dataLog : *ownLog_),
      delivery_(model, logFile_),
      intake_(settings_, state_, frames_, replies_, protocolEnvironment(delivery_.screenLog())),
      machine_(settings_, state_, intake_, replies_, frames_),
      usb_(state_),
      playback_(
          options_.resources,
          [this](const uint8_t* b, size_t n) {
              // The same packet path as the link's, marked so that a log says what it holds.
              intake_.deliver(b, n, now(), MeasurementIntake::kDemonstration);
          },
          [this](const uint8_t* b, size_t n) { return intake_.packetLength(b, n); },
          [this](uint8_t hardware) {
              frames_.push(LinkEvent::make(LinkEvent::kDemoTriggerPreset, false, hardware));
          }) {
    delivery_.setAccessoryControl(this);
    // What the model holds when the controller starts is what the first commands are built from.
    delivery_.publish();
    if (options_.startWorker) {
        startWorker();
    }
}

AccessoryCommunicationDelegate::~AccessoryCommunicationDelegate() {
    stopWorker();
}

ProtocolEnvironment AccessoryCommunicationDelegate::protocolEnvironment(DiagnosticSink* log) {
    ProtocolEnvironment environment;
    environment.log = log;
    environment.console = options_.console;
    environment.deviceConnected = [this] { return connected(); };
    return environment;
}

uint64_t AccessoryCommunicationDelegate::now() const {
    return options_.clock ? options_.clock->nowMilliseconds() : nowMilliseconds();
}

void AccessoryCommunicationDelegate::bind(AccessoryCommunication& link) {
    link.setConnectionHandlers(
        [this](AccessoryCommunication* l, BramelAccessoryDevice* d) { return shouldConnect(l, d); },
        [this](AccessoryCommunication* l, BramelAccessoryDevice* d) { didConnect(l, d); },
        [this](AccessoryCommunication* l, BramelAccessoryDevice* d, int c) {
            didDisconnect(l, d, c);
        },
        [this](AccessoryCommunication* l, BramelAccessoryDevice* d, int c) {
            didDisconnect(l, d, c);
        });
    link.setDataHandlers([this](AccessoryCommunication* l, BramelAccessoryDevice* d,
                                const uint8_t* b, int n) { didReceiveData(l, d, b, n); },
                         nullptr);
}

// --- Worker thread ---------------------------------------------------------------------------

void AccessoryCommunicationDelegate::startWorker() {
    if (running_ || worker_.joinable()) {
        return;
    }
    stopRequested_ = false;
    running_ = true;
    worker_ = std::thread([this] { threadMain(); });
}

void AccessoryCommunicationDelegate::stopWorker() {
    {
        std::lock_guard<std::mutex> guard(wakeLock_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
    running_ = false;
}

void AccessoryCommunicationDelegate::threadMain() {
    while (!stopRequested_) {
        uint64_t start = now();
        pass();
        uint64_t until = start + kPassMs;
        if (options_.waitUntil) {
            options_.waitUntil(until);
            continue;
        }
        uint64_t current = now();
        if (current < until) {
            std::unique_lock<std::mutex> lock(wakeLock_);
            wake_.wait_for(lock, std::chrono::milliseconds(until - current),
                           [this] { return stopRequested_.load(); });
        }
    }
    running_ = false;
}

void AccessoryCommunicationDelegate::runPass() {
    // Whoever steps the passes owns the model: what it changed since goes to the link first.
    publishModel();
    pass();
    deliverFrames();
}

size_t AccessoryCommunicationDelegate::deliverFrames() {
    frames_.takeInto(delivering_);
    const size_t sweeps = delivery_.deliver(delivering_);
    frames_.recycle(delivering_);
    return sweeps;
}

void AccessoryCommunicationDelegate::pass() {
    std::lock_guard<std::mutex> pass(passLock_);
    machine_.apply(mailbox_.take());
    const uint64_t t = now();
    if (state_.connected()) {
        machine_.pass(t, usb_);
    } else if (options_.resources != nullptr) {
        machine_.pass(t, playback_);
    }
    // A sink that answers at once has replied inside this pass.
    machine_.applyReplies();
}

// --- Requests --------------------------------------------------------------------------------

void AccessoryCommunicationDelegate::postWhenIdentified(const RequestMailbox::Request& request) {
    if (state_.identified) {
        mailbox_.post(request);
    }
}

void AccessoryCommunicationDelegate::requestHalt() {
    postWhenIdentified({.phase = Phase::kHalt, .haltRequested = 0});
}

void AccessoryCommunicationDelegate::requestReconfigure(bool clearData) {
    postWhenIdentified({.phase = Phase::kHalt,
                        .haltRequested = 1,
                        .resendSettings = true,
                        .clearDataOnAck = clearData ? 1 : 0});
}

void AccessoryCommunicationDelegate::resumeStreaming() {
    postWhenIdentified({.phase = Phase::kRequest});
}

void AccessoryCommunicationDelegate::requestSingleSweep() {
    postWhenIdentified({.phase = Phase::kSendSettings, .clearDataOnAck = 1});
}

void AccessoryCommunicationDelegate::restartPlayback() {
    // A connected accessory is not the demonstration: rediscovering it would only interrupt it.
    if (!connected()) {
        mailbox_.post({.phase = Phase::kSendDiscovery});
    }
}

// --- Link handlers ---------------------------------------------------------------------------

bool AccessoryCommunicationDelegate::shouldConnect(AccessoryCommunication*,
                                                   BramelAccessoryDevice* device) {
    if (settings_.inBackground() || device == nullptr) {
        return false;
    }
    if (device->preApproved) {
        return true;
    }
    UsbDeviceDescriptor descriptor;
    return device->deviceDescriptor(descriptor) &&
           descriptor.vendorId == BramelAccessoryDevice::kVendorId &&
           descriptor.productId == BramelAccessoryDevice::kProductId;
}

void AccessoryCommunicationDelegate::didConnect(AccessoryCommunication* link,
                                                BramelAccessoryDevice* device) {
    std::lock_guard<std::mutex> pass(passLock_);
    intake_.clearSegments();
    state_.discardFirstRead = true;
    settings_.setConnected(true);
    machine_.connectionChanged(true);
    state_.link = link;
    state_.device = device;
}

void AccessoryCommunicationDelegate::didDisconnect(AccessoryCommunication*, BramelAccessoryDevice*,
                                                   int) {
    std::lock_guard<std::mutex> pass(passLock_);
    state_.link = nullptr;
    state_.device = nullptr;
    intake_.clearSegments();
    state_.discardFirstRead = true;
    settings_.setConnected(false);
    machine_.connectionChanged(false);
}

void AccessoryCommunicationDelegate::didReceiveData(AccessoryCommunication*, BramelAccessoryDevice*,
                                                    const uint8_t* bytes, int length) {
    if (bytes == nullptr || length <= 0) {
        return;
    }
    intake_.deliver(bytes, static_cast<size_t>(length), now());
}
