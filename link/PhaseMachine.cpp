#include "link/PhaseMachine.h"

#include <cmath>

#include "link/CommandSink.h"
#include "link/ControllerState.h"
#include "link/MeasurementIntake.h"
#include "link/SettingsSnapshot.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr uint64_t kScanListWaitMs = 250;
constexpr uint64_t kReservedScanWaitMs = 10000;
constexpr int kFirstGenerationCode = 2;

using Phase = ControllerState::Phase;
using Command = std::vector<uint8_t>;

uint64_t elapsed(uint64_t now, uint64_t since) {
    return now >= since ? now - since : 0;
}

bool measuring(int runState) {
    return runState == SpectrumSettings::kRunning || runState == SpectrumSettings::kSingleShotArmed;
}

// A command of `length` bytes from one of the protocol's builders; empty when the builder
// declines.
template <typename Build>
Command build(int length, Build&& builder) {
    if (length < 1) {
        return {};
    }
    Command command(static_cast<size_t>(length));
    int written = builder(command.data(), command.size());
    if (written < 1 || written > length) {
        return {};
    }
    command.resize(static_cast<size_t>(written));
    return command;
}

Command request(const AccessoryProtocol& protocol, int length,
                int (AccessoryProtocol::*builder)(uint8_t*, size_t) const) {
    return build(length, [&](uint8_t* b, size_t n) { return (protocol.*builder)(b, n); });
}

}  // namespace

PhaseMachine::PhaseMachine(SpectrumSettings& model, ControllerState& state,
                           MeasurementIntake& intake)
    : model_(model), state_(state), intake_(intake) {}

void PhaseMachine::apply(const RequestMailbox::Taken& taken) {
    if (taken.count == 0) {
        return;
    }
    const RequestMailbox::Request& r = taken.request;
    if (r.haltRequested >= 0) {
        state_.haltRequested = r.haltRequested != 0;
    }
    if (r.resendSettings) {
        state_.resendSettings = true;
    }
    if (r.clearDataOnAck >= 0) {
        state_.clearDataOnAck = r.clearDataOnAck != 0;
    }
    if (r.phase >= 0) {
        state_.phase = r.phase;
    }
}

void PhaseMachine::pass(uint64_t now, CommandSink& sink) {
    SettingsSnapshot s = SettingsSnapshot::of(model_);
    if (!sink.ready(s)) {
        return;
    }
    // Until a reply is accepted the discovery request goes out again.
    if (!state_.identified && state_.phase != Phase::kSendDiscovery) {
        state_.phase = Phase::kSendDiscovery;
    }
    scheduleScan(now, s);
    if (s.ssidScanOn && !s.scanKeepsRefresh && s.waterfall) {
        state_.scanPhaseStart = now;
    }
    step(now, s, sink);
}

void PhaseMachine::scheduleScan(uint64_t now, const SettingsSnapshot& s) {
    const int phase = state_.phase;
    if (!state_.identified || !s.spectrumMode || !s.ssidScanOn || s.waterfall ||
        s.scanKeepsRefresh || (phase != Phase::kStreaming && phase != Phase::kScanStarted) ||
        !(s.refreshInterval > 0.0f)) {
        return;
    }
    uint64_t interval = SettingsSnapshot::milliseconds(std::trunc(s.refreshInterval));
    const uint64_t scanStart = state_.scanStart;
    if (!state_.scanPhase && elapsed(now, state_.scanPhaseStart) >= interval) {
        state_.phase = Phase::kHalt;
        state_.haltRequested = true;
        state_.scanPhase = true;
    } else if (state_.scanPhase &&
               ((state_.scanListCount != 0 && elapsed(now, scanStart) >= kScanListWaitMs) ||
                (s.ssidReserved && elapsed(now, scanStart) >= kReservedScanWaitMs))) {
        state_.phase = Phase::kHalt;
        state_.haltRequested = true;
        state_.scanPhase = false;
    }
}

