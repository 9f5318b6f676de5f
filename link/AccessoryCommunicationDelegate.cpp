#include "link/AccessoryCommunicationDelegate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "link/AccessoryCommunication.h"
#include "link/BramelAccessoryDevice.h"
#include "link/HeatMapBuilder.h"
#include "model/MillisecondClock.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr uint64_t kScanListWaitMs = 250;
constexpr uint64_t kReservedScanWaitMs = 10000;
constexpr size_t kAccessPointsPerFullList = 20;
constexpr int kFirstGenerationCode = 2;

uint64_t elapsed(uint64_t now, uint64_t since) {
    return now >= since ? now - since : 0;
}

// Seconds from the model or a description as whole milliseconds; nothing sensible is longer than
// a day, and NaN or negative means no wait.
uint64_t millisecondsOf(double seconds) {
    if (!(seconds > 0.0)) {
        return 0;
    }
    return static_cast<uint64_t>(std::min(seconds, 86400.0) * 1000.0);
}

}  // namespace

AccessoryCommunicationDelegate::AccessoryCommunicationDelegate(SpectrumSettings& model,
                                                               Options options)
    : model_(model),
      options_(std::move(options)),
      ownLog_(options_.dataLog ? nullptr : std::make_unique<DataLogFile>("", options_.clock)),
      logFile_(options_.dataLog ? *options_.dataLog : *ownLog_),
      logger_(logFile_),
      playback_(options_.resources) {
    ProtocolEnvironment environment;
    environment.log = model_.runtime.screenLog.load();
    environment.console = options_.console;
    environment.deviceConnected = [this] { return connected(); };
    framer_.setProtocolEnvironment(std::move(environment));
    if (options_.startWorker) {
        startWorker();
    }
}

AccessoryCommunicationDelegate::~AccessoryCommunicationDelegate() {
    stopWorker();
}

uint64_t AccessoryCommunicationDelegate::now() const {
    return options_.clock ? options_.clock->nowMilliseconds() : nowMilliseconds();
}

void AccessoryCommunicationDelegate::bind(AccessoryCommunication& link) {
    using namespace std::placeholders;
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
        runPass();
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

AccessoryCommunicationDelegate::SettingsSnapshot AccessoryCommunicationDelegate::snapshot() {
    std::lock_guard<ModelLock> guard(model_.settingsLock);
    SettingsSnapshot s;
    const SpectrumViewSettings& view = model_.spectrum_settings;
    const AccessoryDescription& a = model_.accessory;
    s.spectrumMode = model_.common_settings.spectrumMode != 0;
    s.ssidScanOn = view.ssidScanOn != 0;
    s.waterfall = view.viewMode == 1;
    s.ssidReserved = view.ssidReserved != 0;
    s.scanKeepsRefresh = a.scanKeepsRefresh;
    s.refreshInterval = view.refreshInterval;
    s.band = view.band;
    s.demo = model_.demo;
    s.powerInterval = a.powerInterval;
    s.spectrumInterval24 = a.spectrumInterval24;
    s.spectrumInterval5 = a.spectrumInterval5;
    s.scanFirstDelay = a.scanFirstDelay;
    s.scanRepeatInterval = a.scanRepeatInterval;
    return s;
}

void AccessoryCommunicationDelegate::runPass() {
    std::lock_guard<std::mutex> pass(passLock_);
    uint64_t t = now();
    if (connected()) {
        connectedPass(t);
    } else if (options_.resources != nullptr) {
        playbackPass(t);
    }
}

void AccessoryCommunicationDelegate::connectedPass(uint64_t now) {
    if (!identified_ && phase_ != kSendDiscovery) {
        phase_ = kSendDiscovery;
    }
    SettingsSnapshot s = snapshot();
    scheduleScan(now, s, true);
    if (s.ssidScanOn && !s.scanKeepsRefresh && s.waterfall) {
        scanPhaseStart_ = now;
    }
    phaseStep(now, s);
}

bool AccessoryCommunicationDelegate::scanEligible() const {
    int p = phase_;
    return p == kStreaming || p == kScanStarted;
}

void AccessoryCommunicationDelegate::scheduleScan(uint64_t now, const SettingsSnapshot& s,
                                                  bool connected) {
    if (!identified_ || !s.spectrumMode || !s.ssidScanOn || s.waterfall || s.scanKeepsRefresh ||
        !scanEligible() || !(s.refreshInterval > 0.0f)) {
        return;
    }
    uint64_t interval = millisecondsOf(std::trunc(s.refreshInterval));
    if (!scanPhase_ && elapsed(now, scanPhaseStart_) >= interval) {
        phase_ = kHalt;
        haltRequested_ = true;
        scanPhase_ = true;
    } else if (connected && scanPhase_ &&
               ((scanListCount_ != 0 && elapsed(now, scanStart_) >= kScanListWaitMs) ||
                (s.ssidReserved && elapsed(now, scanStart_) >= kReservedScanWaitMs))) {
        phase_ = kHalt;
        haltRequested_ = true;
        scanPhase_ = false;
    }
}

bool AccessoryCommunicationDelegate::sendBuilt(int length, int kind,
                                               const std::function<int(uint8_t*, size_t)>& build) {
    AccessoryCommunication* link = link_;
    if (link == nullptr || length < 1) {
        return false;
    }
    auto* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length)));
    if (buffer == nullptr) {
        return false;
    }
    int written = build(buffer, static_cast<size_t>(length));
    if (written < 1 || written > length || !link->send(buffer, written, kind)) {
        std::free(buffer);
        return false;
    }
    return true;
}

