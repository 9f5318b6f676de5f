#include "protocol/PacketFramer.h"

#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/ProtocolResult.h"

namespace pr = protocol_result;

PacketFramer::PacketFramer(size_t initialCapacity) {
    buffer_.reserve(initialCapacity);
}

void PacketFramer::setProtocol(std::unique_ptr<AccessoryProtocol> protocol) {
    protocol_ = std::move(protocol);
    if (protocol_)
        protocol_->setEnvironment(environment_);
}

void PacketFramer::setProtocolEnvironment(ProtocolEnvironment environment) {
    environment_ = std::move(environment);
    if (protocol_)
        protocol_->setEnvironment(environment_);
}

void PacketFramer::deliver(const uint8_t* bytes, size_t length, const Handler& handler) {
    if (bytes == nullptr || length == 0)
        return;
    buffer_.insert(buffer_.end(), bytes, bytes + length);
    frame(handler, lookahead_);
}

void PacketFramer::frame(const Handler& handler, size_t keep) {
    const size_t total = buffer_.size();
    size_t pos = 0;
    while (pos < total && total - pos > keep) {
        const uint8_t* p = buffer_.data() + pos;
        const size_t available = total - pos;
        if (p[0] != kSyncByte) {
            ++pos;
            continue;
        }
        if (available < 3)
            break;
        const int type = p[1] >> 5;
        if (!identified_) {
            if (type != packet_type::kDiscovery) {
                ++pos;
                continue;
            }
            protocol_ = createAccessoryProtocol(p[2]);
            if (!protocol_) {
                dropped_ += available;
                pos = total;
                break;
            }
            protocol_->setEnvironment(environment_);
        }
        if (!protocol_) {
            ++pos;
            continue;
        }
        const int n = protocol_->packetLength(p, available);
        if (n > 0) {
            if (handler)
                handler(p, static_cast<size_t>(n), type);
            pos += static_cast<size_t>(n);
        } else if (n == pr::kNotAPacket) {
            pos += 2;
        } else if (n == pr::kNoSync) {
            ++pos;
        } else if (n == pr::kRejectBuffer) {
            dropped_ += available;
            pos = total;
        } else if (available >= protocol_->maximumPacketLength()) {
            // Still incomplete with more bytes than any packet of this generation has.
            ++pos;
        } else {
            break;
        }
    }
    if (pos > total)
        pos = total;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos));
}
