#include "tests/link/LinkEventLog.h"

#include <algorithm>

void LinkEventLog::bind(AccessoryCommunication& link,
                        std::function<bool(BramelAccessoryDevice*)> accept) {
    bindConnectionOnly(link);
    link.setConnectionHandlers(
        [this, accept](AccessoryCommunication*, BramelAccessoryDevice* device) {
            record({Kind::ShouldConnect, device->vendorId()});
            if (accept) {
                return accept(device);
            }
            return device->vendorId() == BramelAccessoryDevice::kVendorId &&
                   device->productId() == BramelAccessoryDevice::kProductId;
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device) {
            record({Kind::DidConnect, device->vendorId()});
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, int code) {
            record({Kind::DidFailToConnect, device->vendorId(), code});
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, int code) {
            record({Kind::DidDisconnect, device->vendorId(), code});
        });
    link.setDataHandlers(
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, const uint8_t* bytes,
               int length) {
            record({Kind::Received, device->vendorId(), 0, 0,
                    std::vector<uint8_t>(bytes, bytes + length)});
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, int kind, int status) {
            record({Kind::Sent, device->vendorId(), status, kind});
        });
}

void LinkEventLog::bindConnectionOnly(AccessoryCommunication& link) {
    link.setConnectionHandlers(
        [this](AccessoryCommunication*, BramelAccessoryDevice* device) {
            record({Kind::ShouldConnect, device->vendorId()});
            return device->vendorId() == BramelAccessoryDevice::kVendorId;
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device) {
            record({Kind::DidConnect, device->vendorId()});
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, int code) {
            record({Kind::DidFailToConnect, device->vendorId(), code});
        },
        [this](AccessoryCommunication*, BramelAccessoryDevice* device, int code) {
            record({Kind::DidDisconnect, device->vendorId(), code});
        });
    link.setDataHandlers(nullptr, nullptr);
}

void LinkEventLog::record(Event event) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        events_.push_back(std::move(event));
    }
    changed_.notify_all();
}

std::vector<LinkEventLog::Event> LinkEventLog::events() {
    std::lock_guard<std::mutex> guard(lock_);
    return events_;
}

int LinkEventLog::count(Kind kind) {
    std::lock_guard<std::mutex> guard(lock_);
    int total = 0;
    for (const Event& event : events_) {
        total += event.kind == kind ? 1 : 0;
    }
    return total;
}

std::vector<uint8_t> LinkEventLog::receivedBytes() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint8_t> bytes;
    for (const Event& event : events_) {
        if (event.kind == Kind::Received) {
            bytes.insert(bytes.end(), event.bytes.begin(), event.bytes.end());
        }
    }
    return bytes;
}

void LinkEventLog::clear() {
    std::lock_guard<std::mutex> guard(lock_);
    events_.clear();
}

bool LinkEventLog::waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        // Woken by every recorded event; the short cap also re-checks conditions that do not
        // come from handlers (the bus state of an emulated device).
        std::unique_lock<std::mutex> lock(lock_);
        changed_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)));
    }
    return true;
}
