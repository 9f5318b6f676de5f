#include "model/ChannelPlan24.h"

#include <algorithm>

float ChannelPlan24::centreMHz(int channel) {
    if (!isChannel(channel)) {
        return 0.0f;
    }
    if (channel == 14) {
        return 2484.0f;
    }
    return 2412.0f + 5.0f * static_cast<float>(channel - 1);
}

int ChannelPlan24::secondary(int channel, int bandwidthMHz, int secondaryChannel) {
    if (!isChannel(channel) || bandwidthMHz != 40) {
        return 0;
    }
    if (secondaryChannel == kSecondaryAbove && channel <= 9) {
        return channel + 4;
    }
    if (secondaryChannel == kSecondaryBelow && channel >= 5) {
        return channel - 4;
    }
    return 0;
}

std::optional<FrequencySpan> ChannelPlan24::occupied(int channel, int bandwidthMHz,
                                                     int secondaryChannel) {
    if (!isChannel(channel) || (bandwidthMHz != 20 && bandwidthMHz != 40)) {
        return std::nullopt;
    }
    const float centre = centreMHz(channel);
    FrequencySpan span{centre - 10.0f, centre + 10.0f};
    if (bandwidthMHz == 40) {
        if (secondaryChannel == kSecondaryAbove && channel <= 9) {
            span.highMHz = centreMHz(channel + 4) + 10.0f;
        } else if (secondaryChannel == kSecondaryBelow && channel >= 5 && channel <= 13) {
            span.lowMHz = centreMHz(channel - 4) - 10.0f;
        }
    }
    return span;
}

std::optional<ChannelSpan> ChannelPlan24::overlapping(int channel, int bandwidthMHz,
                                                      int secondaryChannel) {
    if (bandwidthMHz == 20 && isChannel(channel)) {
        if (channel == 14) {
            return ChannelSpan{12, 14};
        }
        return ChannelSpan{std::max(channel - 4, 1), std::min(channel + 4, 14)};
    }
    if (bandwidthMHz != 40 || !isChannel(channel) || channel > 13) {
        return std::nullopt;
    }
    ChannelSpan span{std::max(channel - 4, 1), std::min(channel + 4, 14)};
    if (secondaryChannel == kSecondaryAbove) {
        if (channel <= 6) {
            span.high = channel + 8;
        } else if (channel <= 9) {
            span.high = 14;
        }
    } else if (secondaryChannel == kSecondaryBelow) {
        if (channel >= 9) {
            span.low = channel - 8;
        } else if (channel >= 5) {
            span.low = 1;
        }
    }
    return span;
}