void AccessoryCommunicationDelegate::phaseStep(uint64_t now, const SettingsSnapshot& s) {
    switch (phase_.load()) {
        case kSendDiscovery:
            identified_ = false;
            sendBuilt(3, kDiscoveryKind, [](uint8_t* b, size_t) {
                b[0] = 0xAA;
                b[1] = 0x03;
                b[2] = 0x03;
                return 3;
            });
            retryCountdown_ = kRetryPasses;
            ackCount_ = 0;
            phase_ = kAwaitDiscovery;
            break;
        case kAwaitDiscovery:
            if (!identified_ && --retryCountdown_ <= 0) {
                phase_ = kSendDiscovery;
            }
            break;
        case kIdentified: {
            identified_ = true;
            phase_ = kSendSettings;
            clearDataOnAck_ = true;
            std::lock_guard<std::mutex> guard(packetLock_);
            AccessoryProtocol* protocol = framer_.protocol();
            primePowerRequest_ =
                protocol != nullptr && protocol->generationCode() == kFirstGenerationCode;
            break;
        }
        case kSendSettings:
            sendSettings();
            break;
        case kAwaitSettingsAck:
            if (--retryCountdown_ <= 0) {
                phase_ = kSendSettings;
            }
            break;
        case kSettingsAcked:
            acknowledged(now, false);
            break;
        case kRequest:
            sendStreamRequests(now, s);
            break;
        case kHalt: {
            model_.runtime.ssidAcquiring = false;
            std::lock_guard<std::mutex> guard(packetLock_);
            AccessoryProtocol* protocol = framer_.protocol();
            if (protocol != nullptr && !protocol->isStreaming()) {
                sendBuilt(
                    protocol->haltCommandLength(), kRequestKind,
                    [protocol](uint8_t* b, size_t n) { return protocol->buildHaltCommand(b, n); });
                retryCountdown_ = kRetryPasses;
                phase_ = kAwaitHaltAck;
            } else {
                phase_ = kHalted;
            }
            break;
        }
        case kAwaitHaltAck:
            // A lost halt acknowledgement would leave the controller waiting forever.
            if (--retryCountdown_ <= 0) {
                phase_ = kHalt;
            }
            break;
        case kHalted:
            if (haltRequested_) {
                if (resendSettings_) {
                    resendSettings_ = false;
                    phase_ = kSendSettings;
                } else {
                    phase_ = kRequest;
                }
                haltRequested_ = false;
            }
            break;
        default:
            break;
    }
}

