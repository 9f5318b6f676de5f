#include "link/PhaseMachine.h"

#include <cmath>

#include "acquisition/FrameQueue.h"
#include "link/CommandSink.h"
#include "link/ControllerState.h"
#include "link/MeasurementIntake.h"
#include "link/SettingsPublication.h"
#include "link/SettingsSnapshot.h"

namespace {

constexpr size_t kAccessPointsPerFullList = 20;
constexpr uint64_t kScanListWaitMs = 250;
constexpr uint64_t kReservedScanWaitMs = 10000;
constexpr int kFirstGenerationCode = 2;

using Phase = ControllerState::Phase;
using Command = std::vector<uint8_t>;

uint64_t elapsed(uint64_t now, uint64_t since) {
    return now >= since ? now - since : 0;
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

PhaseMachine::PhaseMachine(SettingsPublication& settings, ControllerState& state,
                           MeasurementIntake& intake, ReplyMailbox& replies, FrameQueue& frames)
    : settings_(settings), state_(state), intake_(intake), replies_(replies), frames_(frames) {}

void PhaseMachine::applyReplies() {
    using Reply = ReplyMailbox::Reply;
    for (const Reply& reply : replies_.take()) {
        switch (reply.kind) {
            case Reply::kDiscoveryAccepted:
                state_.phase = Phase::kIdentified;
                break;
            case Reply::kSettingsAcked:
                state_.phase = Phase::kSettingsAcked;
                break;
            case Reply::kHaltAcked:
                if (state_.phase == Phase::kHalt || state_.phase == Phase::kAwaitHaltAck) {
                    state_.phase = Phase::kHalted;
                }
                break;
            case Reply::kAccessPointList:
                endScanAfterList(reply);
                break;
        }
    }
}

void PhaseMachine::endScanAfterList(const ReplyMailbox::Reply& reply) {
    const bool hasEntries = reply.listPresent && reply.listEntries > 0;
    if (!hasEntries && state_.phase == Phase::kStreaming) {
        state_.phase = Phase::kScanStarted;
        state_.scanListCount = 0;
        return;
    }
    const int lists = ++state_.scanListCount;
    if (lists == 1) {
        state_.scanStart = reply.now;
    }
    // A full list that is the first of its scan leaves the scan running for the next one.
    if (!reply.listPresent || reply.listEntries < kAccessPointsPerFullList || lists > 1) {
        state_.scanListCount = 0;
        SettingsSnapshot s = SettingsSnapshot::of(*settings_.current());
        if (s.spectrumMode && !s.scanKeepsRefresh &&
            (s.waterfall || (s.ssidScanOn && s.refreshInterval > 0.0f))) {
            state_.scanPhase = false;
            state_.haltRequested = true;
            state_.phase = Phase::kHalt;
        }
    }
}

void PhaseMachine::connectionChanged(bool connected) {
    state_.phase = Phase::kSendDiscovery;
    state_.scanPhaseStart = 0;
    state_.scanStart = 0;
    state_.scanPhase = false;
    state_.scanListCount = 0;
    // What the packet path posted belongs to the old connection.
    replies_.take();
    ssidAcquiring_ = false;
    frames_.push(LinkEvent::make(connected ? LinkEvent::kConnected : LinkEvent::kDisconnected));
}

void PhaseMachine::setSsidAcquiring(bool acquiring) {
    if (acquiring != ssidAcquiring_) {
        ssidAcquiring_ = acquiring;
        frames_.push(LinkEvent::make(LinkEvent::kSsidAcquiring, acquiring));
    }
}

void PhaseMachine::apply(const RequestMailbox::Taken& taken) {
    applyReplies();
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
    SettingsSnapshot s = SettingsSnapshot::of(*settings_.current());
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
                if (settings_.measuring()) {
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
    const SettingsPublication::Settings settings = settings_.current();
    Command command;
    const bool haveProtocol = intake_.withProtocol([&](AccessoryProtocol* protocol) {
        if (protocol == nullptr) {
            return false;
        }
        command = build(protocol->settingsCommandLength(), [&](uint8_t* b, size_t n) {
            return protocol->buildSettingsCommand(b, n, settings.get());
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
    const int acks = ++state_.ackCount;
    state_.phase = Phase::kRequest;
    // The packet path queued the acknowledgement, with this flag, for the model's owner, who
    // clears the data there.
    state_.clearDataOnAck = false;
    state_.lastTriggerTime = now;
    state_.scanPhaseStart = now;
    SettingsSnapshot s = SettingsSnapshot::of(*settings_.current());
    const bool scanning = s.spectrumMode && s.ssidScanOn && !s.waterfall;
    state_.scanPhase = scanning && (s.refreshInterval == 0.0f || acks == 1);
}

void PhaseMachine::sendStreamRequests(uint64_t now, const SettingsSnapshot& s, CommandSink& sink) {
    if (!intake_.withProtocol([](AccessoryProtocol* p) { return p != nullptr; })) {
        return;
    }
    if (!settings_.measuring()) {
        // Paused or shot taken: halt. A continuous scan in the waterfall keeps its notice.
        if (!(s.ssidScanOn && s.scanKeepsRefresh && s.waterfall)) {
            setSsidAcquiring(false);
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
    setSsidAcquiring(scan);
    if (!streaming) {
        state_.phase = Phase::kStreaming;
    }
}

void PhaseMachine::halt(CommandSink& sink) {
    setSsidAcquiring(false);
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
