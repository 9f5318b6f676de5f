#pragma once

#include <cstdint>
#include <vector>

struct SpectrumViewSettings;

// The radio channel plans the channel guide lays over the spectrum: channel numbers, their edges
// and the span and row count the guide draws them with. Frequencies are kHz. Plan values come
// from stored settings, so every query accepts any int: values outside 0..11 are "no plan".
class ChannelPlans {
  public:
    static constexpr int kPlanCount = 12;

    struct Range {
        int32_t low = 0;
        int32_t high = 0;
        bool operator==(const Range& o) const { return low == o.low && high == o.high; }
    };

    // The plan of the selected band (channelGuide24 or channelGuide5); 0 for another band or a
    // stored plan outside 0..11.
    static int activePlan(const SpectrumViewSettings& view);

    // Display span start..end; 0..0 for plan 0 and unknown plans.
    static Range planSpan(int plan);
    // Rows the guide stacks the channels in; never below 1.
    static int planRowCount(int plan);
    // Channel numbers in display order; empty for plan 0 and unknown plans.
    static std::vector<int> planChannels(int plan);
    // Low and high edge of channel n; 0..0 for a number the plan does not have.
    static Range channelEdges(int plan, int channel);
    // Edges rounded outward to whole 100 kHz, as the guide's buttons are laid out.
    static Range roundedEdges(const Range& edges);
    // The popover title's prefix ("802.11b :: "); empty for plan 0 and unknown plans.
    static const char* popoverPrefix(int plan);

    // Frequency to x over a layer of the given width: every frequency covers one 1 MHz step to
    // its right, so the span is one step wider than end - start.
    struct Scale {
        double k = 0;
        double start = 0;
        float x(double kHz) const { return static_cast<float>(k * kHz - k * start); }
    };
    static Scale scaleFor(int plan, float width);

    // The channel of the plan whose centre lies nearest to x (the first of equals); -1 when the
    // plan has no channels.
    static int nearestChannel(int plan, float width, float x);
};
