#include "tests/link/ScriptedAccessory.h"

#include <algorithm>
#include <cstring>

std::vector<uint8_t> ScriptedAccessory::discoveryRequest() {
    return {0xAA, 0x03, 0x03};
}

std::vector<uint8_t> ScriptedAccessory::discoveryReply() {
    std::vector<uint8_t> reply(kDiscoveryReplyLength);
    for (size_t i = 0; i < reply.size(); ++i) {
        reply[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    reply[0] = 0xAA;
    reply[1] = 0x60;  // type 3: discovery reply
    reply[2] = 0x02;  // first generation
    return reply;
}

std::vector<uint8_t> ScriptedAccessory::settingsCommand(uint8_t sequence) {
    std::vector<uint8_t> command(0x20, 0x00);
    command[0] = 0xAA;
    command[1] = 0x20;
    command[2] = sequence;
    return command;
}

std::vector<uint8_t> ScriptedAccessory::settingsAck(uint8_t sequence) {
    return {0xAA, 0x40, 0x04, sequence};
}

std::vector<uint8_t> ScriptedAccessory::streamPacket(uint32_t number) {
    std::vector<uint8_t> packet(kStreamPacketLength);
    packet[0] = 0xAA;
    packet[1] = static_cast<uint8_t>(0xA0 | (number & 0x0F));  // type 5, segment
    for (size_t i = 2; i < packet.size(); ++i) {
        packet[i] = static_cast<uint8_t>(number * 31 + i);
    }
    return packet;
}

void ScriptedAccessory::receive(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint8_t> bytes(data, data + length);
    received_.push_back(bytes);
    if (bytes == discoveryRequest()) {
        outbox_.push_back(discoveryReply());
    } else if (bytes.size() == 0x20 && bytes[0] == 0xAA && bytes[1] == 0x20) {
        outbox_.push_back(settingsAck(bytes[2]));
        streaming_ = true;
    }
}

size_t ScriptedAccessory::transmit(uint8_t* buffer, size_t capacity) {
    std::lock_guard<std::mutex> guard(lock_);
    if (outbox_.empty() && streaming_) {
        outbox_.push_back(streamPacket(nextPacket_++));
    }
    if (outbox_.empty()) {
        return 0;
    }
    std::vector<uint8_t>& next = outbox_.front();
    size_t count = std::min(capacity, next.size());
    std::memcpy(buffer, next.data(), count);
    if (count == next.size()) {
        outbox_.pop_front();
    } else {
        next.erase(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(count));
    }
    return count;
}

std::vector<std::vector<uint8_t>> ScriptedAccessory::received() {
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
}

bool ScriptedAccessory::streaming() {
    std::lock_guard<std::mutex> guard(lock_);
    return streaming_;
}

void ScriptedAccessory::reset() {
    std::lock_guard<std::mutex> guard(lock_);
    received_.clear();
    outbox_.clear();
    streaming_ = false;
    nextPacket_ = 0;
}
