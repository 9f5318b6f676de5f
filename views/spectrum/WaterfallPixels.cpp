#include "views/spectrum/WaterfallPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/BandSweepBuffers.h"
#include "views/spectrum/Palette.h"

int WaterfallPixels::paletteIndex(float value, float low, float high) {
    if (value >= high)
        return 255;
    // The scale factor once, then one multiplication per level: the rebuild runs this per point.
    const float k = 255.f / (high - low);
    const float index = value * k - k * low;
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
    if (columns <= 0 || columns > band.pointsPerSweep() || columns > kTextureSize ||
        static_cast<size_t>(rows) * static_cast<size_t>(columns) * 4 > bufferBytes)
        return false;
    // Whole pixels from a table: the rebuild runs over up to 256,000 points at once.
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i) {
        const PaletteColor& c = palette.at(i);
        const uint8_t bytes[4] = {c.r, c.g, c.b, 255};
        std::memcpy(&colours[i], bytes, 4);
    }
    const uint32_t last = colours[255];
    const float k = 255.f / (high - low);
    const float offset = k * low;
    // Points above the shown count stay transparent.
    const int coloured = std::clamp(shownPoints + 1, 0, columns);
    // Each row is built in 32-bit pixels and copied out whole: stores through the byte buffer
    // would make the compiler assume every store may change the sweep being read.
    uint32_t line[kTextureSize] = {};
    uint8_t* out = buffer;
    const size_t rowBytes = static_cast<size_t>(columns) * 4;
    for (int i = 0; i < rows; ++i) {
        const float* record = band.sweep(records - rows + i);
        for (int j = 0; j < coloured; ++j) {
            const float v = record[j];
            const float f = v * k - offset;
            // Selects rather than branches: levels are noise, branches would mispredict.
            float clamped = f > 0.f ? f : 0.f;  // NaN gives 0
            clamped = clamped < 255.f ? clamped : 255.f;
            const int index = static_cast<int>(clamped);
            const uint32_t pixel = v >= high ? last : colours[index];
            line[j] = v >= low ? pixel : 0;  // below the low threshold, and NaN
        }
        std::memcpy(out, line, rowBytes);
        out += rowBytes;
    }
    region.columns = columns;
    region.rows = rows;
    return true;
}
