#include "model/AccessPointSelection.h"

#include <cstring>

namespace {

bool isZero(const uint8_t bssid[6]) {
    static const uint8_t zero[6] = {};
    return std::memcmp(bssid, zero, 6) == 0;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool AccessPointSelection::add(ScanStatistics& statistics, const uint8_t bssid[6]) {
    if (isZero(bssid)) {
        return false;
    }
    if (contains(statistics, bssid)) {
        return true;
    }
    for (auto& slot : statistics.selection) {
        if (isZero(slot)) {
            std::memcpy(slot, bssid, 6);
            return true;
        }
    }
    return false;
}

bool AccessPointSelection::remove(ScanStatistics& statistics, const uint8_t bssid[6]) {
    if (isZero(bssid)) {
        return false;
    }
    bool removed = false;
    for (auto& slot : statistics.selection) {
        if (std::memcmp(slot, bssid, 6) == 0) {
            std::memset(slot, 0, 6);
            removed = true;
        }
    }
    return removed;
}

bool AccessPointSelection::contains(const ScanStatistics& statistics, const uint8_t bssid[6]) {
    if (isZero(bssid)) {
        return false;
    }
    for (const auto& slot : statistics.selection) {
        if (std::memcmp(slot, bssid, 6) == 0) {
            return true;
        }
    }
    return false;
}

int AccessPointSelection::releaseDeparted(ScanStatistics& statistics,
                                          const std::vector<std::unique_ptr<AccessPoint>>& list) {
    int freed = 0;
    for (auto& slot : statistics.selection) {
        if (isZero(slot)) {
            continue;
        }
        bool present = false;
        for (const auto& ap : list) {
            if (ap && std::memcmp(ap->bssid, slot, 6) == 0) {
                present = true;
                break;
            }
        }
        if (!present) {
            std::memset(slot, 0, 6);
            ++freed;
        }
    }
    return freed;
}

bool AccessPointSelection::parseBssid(const char* text, uint8_t bssid[6]) {
    if (text == nullptr || std::strlen(text) != 17) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        const char* p = text + 3 * i;
        const int high = hexDigit(p[0]);
        const int low = hexDigit(p[1]);
        if (high < 0 || low < 0 || (i < 5 && p[2] != ':')) {
            return false;
        }
        bssid[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}
