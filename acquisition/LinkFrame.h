#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "model/AccessoryDescription.h"
#include "protocol/AccessoryProtocol.h"

// What the link hands to the model's owner: immutable frames, in the order the link produced
// them. Measurements come as decoded; everything the link learns about the accessory and its own
// cycle comes as an event. The owner applies them one by one (FrameDelivery), so a frame queued
// before an event is applied before it.

// One complete sweep, unchanged.
struct SweepFrame {
    int band = 0;                // 1: 2.4 GHz, 2: 5 GHz, as the protocols number them
    std::vector<float> levels;   // dBm, in point order
    bool demonstration = false;  // from the demonstration's recordings (for the data log)
};

// One complete triggered capture, or the samples of one rolling packet.
struct PowerFrame {
    bool rolling = false;
    std::vector<float> values;  // dBm
    bool demonstration = false;
};

// One access-point list as the accessory reported it, stamped on the controller's clock.
struct AccessPointFrame {
    std::shared_ptr<AccessPointList> list;  // the owner's once taken: merged away, left empty
    uint64_t now = 0;
};

struct LinkEvent {
    enum Kind : uint8_t {
        kIdentified,            // description: the accessory (or the demonstration) answered
        kSettingsAcknowledged,  // flag: the data of the old settings goes
        kConnected,             // a USB accessory was attached
        kDisconnected,          // ... and went away: the data log closes
        kTriggerStatus,         // value: RuntimeState::kTriggered and its kin
        kSsidAcquiring,         // flag: the link waits for an access-point list
        kDemoTriggerPreset,     // value: the demonstration hardware whose preset applies
    };
    Kind kind = kIdentified;
    bool flag = false;
    int32_t value = 0;
    std::shared_ptr<const AccessoryDescription> description;

    static LinkEvent make(Kind kind, bool flag = false, int32_t value = 0,
                          std::shared_ptr<const AccessoryDescription> description = nullptr) {
        LinkEvent event;
        event.kind = kind;
        event.flag = flag;
        event.value = value;
        event.description = std::move(description);
        return event;
    }
};

using LinkFrame = std::variant<SweepFrame, PowerFrame, AccessPointFrame, LinkEvent>;
