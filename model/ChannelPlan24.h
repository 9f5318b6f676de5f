#pragma once

#include <optional>

// Inclusive range of 2.4 GHz channel numbers.
struct ChannelSpan {
    int low = 0;
    int high = 0;
    bool contains(int channel) const { return channel >= low && channel <= high; }
};

// Frequency range in MHz.
struct FrequencySpan {
    float lowMHz = 0.0f;
    float highMHz = 0.0f;
};

// The 2.4 GHz channels 1..14 as the utilization grading sees them. The channel byte comes from a
// scan record and may hold anything: channels outside 1..14 have no frequency, secondary channel,
// occupied range or overlap, so they can neither index the per-channel tables nor interfere.
class ChannelPlan24 {
  public:
    static constexpr int kFirstChannel = 1;
    static constexpr int kLastChannel = 14;
    static constexpr int kSecondaryAbove = 1;
    static constexpr int kSecondaryBelow = 2;

    static bool isChannel(int channel) {
        return channel >= kFirstChannel && channel <= kLastChannel;
    }

    // Centre frequency: 2412 + 5 (c - 1) MHz, channel 14 at 2484 MHz; 0 outside 1..14.
    static float centreMHz(int channel);

    // Secondary channel of a 40 MHz access point (c + 4 above for c <= 9, c - 4 below for
    // c >= 5); 0, which is no channel, for none.
    static int secondary(int channel, int bandwidthMHz, int secondaryChannel);

    // Frequencies a 20 or 40 MHz access point on `channel` occupies; none for other bandwidths.
    static std::optional<FrequencySpan> occupied(int channel, int bandwidthMHz,
                                                 int secondaryChannel);

    // Channels whose 20 MHz overlaps an access point on `channel` (its own included).
    static std::optional<ChannelSpan> overlapping(int channel, int bandwidthMHz,
                                                  int secondaryChannel);
};
