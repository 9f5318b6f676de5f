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
    if (columns <= 0 || columns > band.pointsPerSweep() ||
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
    const size_t transparentBytes = static_cast<size_t>(columns - coloured) * 4;
    uint8_t* out = buffer;
    for (int i = 0; i < rows; ++i) {
        const float* record = band.sweep(records - rows + i);
        for (int j = 0; j < coloured; ++j, out += 4) {
            const float v = record[j];
            const float f = v * k - offset;
            const int index = f >= 255.f ? 255 : (f > 0.f ? static_cast<int>(f) : 0);
            uint32_t pixel = v >= high ? last : colours[index];
            pixel = v >= low ? pixel : 0;  // below the low threshold, and NaN
            std::memcpy(out, &pixel, 4);
        }
        std::memset(out, 0, transparentBytes);
        out += transparentBytes;
    }
    region.columns = columns;
    region.rows = rows;
    return true;
}
