#pragma once

#include <array>
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

    // Whole RGBA pixels as the rows hold them: entry 0 is transparent (below the low threshold,
    // not a number), entry i + 1 is palette colour i.
    using PixelTable = std::array<uint32_t, 257>;

    // False (buffer untouched) for an empty history or a picture larger than bufferBytes.
    static bool build(const BandSweepBuffers& band, int shownPoints, float low, float high,
                      const Palette& palette, uint8_t* buffer, size_t bufferBytes, Region& region);

    // The picture's size for the band's history; false when build() would refuse it.
    static bool measure(const BandSweepBuffers& band, size_t bufferBytes, Region& region);

    // False for a palette of fewer than 256 colours.
    static bool makePixelTable(const Palette& palette, PixelTable& table);

    // Points up to and including the shown count are coloured, the rest stay transparent.
    static int colouredColumns(int shownPoints, int columns);

    // Paints `count` rows from the band's sweep `firstRecord` on into `out`.
    static void paintRows(const BandSweepBuffers& band, int firstRecord, int count, int columns,
                          int coloured, const PixelTable& table, float low, float high,
                          uint8_t* out);

    // How a row is painted; every kernel paints the same pixels. The fastest the processor has is
    // chosen at start, and tests pin each in turn.
    enum class RowKernel : uint8_t { Scalar, Sse2, Avx512 };
    static RowKernel rowKernel();
    // False (kernel unchanged) when this processor cannot run the kernel.
    static bool useRowKernel(RowKernel kernel);

    // Palette index of a level: 0 at the low threshold, 255 at or above the high one.
    static int paletteIndex(float value, float low, float high);
};
