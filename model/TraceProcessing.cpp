#include "model/TraceProcessing.h"

#include <cmath>

#include "model/SpectrumSettings.h"
#include "model/TraceProcessingWindows.h"

TraceProcessing::Settings TraceProcessing::settingsFor(const SpectrumSettings& model, bool band24) {
    const SpectrumViewSettings& view = model.spectrum_settings;
    Settings settings;
    settings.sweepPeriod =
        band24 ? model.accessory.spectrumInterval24 : model.accessory.spectrumInterval5;
    settings.holdTime = view.holdTime;
    settings.averageTime = view.averageTime;
    settings.decayStep = view.decayStep;
    return settings;
}

bool TraceProcessing::processBand(BandSweepBuffers& band, const Settings& settings) {
    TraceProcessingWindows fresh;
    return fresh.process(band, settings);
}

int TraceProcessing::effectivePointCount(int sweepPointCount, int pointsPerSweep) {
    if (sweepPointCount < 0 || sweepPointCount > pointsPerSweep - 1)
        return pointsPerSweep;
    return sweepPointCount;
}

int TraceProcessing::windowSweeps(float seconds, float sweepPeriod, int available) {
    // A zero or broken sweep period from the accessory must not become an undefined
    // float-to-int conversion: the window is then the whole history (or nothing for NaN).
    // Float division as the settings are stored: 1 s / 0.1 s must give 10 sweeps, not 9.
    const float ratio = seconds / sweepPeriod;
    if (std::isnan(ratio) || ratio < 1.f)
        return 0;
    if (ratio >= static_cast<float>(available))
        return available;
    return static_cast<int>(ratio);
}

void TraceProcessing::offerPeak(PeakList& peaks, int index, float value) {
    // The list is filled from the front and kept in falling order, so a full list whose last
    // entry is not below the value takes nothing: most points of a sweep stop here.
    if (peaks.empty() || (peaks.back().index >= 0 && !(peaks.back().value < value)))
        return;
    for (size_t j = 0; j < peaks.size(); ++j) {
        if (peaks[j].index < 0 || peaks[j].value < value) {
            for (size_t k = peaks.size() - 1; k > j; --k)
                peaks[k] = peaks[k - 1];
            peaks[j] = PeakEntry{index, value};
            return;
        }
    }
}

void TraceProcessing::findTopPeaks(const float* values, int count, PeakList& peaks) {
    resetPeakList(peaks);
    if (!values)
        return;
    const PeakEntry& last = peaks.back();
    for (int i = 0; i < count; ++i) {
        // offerPeak's own first test, here so the common case costs no call.
        if (last.index >= 0 && !(last.value < values[i]))
            continue;
        offerPeak(peaks, i, values[i]);
    }
}

uint8_t TraceProcessing::maskBitForKind(int kind) {
    switch (kind) {
        case 1:
            return kRawBit;
        case 2:
            return kDecayBit;
        case 3:
            return kAverageBit;
        case 4:
            return kMaxBit;
        case 5:
            return kMinBit;
        case 6:
            return kHeatMapBit;
        default:
            return 0;
    }
}

uint8_t TraceProcessing::maskForModes(const uint8_t modes[3]) {
    return static_cast<uint8_t>(maskBitForKind(modes[0]) | maskBitForKind(modes[1]) |
                                maskBitForKind(modes[2]));
}