void AccessoryCommunicationDelegate::sendSettings() {
    std::lock_guard<std::mutex> guard(packetLock_);
    AccessoryProtocol* protocol = framer_.protocol();
    if (protocol == nullptr) {
        phase_ = kSendDiscovery;
        return;
    }
    bool sent = sendBuilt(protocol->settingsCommandLength(), kSettingsKind,
                          [this, protocol](uint8_t* b, size_t n) {
                              std::lock_guard<ModelLock> settings(model_.settingsLock);
                              return protocol->buildSettingsCommand(b, n, &model_);
                          });
    if (sent) {
        retryCountdown_ = kRetryPasses;
        phase_ = kAwaitSettingsAck;
    }
}

void AccessoryCommunicationDelegate::acknowledged(uint64_t now, bool fromPlayback) {
    {
        std::lock_guard<std::mutex> guard(packetLock_);
        logger_.setScaleChanged();
    }
    int acks = ++ackCount_;
    phase_ = kRequest;
    if (clearDataOnAck_) {
        ScopedModelLocks locks(model_, ScopedModelLocks::kAll);
        model_.clearSpectrumData();
        model_.clearPowerData();
        model_.resetCursorReadouts();
        clearDataOnAck_ = false;
    }
    model_.runtime.triggerStatus = 2;
    lastTriggerTime_ = now;
    scanPhaseStart_ = now;
    SettingsSnapshot s = snapshot();
    bool scanning = s.spectrumMode && s.ssidScanOn && !s.waterfall;
    bool scanFirst = s.refreshInterval == 0.0f || (!fromPlayback && acks == 1);
    scanPhase_ = scanning && scanFirst;
    if (fromPlayback) {
        playback_.reset();
    }
}

void AccessoryCommunicationDelegate::sendStreamRequests(uint64_t now, const SettingsSnapshot& s) {
    std::lock_guard<std::mutex> guard(packetLock_);
    AccessoryProtocol* protocol = framer_.protocol();
    if (protocol == nullptr) {
        return;
    }
    int run = model_.runtime.runState;
    if (run != SpectrumSettings::kRunning && run != SpectrumSettings::kSingleShotArmed) {
        if (!(s.ssidScanOn && s.scanKeepsRefresh && s.waterfall)) {
            model_.runtime.ssidAcquiring = false;
        }
        phase_ = kHalt;
        return;
    }
    auto request = [this, protocol](int length,
                                    int (AccessoryProtocol::*build)(uint8_t*, size_t) const) {
        sendBuilt(length, kRequestKind,
                  [protocol, build](uint8_t* b, size_t n) { return (protocol->*build)(b, n); });
    };
    bool scan = false;
    if (!s.spectrumMode) {
        if (protocol->hasPowerMeter()) {
            if (primePowerRequest_.exchange(false)) {
                request(protocol->spectrumRequestLength(),
                        &AccessoryProtocol::buildSpectrumRequest);
            }
            request(protocol->powerRequestLength(), &AccessoryProtocol::buildPowerRequest);
        }
    } else {
        scan = s.ssidScanOn;
        bool spectrum = true;
        if (s.ssidScanOn && !s.scanKeepsRefresh && !s.waterfall) {
            if (!scanPhase_ && s.refreshInterval != 0.0f) {
                scan = false;
            } else {
                scan = true;
                spectrum = false;
                scanPhaseStart_ = now;
                scanStart_ = 0;
            }
        } else if (s.waterfall) {
            scan = false;
            scanPhaseStart_ = now;
            scanStart_ = 0;
        }
        if (scan && !s.ssidReserved && protocol->hasSsidScan()) {
            request(protocol->ssidRequestLength(), &AccessoryProtocol::buildSsidRequest);
        }
        if (spectrum && protocol->hasSpectrum()) {
            request(protocol->spectrumRequestLength(), &AccessoryProtocol::buildSpectrumRequest);
        }
    }
    model_.runtime.ssidAcquiring = scan;
    if (!protocol->isStreaming()) {
        phase_ = kStreaming;
    }
}

