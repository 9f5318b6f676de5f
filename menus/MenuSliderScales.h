#pragma once

// How the spectrum menus' sliders turn a percentage into a setting and back. Every setting is
// clamped in floating point before it becomes a position (NaN at 0) and positions are rounded,
// so each value a slider can write shows at a position that writes that same value again.
struct MenuSliderScales {
    // REFRESH: 0 ("ALWAYS"), else 20 to 120 s in 10 s steps.
    static float refreshForPercent(float percent);
    static float percentForRefresh(float seconds);
    // HOLD: 0 to 3 s.
    static float holdForPercent(float percent);
    static float percentForHold(float seconds);
    // DECAY: 0 to 10 dB per sweep.
    static float decayForPercent(float percent);
    static float percentForDecay(float step);
    // AVERAGE: 0 to 4 s.
    static float averageForPercent(float percent);
    static float percentForAverage(float seconds);
    // Peak markers: 0 to 5.
    static int peakCountForPercent(float percent);
    static float percentForPeakCount(float count);
};
