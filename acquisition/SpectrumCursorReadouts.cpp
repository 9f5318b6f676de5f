#include "acquisition/SpectrumCursorReadouts.h"

#include <algorithm>

#include "model/BandSweepBuffers.h"
#include "model/MeasurementRecords.h"
#include "model/StoredSettings.h"

namespace {

// Readout words run raw, decay, average, maximum, minimum; the traces are stored differently.
constexpr int kReadoutTrace[5] = {BandSweepBuffers::kRawTrace, BandSweepBuffers::kDecayTrace,
                                  BandSweepBuffers::kAverageTrace, BandSweepBuffers::kMaxTrace,
                                  BandSweepBuffers::kMinTrace};

}  // namespace

void SpectrumCursorReadouts::write(const BandSweepBuffers& band, const CursorSettings& cursors,
                                   float width, float scaleY, float offsetY, CursorReadouts& out) {
    if (!cursors.cursorsShown || !cursors.verticalShown)
        return;
    const float w = width;
    const int p = std::min(band.processedPointCount, band.pointsPerSweep());
    if (p <= 1 || !(w > 0.f))
        return;
    for (int k = 0; k < 2; ++k) {
        const float x = cursors.verticalX[k];
        // At the right edge the product can round to just under the last index; that cursor
        // must read the last values themselves.
        float f = x >= w ? static_cast<float>(p - 1) : x * static_cast<float>(p - 1) / w;
        if (!(f >= 0.f))
            f = 0.f;  // also NaN
        f = std::min(f, static_cast<float>(p - 1));
        const int a = static_cast<int>(f);
        const float t = f - static_cast<float>(a);
        out.index[k] = a;
        for (int r = 0; r < 5; ++r) {
            const float* trace = band.traces[static_cast<size_t>(kReadoutTrace[r])].data();
            const float v = a >= p - 1 ? trace[p - 1] : (1.f - t) * trace[a] + t * trace[a + 1];
            out.level[r][k] = v;
            out.screenY[r][k] = v * scaleY + offsetY;
        }
    }
    out.pointCount = p;
}