// --- Playback --------------------------------------------------------------------------------

void AccessoryCommunicationDelegate::deliverRecorded(const uint8_t* bytes, size_t length) {
    didReceiveData(nullptr, nullptr, bytes, static_cast<int>(std::min<size_t>(length, INT32_MAX)));
}

void AccessoryCommunicationDelegate::playbackPass(uint64_t now) {
    SettingsSnapshot s = snapshot();
    std::string prefix = DemoPlayback::prefix(s.demo.hardware);
    if (prefix.empty()) {
        return;
    }
    if (!identified_ && phase_ != kSendDiscovery) {
        phase_ = kSendDiscovery;
    }
    scheduleScan(now, s, false);
    if (s.ssidScanOn && !s.scanKeepsRefresh && s.waterfall) {
        scanPhaseStart_ = now;
    }
    auto deliver = [this](const uint8_t* b, size_t n) { deliverRecorded(b, n); };
    switch (phase_.load()) {
        case kSendDiscovery:
        case kAwaitDiscovery:
            identified_ = false;
            phase_ = kAwaitDiscovery;
            playback_.playFile(prefix + "discover.bin", deliver);
            break;
        case kIdentified:
            identified_ = true;
            phase_ = kSendSettings;
            clearDataOnAck_ = true;
            playbackPresets(s.demo.hardware);
            break;
        case kSendSettings:
        case kAwaitSettingsAck:
            phase_ = kAwaitSettingsAck;
            playback_.playFile(prefix + "settings.bin", deliver);
            break;
        case kSettingsAcked:
            acknowledged(now, true);
            break;
        case kRequest:
        case kStreaming:
        case kScanStarted: {
            int run = model_.runtime.runState;
            if (run == SpectrumSettings::kRunning || run == SpectrumSettings::kSingleShotArmed) {
                playRecordings(now, s);
            }
            break;
        }
        case kHalt:
        case kAwaitHaltAck:
            phase_ = kHalted;
            break;
        case kHalted:
            if (haltRequested_) {
                if (resendSettings_) {
                    resendSettings_ = false;
                    phase_ = kSendSettings;
                } else {
                    phase_ = kRequest;
                }
                haltRequested_ = false;
            }
            break;
        default:
            break;
    }
}

void AccessoryCommunicationDelegate::playbackPresets(int hardware) {
    // Trigger settings under which the recorded captures show a stable first picture.
    std::lock_guard<ModelLock> guard(model_.settingsLock);
    PowerSettings& p = model_.power_setting;
    p.triggerOnPower = 1;
    p.triggerHoldoff = 0.001f;
    if (hardware == 0) {
        p.triggerLevel = -31.7f;
        p.triggerDelay = 0.000016f;
        p.powerTimeBaseIndex = 16;
    } else {
        p.triggerDelay = 0.0000352f;
        p.powerTimeBaseIndex = 15;
        p.triggerLevel = hardware == 1 ? -36.31f : -31.7f;
    }
}

