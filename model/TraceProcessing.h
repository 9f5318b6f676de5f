#pragma once

#include <cstdint>

#include "model/BandSweepBuffers.h"
#include "model/PeakList.h"

class SpectrumSettings;

// The per-frame trace processing of one band: raw, decaying peak hold, average, maximum and
// minimum traces from the sweep history (the band works out their peaks when read). Pure arithmetic
// on the model's buffers, so the spectrum layer, tarno-cli and the tests share one implementation.
class TraceProcessing {
  public:
    struct Settings {
        float sweepPeriod = 0.1f;  // s per sweep of the band
        float holdTime = 1.f;      // s
        float averageTime = 1.f;   // s
        float decayStep = 2.f;     // dB the decay trace falls per processed sweep
    };

    // traceMask bits per trace kind (SpectrumSettings::TraceKind).
    enum MaskBits : uint8_t {
        kHeatMapBit = 0x01,
        kRawBit = 0x02,
        kDecayBit = 0x04,
        kAverageBit = 0x08,
        kMaxBit = 0x10,
        kMinBit = 0x20,
        kKindBits = 0x3f,
    };

    // The settings the model holds for a band: the accessory's sweep period and the view's hold,
    // average and decay.
    static Settings settingsFor(const SpectrumSettings& model, bool band24);

    // Processes the newest sweep when `newSweep` is set (clearing it and setting `tracesReady`),
    // working the windows out from the rows. Returns true when the traces changed.
    // TraceProcessingWindows gives the same traces from what the windows held at the last sweep.
    static bool processBand(BandSweepBuffers& band, const Settings& settings);

    // The points of a sweep: a count outside 0..N-1 means the whole row of N.
    static int effectivePointCount(int sweepPointCount, int pointsPerSweep);

    // How many of the newest sweeps a window of `seconds` spans, at most `available`.
    static int windowSweeps(float seconds, float sweepPeriod, int available);

    // The five largest of count values, highest first, the earlier index first among equals.
    static void findTopPeaks(const float* values, int count, PeakList& peaks);
    // Offers one value to a peak list kept in that order.
    static void offerPeak(PeakList& peaks, int index, float value);

    // The mask bit of a trace kind, 0 for none and unknown kinds.
    static uint8_t maskBitForKind(int kind);
    // The kind bits of three trace slots ORed together.
    static uint8_t maskForModes(const uint8_t modes[3]);
};
