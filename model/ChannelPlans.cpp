#include "model/ChannelPlans.h"

#include <algorithm>
#include <cmath>

#include "model/StoredSettings.h"

namespace {

constexpr int32_t kMHz = 1000;  // kHz

enum Plan {
    kNone = 0,
    k80211b = 1,
    k80211g = 2,
    k80211n20 = 3,
    k80211n40Below = 4,
    k80211n40Above = 5,
    kZigbee = 6,
    kZevCustom = 7,
    k80211an20 = 8,
    k80211nac40 = 9,
    k80211ac80 = 10,
    k80211ac160 = 11,
};

bool known(int plan) {
    return plan >= 0 && plan < ChannelPlans::kPlanCount;
}

// The custom plan's channels are irregular; their centres are fixed.
constexpr int32_t kZevCentres[11] = {2404199, 2410147, 2422044, 2424844, 2441989, 2449338,
                                     2461935, 2469633, 2474531, 2476981, 2479430};

// Upper edge of the 2.4 GHz band for the 40 MHz plans: their outer channels are cut there.
constexpr int32_t kBand24Top = 2482 * kMHz;

int32_t centre24(int n) {
    return (2412 + 5 * (n - 1)) * kMHz;
}

int32_t centre5(int n) {
    return (5000 + 5 * n) * kMHz;
}

// Half width of the 5 GHz channels per plan.
int32_t halfWidth5(int plan) {
    switch (plan) {
        case k80211an20:
            return 10 * kMHz;
        case k80211nac40:
            return 20 * kMHz;
        case k80211ac80:
            return 40 * kMHz;
        default:
            return 80 * kMHz;
    }
}

void appendSteps(std::vector<int>& out, int first, int last, int step) {
    for (int n = first; n <= last; n += step)
        out.push_back(n);
}

}  // namespace

int ChannelPlans::activePlan(const SpectrumViewSettings& view) {
    int plan = 0;
    if (view.band == 0)
        plan = view.channelGuide24;
    else if (view.band == 1)
        plan = view.channelGuide5;
    return known(plan) ? plan : 0;
}

ChannelPlans::Range ChannelPlans::planSpan(int plan) {
    if (plan >= k80211b && plan <= kZevCustom)
        return {2400 * kMHz, 2500 * kMHz};
    if (plan >= k80211an20 && plan <= k80211ac160)
        return {5145 * kMHz, 5860 * kMHz};
    return {0, 0};
}

int ChannelPlans::planRowCount(int plan) {
    switch (plan) {
        case k80211b:
        case k80211g:
        case k80211n20:
            return 5;
        case k80211n40Below:
        case k80211n40Above:
            return 9;
        default:
            return 1;
    }
}

std::vector<int> ChannelPlans::planChannels(int plan) {
    std::vector<int> out;
    switch (plan) {
        case k80211b:
            appendSteps(out, 1, 14, 1);
            break;
        case k80211g:
        case k80211n20:
            appendSteps(out, 1, 13, 1);
            break;
        case k80211n40Below:
            appendSteps(out, 1, 9, 1);
            break;
        case k80211n40Above:
            appendSteps(out, 5, 13, 1);
            break;
        case kZigbee:
            appendSteps(out, 11, 26, 1);
            break;
        case kZevCustom:
            appendSteps(out, 0, 10, 1);
            break;
        case k80211an20:
            appendSteps(out, 36, 64, 4);
            appendSteps(out, 100, 144, 4);
            appendSteps(out, 149, 165, 4);
            break;
        case k80211nac40:
            appendSteps(out, 38, 62, 8);
            appendSteps(out, 102, 142, 8);
            appendSteps(out, 151, 159, 8);
            break;
        case k80211ac80:
            out = {42, 58, 106, 122, 138, 155};
            break;
        case k80211ac160:
            out = {50, 114};
            break;
        default:
            break;
    }
    return out;
}

ChannelPlans::Range ChannelPlans::channelEdges(int plan, int n) {
    switch (plan) {
        case k80211b:
            if (n == 14)  // Japan's channel 14 sits 12 MHz above channel 13, not 5
                return {2473 * kMHz, 2495 * kMHz};
            if (n >= 1 && n <= 13)
                return {centre24(n) - 11 * kMHz, centre24(n) + 11 * kMHz};
            return {};
        case k80211g:
        case k80211n20:
            if (n >= 1 && n <= 13)
                return {centre24(n) - 10 * kMHz, centre24(n) + 10 * kMHz};
            return {};
        case k80211n40Below:
            if (n >= 1 && n <= 9)
                return {centre24(n) - 10 * kMHz, std::min(centre24(n) + 30 * kMHz, kBand24Top)};
            return {};
        case k80211n40Above:
            if (n >= 5 && n <= 13)
                return {centre24(n) - 30 * kMHz, std::min(centre24(n) + 10 * kMHz, kBand24Top)};
            return {};
        case kZigbee:
            if (n >= 11 && n <= 26) {
                const int32_t g = (2405 + 5 * (n - 11)) * kMHz;
                return {g - 1500, g + 1500};
            }
            return {};
        case kZevCustom:
            if (n >= 0 && n <= 10)
                return {kZevCentres[n] - 500, kZevCentres[n] + 500};
            return {};
        case k80211an20:
        case k80211nac40:
        case k80211ac80:
        case k80211ac160:
            if (n >= 36 && n <= 165)
                return {centre5(n) - halfWidth5(plan), centre5(n) + halfWidth5(plan)};
            return {};
        default:
            return {};
    }
}

ChannelPlans::Range ChannelPlans::roundedEdges(const Range& edges) {
    return {(edges.low - 49) / 100 * 100, (edges.high + 49) / 100 * 100};
}

const char* ChannelPlans::popoverPrefix(int plan) {
    static const char* const prefixes[kPlanCount] = {"",
                                                     "802.11b :: ",
                                                     "802.11g :: ",
                                                     "802.11n :: ",
                                                     "802.11n (B) :: ",
                                                     "802.11n (A):: ",
                                                     "Zigbee :: ",
                                                     "ZEV Custom :: ",
                                                     "802.11a/n :: ",
                                                     "802.11n/ac :: ",
                                                     "802.11ac :: ",
                                                     "802.11ac :: "};
    return known(plan) ? prefixes[plan] : "";
}

ChannelPlans::Scale ChannelPlans::scaleFor(int plan, float width) {
    const Range span = planSpan(plan);
    Scale scale;
    scale.start = span.low;
    scale.k = static_cast<double>(width) / (static_cast<double>(span.high - span.low) + kMHz);
    return scale;
}

int ChannelPlans::nearestChannel(int plan, float width, float x) {
    const Scale scale = scaleFor(plan, width);
    int best = -1;
    float bestDistance = 0;
    for (int n : planChannels(plan)) {
        const Range e = channelEdges(plan, n);
        const float d = std::fabs(scale.x((static_cast<double>(e.low) + e.high + kMHz) / 2) - x);
        if (best < 0 || d < bestDistance) {
            best = n;
            bestDistance = d;
        }
    }
    return best;
}