void AccessoryCommunicationDelegate::playRecordings(uint64_t now, const SettingsSnapshot& s) {
    auto deliver = [this](const uint8_t* b, size_t n) { deliverRecorded(b, n); };
    if (!s.spectrumMode) {
        playback_.playPower(s.demo, now, millisecondsOf(s.powerInterval), deliver);
        return;
    }
    if (s.band == 0) {
        playback_.playSpectrum(s.demo, 0, now, millisecondsOf(s.spectrumInterval24), deliver);
    } else if (s.band == 1) {
        playback_.playSpectrum(s.demo, 1, now, millisecondsOf(s.spectrumInterval5), deliver);
    }
    if (s.ssidScanOn && s.demo.signalType == 1 && s.demo.wifiSsid) {
        auto length = [this](const uint8_t* b, size_t n) {
            std::lock_guard<std::mutex> guard(packetLock_);
            AccessoryProtocol* protocol = framer_.protocol();
            return protocol ? protocol->packetLength(b, n) : -1;
        };
        playback_.playAccessPoints(s.demo, now, static_cast<double>(s.scanFirstDelay) * 1000.0,
                                   static_cast<double>(s.scanRepeatInterval) * 1000.0, length,
                                   deliver);
    }
}

// --- Link handlers ---------------------------------------------------------------------------

