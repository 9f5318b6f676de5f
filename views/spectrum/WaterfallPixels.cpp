#include "views/spectrum/WaterfallPixels.h"

#include <algorithm>
#include <cmath>

#include "model/BandSweepBuffers.h"
#include "views/spectrum/Palette.h"

int WaterfallPixels::paletteIndex(float value, float low, float high) {
    if (value >= high)
        return 255;
    const float index = (value - low) * 255.f / (high - low);
    if (!(index > 0.f))
        return 0;
    return std::min(255, static_cast<int>(index));
}

bool WaterfallPixels::build(const BandSweepBuffers& band, int shownPoints, float low, float high,
                            const Palette& palette, uint8_t* buffer, size_t bufferBytes,
                            Region& region) {
    const int records = band.sweepCount();
    if (records == 0 || palette.count() < 256)
        return false;
    const int rows = std::min(records, kMaxRows);
    const int columns = band.sweepPointCount < 0 ? band.pointsPerSweep() : band.sweepPointCount;
    if (columns <= 0 || columns > band.pointsPerSweep() ||
        static_cast<size_t>(rows) * static_cast<size_t>(columns) * 4 > bufferBytes)
        return false;
    uint8_t* out = buffer;
    for (int i = 0; i < rows; ++i) {
        const float* record = band.sweep(records - rows + i);
        for (int j = 0; j < columns; ++j, out += 4) {
            const float v = record[j];
            // NaN never reaches the palette.
            if (j > shownPoints || !(v >= low)) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            const PaletteColor& colour = palette.at(paletteIndex(v, low, high));
            out[0] = colour.r;
            out[1] = colour.g;
            out[2] = colour.b;
            out[3] = 255;
        }
    }
    region.columns = columns;
    region.rows = rows;
    return true;
}
