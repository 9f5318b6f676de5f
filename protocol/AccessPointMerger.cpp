#include "protocol/AccessPointMerger.h"

#include <cstring>
#include <mutex>

#include "model/SpectrumSettings.h"

namespace {

// A random source that never reaches the colour sum would spin forever; after this many draws the
// last colour is lifted to the minimum instead.
constexpr int kMaxColourDraws = 1000;

}  // namespace

AccessPointMerger::AccessPointMerger(uint32_t seed) : engine_(seed) {}

AccessPointMerger::AccessPointMerger(RandomSource random) : random_(std::move(random)) {}

uint8_t AccessPointMerger::drawComponent() {
    return static_cast<uint8_t>(random_ ? random_() : engine_());
}

void AccessPointMerger::firstSighting(SpectrumSettings& model, AccessPoint& ap, uint64_t now) {
    ap.lastSeen = now;
    ap.seenCount = 1;
    const AccessoryDescription& accessory = model.accessory;
    float lowest = ap.is5GHz == 1 ? accessory.levelMin5 : accessory.levelMin24;
    ap.levelA = lowest;
    ap.levelB = lowest;
    ap.previousRssi = ap.rssi;
    uint8_t r = 0, g = 0, b = 0;
    for (int draw = 0; draw < kMaxColourDraws; ++draw) {
        r = drawComponent();
        g = drawComponent();
        b = drawComponent();
        if (r + g + b >= kMinimumColourSum)
            break;
    }
    // g + b < 240 here, so the lifted red fits a byte.
    if (r + g + b < kMinimumColourSum)
        r = static_cast<uint8_t>(kMinimumColourSum - g - b);
    ap.color[0] = r;
    ap.color[1] = g;
    ap.color[2] = b;
    ap.color[3] = 255;
}

void AccessPointMerger::merge(SpectrumSettings& model, AccessPointList& scan, uint64_t now) {
    auto& list = model.accessPoints;
    const bool wasEmpty = list.empty();
    for (std::unique_ptr<AccessPoint>& incoming : scan) {
        if (!incoming)
            continue;
        AccessPoint* existing = nullptr;
        if (!wasEmpty) {
            for (auto& entry : list) {
                if (entry && std::memcmp(entry->bssid, incoming->bssid, 6) == 0) {
                    existing = entry.get();
                    break;
                }
            }
        }
        if (existing == nullptr) {
            firstSighting(model, *incoming, now);
            list.push_back(std::move(incoming));
            continue;
        }
        incoming->lastSeen = now;
        int64_t count = static_cast<int64_t>(existing->seenCount) + 1;
        incoming->seenCount =
            count > kSeenCountLimit ? kSeenCountWrap : static_cast<int32_t>(count);
        incoming->levelA = existing->levelB;
        incoming->levelB = existing->levelB;
        incoming->previousRssi = incoming->rssi;
        std::memcpy(incoming->color, existing->color, sizeof incoming->color);
        // The grading runs only with enough sweeps; until it runs again the last grade and the
        // recommendation history stay instead of dropping to zero with every scan.
        incoming->gradePercent = existing->gradePercent;
        incoming->grade = existing->grade;
        incoming->grading = existing->grading;
        *existing = *incoming;
        incoming.reset();
    }
    scan.clear();
}