bool AccessoryCommunicationDelegate::shouldConnect(AccessoryCommunication*,
                                                   BramelAccessoryDevice* device) {
    if (model_.runtime.inBackground || device == nullptr) {
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
    {
        std::lock_guard<std::mutex> guard(packetLock_);
        clearSegments();
    }
    discardFirstRead_ = true;
    phase_ = kSendDiscovery;
    model_.runtime.deviceConnected = true;
    scanPhaseStart_ = 0;
    scanStart_ = 0;
    scanPhase_ = false;
    model_.runtime.ssidAcquiring = false;
    scanListCount_ = 0;
    link_ = link;
    device_ = device;
}

void AccessoryCommunicationDelegate::didDisconnect(AccessoryCommunication*, BramelAccessoryDevice*,
                                                   int) {
    std::lock_guard<std::mutex> pass(passLock_);
    link_ = nullptr;
    device_ = nullptr;
    {
        std::lock_guard<std::mutex> guard(packetLock_);
        clearSegments();
        logger_.closeOnDisconnect(model_);
    }
    discardFirstRead_ = true;
    phase_ = kSendDiscovery;
    model_.runtime.deviceConnected = false;
    scanPhaseStart_ = 0;
    scanStart_ = 0;
    scanPhase_ = false;
    model_.runtime.dataLogState = SpectrumSettings::kDataLogOff;
    model_.runtime.ssidAcquiring = false;
    scanListCount_ = 0;
}

void AccessoryCommunicationDelegate::requestHalt() {
    if (identified_) {
        haltRequested_ = false;
        phase_ = kHalt;
    }
}

void AccessoryCommunicationDelegate::requestReconfigure(bool clearData) {
    if (identified_) {
        haltRequested_ = true;
        resendSettings_ = true;
        clearDataOnAck_ = clearData;
        phase_ = kHalt;
    }
}

size_t AccessoryCommunicationDelegate::bufferedBytes() {
    std::lock_guard<std::mutex> guard(packetLock_);
    return framer_.buffered();
}

size_t AccessoryCommunicationDelegate::droppedBytes() {
    std::lock_guard<std::mutex> guard(packetLock_);
    return framer_.droppedBytes();
}

// --- Packet path -----------------------------------------------------------------------------

void AccessoryCommunicationDelegate::clearSegments() {
    powerSegments_.clear();
    sweepSegments24_.clear();
    sweepSegments5_.clear();
    rollCountdown_ = 0;
}

void AccessoryCommunicationDelegate::didReceiveData(AccessoryCommunication*, BramelAccessoryDevice*,
                                                    const uint8_t* bytes, int length) {
    if (bytes == nullptr || length <= 0) {
        return;
    }
    std::lock_guard<std::mutex> guard(packetLock_);
    if (discardFirstRead_.exchange(false)) {
        framer_.discard();
    }
    framer_.setIdentified(identified_);
    const uint64_t t = now();
    framer_.deliver(
        bytes, static_cast<size_t>(length),
        [this, t](const uint8_t* p, size_t n, int type) { handlePacket(p, n, type, t); });
}

void AccessoryCommunicationDelegate::handlePacket(const uint8_t* bytes, size_t length, int type,
                                                  uint64_t now) {
    AccessoryProtocol* protocol = framer_.protocol();
    if (protocol == nullptr) {
        return;
    }
    switch (type) {
        case packet_type::kDiscovery:
            if (phase_ == kAwaitDiscovery) {
                handleDiscovery(bytes, length);
            }
            break;
        case packet_type::kSettingsAck:
            if (protocol->parseSettingsAck(bytes, length) == 0) {
                clearSegments();
                phase_ = kSettingsAcked;
            }
            break;
        case packet_type::kHaltAck:
            if (protocol->parseHaltAck(bytes, length) == 0 &&
                (phase_ == kHalt || phase_ == kAwaitHaltAck)) {
                phase_ = kHalted;
            }
            break;
        case packet_type::kPower:
            handlePower(bytes, length, now);
            break;
        case packet_type::kSpectrum:
            handleSpectrum(bytes, length);
            break;
        case packet_type::kAccessPoints:
            handleAccessPoints(bytes, length, now);
            break;
        default:
            break;
    }
}

void AccessoryCommunicationDelegate::handleDiscovery(const uint8_t* bytes, size_t length) {
    AccessoryDescription description;
    if (framer_.protocol()->parseDescription(bytes, length, &description) != 0) {
        return;
    }
    {
        ScopedModelLocks locks(model_, ScopedModelLocks::kAll);
        model_.applyDescription(description);
    }
    identified_ = true;
    framer_.setIdentified(true);
    phase_ = kIdentified;
}

void AccessoryCommunicationDelegate::handlePower(const uint8_t* bytes, size_t length,
                                                 uint64_t now) {
    int run = model_.runtime.runState;
    if (run != SpectrumSettings::kRunning && run != SpectrumSettings::kSingleShotArmed) {
        return;
    }
    AccessoryProtocol& protocol = *framer_.protocol();
    int count = 0;
    int segment = 255;
    bool marker = false;
    if (protocol.parsePowerSamples(bytes, length, powerScratch_.data(), powerScratch_.size(),
                                   &count, &segment, &marker) != 0 ||
        count <= 0 || segment == 255) {
        return;
    }
    const size_t n = std::min(static_cast<size_t>(count), powerScratch_.size());

    if (marker) {
        lastTriggerTime_ = now;
        model_.runtime.triggerStatus = 0;
    } else {
        uint64_t seconds = elapsed(now, lastTriggerTime_) / 1000;
        if (seconds >= 10) {
            model_.runtime.triggerStatus = 1;
        } else if (seconds >= 2) {
            model_.runtime.triggerStatus = 2;
        }
    }

    bool completed = false;
    bool takeShot = false;
    {
        ScopedModelLocks locks(model_, ScopedModelLocks::kTrace | ScopedModelLocks::kSettings);
        const bool rolling = model_.isRolling();
        if (!rolling && !model_.power_setting.triggerAuto && !marker) {
            return;
        }
        if (rolling) {
            storeRollingValues(powerScratch_.data(), n);
            completed = true;
        } else {
            const int segments = protocol.powerSegmentCount();
            if (segments >= 2) {
                if (powerSegments_.add(protocol, powerScratch_.data(), n, segment, segments) ==
                    SegmentAssembler::Result::kComplete) {
                    storeCapture(powerSegments_.values().data(), powerSegments_.values().size());
                    completed = true;
                }
            } else {
                storeCapture(powerScratch_.data(), n);
                completed = true;
            }
        }
        takeShot = completed && (!rolling || model_.live.rollingHistory.size() >=
                                                 PowerTraceSet::kMaxRollingValues);
    }
    if (completed) {
        model_.runtime.captureRescale = false;
        if (takeShot && model_.runtime.runState == SpectrumSettings::kSingleShotArmed) {
            model_.runtime.runState = SpectrumSettings::kSingleShotTaken;
            requestHalt();
        }
    }
}

void AccessoryCommunicationDelegate::storeRollingValues(const float* values, size_t count) {
    const AccessoryDescription& a = model_.accessory;
    const std::vector<float>& bases = a.powerTimeBases;
    // Keep every (k + 1)-th sample so that the roll moves at the speed of the chosen time base.
    int64_t k = 0;
    if (a.secondLimit >= 0) {
        const bool first = a.generation == kFirstGenerationCode;
        const int referenceIndex = first ? a.powerRollLimitIndex : a.secondLimit;
        if (referenceIndex >= 0 && static_cast<size_t>(referenceIndex) < bases.size() &&
            bases[referenceIndex] > 0.0f) {
            double ratio = model_.timeBaseNow() / bases[referenceIndex];
            if (ratio > 0.0) {
                k = static_cast<int64_t>(std::min(ratio, 1e6));
            }
            if (first && model_.power_setting.powerTimeBaseIndex == a.powerRollLimitIndex - 1) {
                k *= 2;
            }
        }
    }
    keptScratch_.clear();
    for (size_t i = 0; i < count; ++i) {
        if (rollCountdown_ == 0) {
            keptScratch_.push_back(values[i]);
            rollCountdown_ = static_cast<int>(k);
        } else {
            --rollCountdown_;
        }
    }
    std::vector<float>& history = model_.live.rollingHistory;
    history.insert(history.end(), keptScratch_.begin(), keptScratch_.end());
    if (history.size() > PowerTraceSet::kMaxRollingValues) {
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(
                                                           PowerTraceSet::kMaxRollingValues));
    }
    model_.live.powerDataChanged = true;
    const int points = a.powerRollPoints;
    if (points > 0) {
        size_t shown = std::min(history.size(), static_cast<size_t>(points));
        runPulseMeasurements(history.data() + (history.size() - shown), shown,
                             model_.timeBaseNow() * 10.0f / static_cast<float>(points));
    }
    logger_.logRollingSamples(model_, keptScratch_.data(), keptScratch_.size());
}

