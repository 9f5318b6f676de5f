// Where the view draws the trigger point against where the accessory puts it: the simulated
// first generation, through the real link and protocol, at delays across the whole screen. The
// accessory keeps (T/2 + delay) x rate samples before the trigger; the power view draws the
// delay marker at TriggerPosition::x, which must land on the captured edge.
#include <gtest/gtest.h>

#include <cmath>

#include "model/TriggerPosition.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

// The fastest time base: 2 us a division, 20 us on screen, one period of the pulse train, whose
// pulses are 8 us high. Its edges are steep enough to locate to a sample or two.
constexpr int kTimeBase = 17;
constexpr float kLevel = -31.7f;

struct Placement {
    float divisions;
    std::vector<std::vector<float>> captures;
    float markerFraction = NAN;  // marker x over the view width
};

Placement captureAt(float divisions) {
    Placement p{divisions, {}};
    LinkRig rig(SimGeneration::Tarno);
    SpectrumSettings& m = rig.model;
    m.common_settings.spectrumMode = 0;
    m.power_setting.powerTimeBaseIndex = kTimeBase;
    m.power_setting.triggerOnPower = 1;
    m.power_setting.triggerRisingEdge = 1;
    m.power_setting.triggerAuto = 0;  // only triggered captures
    m.power_setting.triggerLevel = kLevel;
    if (!rig.tickUntil([&] { return !m.accessory.powerTimeBases.empty(); }, 20)) {
        return p;
    }
    const float perDivision = m.timeBaseNow();
    m.power_setting.triggerDelay = divisions * perDivision;
    rig.controller.requestReconfigure(true);
    const int acks = rig.controller.ackCount();
    rig.tickUntil([&] { return rig.controller.ackCount() > acks; }, 20);
    rig.tickUntil([&] { return m.live.history.size() >= 4; }, 200);
    p.captures = m.live.history;
    p.markerFraction = TriggerPosition::x(1.f, perDivision, m.power_setting.triggerDelay);
    return p;
}

// Mean of the samples in [from, to) that exist; NaN when none does.
float meanOf(const std::vector<float>& x, long from, long to) {
    double sum = 0;
    int n = 0;
    for (long k = std::max(0L, from); k < std::min<long>(to, static_cast<long>(x.size())); ++k) {
        sum += x[static_cast<size_t>(k)];
        ++n;
    }
    return n == 0 ? NAN : static_cast<float>(sum / n);
}

}  // namespace

TEST(TriggerPlacement, TheMarkerSitsOnTheCapturedEdgeAcrossTheScreen) {
    for (float divisions : {-5.f, -2.5f, 0.f, 2.5f, 5.f}) {
        const Placement p = captureAt(divisions);
        ASSERT_GE(p.captures.size(), 4u) << divisions;
        EXPECT_NEAR(p.markerFraction, 0.5f + divisions / 10.f, 1e-5) << divisions;
        for (const std::vector<float>& x : p.captures) {
            ASSERT_GT(x.size(), 100u);
            const long n = static_cast<long>(x.size());
            const long m = std::lround(p.markerFraction * static_cast<float>(n - 1));
            // Just before the marker the pulse has not risen, just after it is up (a pulse is
            // high for 8 us, 40 % of the screen; 8 samples are 0.67 us).
            const float before = meanOf(x, m - 8, m - 2);
            const float after = meanOf(x, m + 2, m + 8);
            if (!std::isnan(before)) {
                EXPECT_LT(before, kLevel) << divisions << " div, marker sample " << m;
            }
            if (!std::isnan(after)) {
                EXPECT_GT(after, kLevel) << divisions << " div, marker sample " << m;
            }
        }
    }
}
