#pragma once

#include <cstddef>
#include <cstdint>

class BandSweepBuffers;
class Palette;

// Paints a band's sweep history into the waterfall picture: one row per sweep, the oldest shown
// sweep in row 0, each level coloured between the low and the high threshold. Rows are
// `columns` pixels wide and packed without padding.
class WaterfallPixels {
  public:
    static constexpr int kTextureSize = 512;  // 512 points wide, 500 sweeps rounded up
    static constexpr int kMaxRows = 500;
    static constexpr size_t kBufferBytes = size_t{kTextureSize} * kTextureSize * 4;

    struct Region {
        int columns = 0;
        int rows = 0;
    };

    // False (buffer untouched) for an empty history or a picture larger than bufferBytes.
    static bool build(const BandSweepBuffers& band, int shownPoints, float low, float high,
                      const Palette& palette, uint8_t* buffer, size_t bufferBytes, Region& region);

    // Palette index of a level: 0 at the low threshold, 255 at or above the high one.
    static int paletteIndex(float value, float low, float high);
};