void AccessoryCommunicationDelegate::storeCapture(const float* values, size_t count) {
    auto& history = model_.live.history;
    if (history.size() >= kMaxPendingCaptures) {
        history.erase(history.begin(),
                      history.begin() +
                          static_cast<std::ptrdiff_t>(history.size() - kMaxPendingCaptures + 1));
    }
    history.emplace_back(values, values + count);
    model_.live.powerDataChanged = true;
    const int points = model_.accessory.powerRollPoints;
    if (points > 0) {
        runPulseMeasurements(values, count,
                             model_.timeBaseNow() * 10.0f / static_cast<float>(points));
    }
    logger_.logPowerCapture(model_, values, count);
}

void AccessoryCommunicationDelegate::handleSpectrum(const uint8_t* bytes, size_t length) {
    int run = model_.runtime.runState;
    if (run != SpectrumSettings::kRunning && run != SpectrumSettings::kSingleShotArmed) {
        return;
    }
    AccessoryProtocol& protocol = *framer_.protocol();
    int count = 0;
    int band = 0;
    int segment = 255;
    if (protocol.parseSpectrum(bytes, length, spectrumScratch_.data(), spectrumScratch_.size(),
                               &count, &band, &segment) != 0 ||
        count <= 0 || segment == 255 || (band != 1 && band != 2)) {
        return;
    }
    const size_t decoded = std::min(static_cast<size_t>(count), spectrumScratch_.size());
    bool completed = false;
    {
        std::lock_guard<ModelLock> trace(model_.traceLock);
        const float* sweep = nullptr;
        size_t points = 0;
        const int segments = protocol.spectrumSegmentCount(band);
        SegmentAssembler& assembler = band == 1 ? sweepSegments24_ : sweepSegments5_;
        if (segments >= 2) {
            if (assembler.add(protocol, spectrumScratch_.data(), decoded, segment, segments) ==
                SegmentAssembler::Result::kComplete) {
                sweep = assembler.values().data();
                points = assembler.values().size();
            }
        } else {
            sweep = spectrumScratch_.data();
            points = decoded;
        }
        if (sweep == nullptr) {
            return;
        }
        const AccessoryDescription& a = model_.accessory;
        BandSweepBuffers& buffers = band == 1 ? model_.band24 : model_.band5;
        const int n =
            static_cast<int>(std::min(points, static_cast<size_t>(buffers.pointsPerSweep())));
        buffers.appendSweep(sweep, n);
        if (band == 1) {
            heatMap24_.update(buffers, n, a.levelRows24, a.levelMin24, a.levelMax24);
            if (a.hasSsidScan24) {
                recomputeUtilization();
            }
        } else {
            heatMap5_.update(buffers, n, a.levelRows5, a.levelMin5, a.levelMax5);
        }
        logger_.logSweep(model_, band == 1 ? LogMeasurement::kSweep24 : LogMeasurement::kSweep5,
                         sweep, static_cast<size_t>(n));
        std::lock_guard<ModelLock> settings(model_.settingsLock);
        // The first generation's power mode starts with one sweep; it must not take the shot.
        completed = model_.common_settings.spectrumMode != 0;
    }
    if (completed && model_.runtime.runState == SpectrumSettings::kSingleShotArmed) {
        model_.runtime.runState = SpectrumSettings::kSingleShotTaken;
        requestHalt();
    }
}