void PhaseMachine::step(uint64_t now, const SettingsSnapshot& s, CommandSink& sink) {
    switch (state_.phase.load()) {
        case Phase::kSendDiscovery:
            sendDiscovery(sink);
            break;
        case Phase::kAwaitDiscovery:
            if (!state_.identified) {
                if (sink.answersAtOnce()) {
                    sendDiscovery(sink);
                } else if (--state_.retryCountdown <= 0) {
                    state_.phase = Phase::kSendDiscovery;
                }
            }
            break;
        case Phase::kIdentified:
            state_.identified = true;
            state_.phase = Phase::kSendSettings;
            state_.clearDataOnAck = true;
            state_.primePowerRequest = intake_.withProtocol([](AccessoryProtocol* p) {
                return p != nullptr && p->generationCode() == kFirstGenerationCode;
            });
            sink.identified(s);
            break;
        case Phase::kSendSettings:
            sendSettings(sink);
            break;
        case Phase::kAwaitSettingsAck:
            if (sink.answersAtOnce()) {
                sendSettings(sink);
            } else if (--state_.retryCountdown <= 0) {
                state_.phase = Phase::kSendSettings;
            }
            break;
        case Phase::kSettingsAcked:
            acknowledged(now);
            break;
        case Phase::kRequest:
        case Phase::kStreaming:
        case Phase::kScanStarted:
            if (sink.streamsUnasked()) {
                if (measuring(model_.runtime.runState)) {
                    sink.stream(now, s);
                }
            } else if (state_.phase == Phase::kRequest) {
                sendStreamRequests(now, s, sink);
            }
            break;
        case Phase::kHalt:
            halt(sink);
            break;
        case Phase::kAwaitHaltAck:
            // A lost halt acknowledgement would leave the controller waiting forever.
            if (--state_.retryCountdown <= 0) {
                state_.phase = Phase::kHalt;
            }
            break;
        case Phase::kHalted:
            if (state_.haltRequested) {
                if (state_.resendSettings) {
                    state_.resendSettings = false;
                    state_.phase = Phase::kSendSettings;
                } else {
                    state_.phase = Phase::kRequest;
                }
                state_.haltRequested = false;
            }
            break;
        default:
            break;
    }
}

void PhaseMachine::sendDiscovery(CommandSink& sink) {
    state_.identified = false;
    state_.retryCountdown = kRetryPasses;
    state_.ackCount = 0;
    // Waiting before the request goes: a sink that answers at once finds the phase ready for it.
    state_.phase = Phase::kAwaitDiscovery;
    Command command = build(AccessoryProtocol::kDiscoveryRequestLength, [](uint8_t* b, size_t n) {
        return AccessoryProtocol::buildDiscoveryRequest(b, n);
    });
    if (!command.empty()) {
        sink.send(std::move(command), CommandSink::kDiscoveryKind);
    }
}

void PhaseMachine::sendSettings(CommandSink& sink) {
    Command command;
    const bool haveProtocol = intake_.withProtocol([&](AccessoryProtocol* protocol) {
        if (protocol == nullptr) {
            return false;
        }
        command = build(protocol->settingsCommandLength(), [&](uint8_t* b, size_t n) {
            std::lock_guard<ModelLock> settings(model_.settingsLock);
            return protocol->buildSettingsCommand(b, n, &model_);
        });
        return true;
    });
    if (!haveProtocol) {
        state_.phase = Phase::kSendDiscovery;
        return;
    }
    if (command.empty()) {
        return;
    }
    state_.retryCountdown = kRetryPasses;
    state_.phase = Phase::kAwaitSettingsAck;
    if (!sink.send(std::move(command), CommandSink::kSettingsKind)) {
        state_.phase = Phase::kSendSettings;
    }
}

void PhaseMachine::acknowledged(uint64_t now) {
    intake_.settingsAcknowledged();
    const int acks = ++state_.ackCount;
    state_.phase = Phase::kRequest;
    if (state_.clearDataOnAck) {
        ScopedModelLocks locks(model_, ScopedModelLocks::kAll);
        model_.clearSpectrumData();
        model_.clearPowerData();
        model_.resetCursorReadouts();
        // Sweeps still queued for the model's owner belong to the old settings.
        intake_.frames().discard();
        state_.clearDataOnAck = false;
    }
    model_.runtime.triggerStatus = RuntimeState::kNoTriggerFor2s;
    state_.lastTriggerTime = now;
    state_.scanPhaseStart = now;
    SettingsSnapshot s = SettingsSnapshot::of(model_);
    const bool scanning = s.spectrumMode && s.ssidScanOn && !s.waterfall;
    state_.scanPhase = scanning && (s.refreshInterval == 0.0f || acks == 1);
}

void PhaseMachine::sendStreamRequests(uint64_t now, const SettingsSnapshot& s, CommandSink& sink) {
    if (!intake_.withProtocol([](AccessoryProtocol* p) { return p != nullptr; })) {
        return;
    }
    if (!measuring(model_.runtime.runState)) {
        // Paused or shot taken: halt. A continuous scan in the waterfall keeps its notice.
        if (!(s.ssidScanOn && s.scanKeepsRefresh && s.waterfall)) {
            model_.runtime.ssidAcquiring = false;
        }
        state_.phase = Phase::kHalt;
        return;
    }
    std::vector<Command> requests;
    bool scan = false;
    bool streaming = false;
    const bool haveProtocol = intake_.withProtocol([&](AccessoryProtocol* protocol) {
        if (protocol == nullptr) {
            return false;
        }
        streaming = protocol->isStreaming();
        if (!s.spectrumMode) {
            if (protocol->hasPowerMeter()) {
                if (state_.primePowerRequest.exchange(false)) {
                    requests.push_back(request(*protocol, protocol->spectrumRequestLength(),
                                               &AccessoryProtocol::buildSpectrumRequest));
                }
                requests.push_back(request(*protocol, protocol->powerRequestLength(),
                                           &AccessoryProtocol::buildPowerRequest));
            }
            return true;
        }
        scan = s.ssidScanOn;
        bool spectrum = true;
        if (s.ssidScanOn && !s.scanKeepsRefresh && !s.waterfall) {
            if (!state_.scanPhase && s.refreshInterval != 0.0f) {
                scan = false;
            } else {
                scan = true;
                spectrum = false;
                state_.scanPhaseStart = now;
                state_.scanStart = 0;
            }
        } else if (s.waterfall) {
            scan = false;
            state_.scanPhaseStart = now;
            state_.scanStart = 0;
        }
        if (scan && !s.ssidReserved && protocol->hasSsidScan()) {
            requests.push_back(request(*protocol, protocol->ssidRequestLength(),
                                       &AccessoryProtocol::buildSsidRequest));
        }
        if (spectrum && protocol->hasSpectrum()) {
            requests.push_back(request(*protocol, protocol->spectrumRequestLength(),
                                       &AccessoryProtocol::buildSpectrumRequest));
        }
        return true;
    });
    if (!haveProtocol) {
        return;
    }
    for (Command& command : requests) {
        if (!command.empty()) {
            sink.send(std::move(command), CommandSink::kRequestKind);
        }
    }
    model_.runtime.ssidAcquiring = scan;
    if (!streaming) {
        state_.phase = Phase::kStreaming;
    }
}

void PhaseMachine::halt(CommandSink& sink) {
    model_.runtime.ssidAcquiring = false;
    Command command;
    const bool awaitAck = !sink.streamsUnasked() && intake_.withProtocol([&](AccessoryProtocol* p) {
        if (p == nullptr || p->isStreaming()) {
            return false;
        }
        command = request(*p, p->haltCommandLength(), &AccessoryProtocol::buildHaltCommand);
        return true;
    });
    if (!awaitAck) {
        state_.phase = Phase::kHalted;
        return;
    }
    state_.retryCountdown = kRetryPasses;
    state_.phase = Phase::kAwaitHaltAck;
    if (!command.empty()) {
        sink.send(std::move(command), CommandSink::kRequestKind);
    }
}