void AccessoryCommunicationDelegate::handleAccessPoints(const uint8_t* bytes, size_t length,
                                                        uint64_t now) {
    std::unique_ptr<AccessPointList> list;
    if (framer_.protocol()->parseSsidList(bytes, length, &list) != 0) {
        return;
    }
    const bool hasEntries = list && !list->empty();
    if (hasEntries || phase_ != kStreaming) {
        const int lists = ++scanListCount_;
        if (lists == 1) {
            scanStart_ = now;
        }
        if (!list || list->size() < kAccessPointsPerFullList || lists > 1) {
            scanListCount_ = 0;
            SettingsSnapshot s = snapshot();
            if (s.spectrumMode && !s.scanKeepsRefresh &&
                (s.waterfall || (s.ssidScanOn && s.refreshInterval > 0.0f))) {
                scanPhase_ = false;
                haltRequested_ = true;
                phase_ = kHalt;
            }
        }
    } else {
        phase_ = kScanStarted;
        scanListCount_ = 0;
    }
    if (list && !model_.runtime.scanPaused) {
        merger_.merge(model_, *list);
        {
            std::lock_guard<ModelLock> guard(model_.apListLock);
            ++model_.runtime.scanCount;
            trimAccessPoints();
        }
        recomputeUtilization();
        model_.runtime.ssidTableChanged = true;
        model_.runtime.utilizationChanged = true;
    }
}

void AccessoryCommunicationDelegate::trimAccessPoints() {
    auto& list = model_.accessPoints;
    while (list.size() > kMaxAccessPoints) {
        auto oldest = std::min_element(list.begin(), list.end(), [](const auto& a, const auto& b) {
            if (!a || !b) {
                return !a && b;
            }
            return a->lastSeen < b->lastSeen;
        });
        list.erase(oldest);
    }
}

// --- Call points of later parts --------------------------------------------------------------

void AccessoryCommunicationDelegate::runPulseMeasurements(const float* values, size_t count,
                                                          float sampleInterval) {
    // Pulse measurements of the power view; the caller holds traceLock and settingsLock.
    if (pulseMeasurement_ && values != nullptr && count > 0) {
        pulseMeasurement_(model_, values, count, sampleInterval);
    }
}

void AccessoryCommunicationDelegate::recomputeUtilization() {
    // Access-point utilization grading; takes apListLock itself (after traceLock when held).
    if (utilizationGrading_) {
        utilizationGrading_(model_);
    }
}
