#include "views/spectrum/WaterfallPixels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__)
#define TARNO_WATERFALL_SSE2 1
#include <immintrin.h>
#endif

#include "model/BandSweepBuffers.h"
#include "views/spectrum/Palette.h"

namespace {

constexpr int kLastEntry = 256;

// The pixel-table entry of one level. The vector loops below compute the same with the same
// float operations, so a row's tail matches its body bit for bit.
inline int tableEntry(float v, float k, float offset, float low, float high) {
    float f = v * k - offset;
    f = f > 0.f ? f : 0.f;  // NaN gives 0
    f = f < 255.f ? f : 255.f;
    int entry = static_cast<int>(f) + 1;
    entry = v >= high ? kLastEntry : entry;
    return v >= low ? entry : 0;  // below the low threshold, and NaN
}

#if defined(TARNO_WATERFALL_SSE2)
// GCC 12's AVX-512 headers start some intrinsics from an undefined register and warn about it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
// Sixteen levels at a time. The 256 palette colours sit in sixteen registers; each level picks
// its colour by two-table permutes on the low five bits of its index and selects on the high three.
__attribute__((target("avx512f"))) int paintBodyAvx512(const float* record, int coloured,
                                                       const WaterfallPixels::PixelTable& table,
                                                       float k, float offset, float low, float high,
                                                       uint8_t* out) {
    __m512i colours[16];
    for (int r = 0; r < 16; ++r)
        colours[r] = _mm512_loadu_si512(table.data() + 1 + 16 * r);
    const __m512 vk = _mm512_set1_ps(k);
    const __m512 voffset = _mm512_set1_ps(offset);
    const __m512 vlow = _mm512_set1_ps(low);
    const __m512 vhigh = _mm512_set1_ps(high);
    const __m512 zero = _mm512_setzero_ps();
    const __m512 top = _mm512_set1_ps(255.f);
    const __m512i last = _mm512_set1_epi32(255);
    const __m512i bit5 = _mm512_set1_epi32(32);
    const __m512i bit6 = _mm512_set1_epi32(64);
    const __m512i bit7 = _mm512_set1_epi32(128);
    int j = 0;
    for (; j + 16 <= coloured; j += 16) {
        const __m512 v = _mm512_loadu_ps(record + j);
        __m512 f = _mm512_sub_ps(_mm512_mul_ps(v, vk), voffset);
        f = _mm512_max_ps(f, zero);
        f = _mm512_min_ps(f, top);
        __m512i index = _mm512_cvttps_epi32(f);
        index = _mm512_mask_mov_epi32(index, _mm512_cmp_ps_mask(v, vhigh, _CMP_GE_OQ), last);
        const __mmask16 m5 = _mm512_test_epi32_mask(index, bit5);
        const __mmask16 m6 = _mm512_test_epi32_mask(index, bit6);
        const __mmask16 m7 = _mm512_test_epi32_mask(index, bit7);
        __m512i quarter[4];
        for (int q = 0; q < 4; ++q) {
            const __m512i a = _mm512_permutex2var_epi32(colours[4 * q], index, colours[4 * q + 1]);
            const __m512i b =
                _mm512_permutex2var_epi32(colours[4 * q + 2], index, colours[4 * q + 3]);
            quarter[q] = _mm512_mask_blend_epi32(m5, a, b);
        }
        const __m512i lowHalf = _mm512_mask_blend_epi32(m6, quarter[0], quarter[1]);
        const __m512i highHalf = _mm512_mask_blend_epi32(m6, quarter[2], quarter[3]);
        const __m512i pixels =
            _mm512_maskz_mov_epi32(_mm512_cmp_ps_mask(v, vlow, _CMP_GE_OQ),
                                   _mm512_mask_blend_epi32(m7, lowHalf, highHalf));
        _mm512_storeu_si512(out + size_t{4} * static_cast<size_t>(j), pixels);
    }
    return j;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// Four levels at a time from point `j` on; returns the first point it left.
int paintBodySse2(const float* record, int j, int coloured,
                  const WaterfallPixels::PixelTable& table, float k, float offset, float low,
                  float high, uint8_t* out) {
    const __m128 vk = _mm_set1_ps(k);
    const __m128 voffset = _mm_set1_ps(offset);
    const __m128 vlow = _mm_set1_ps(low);
    const __m128 vhigh = _mm_set1_ps(high);
    const __m128 zero = _mm_setzero_ps();
    const __m128 top = _mm_set1_ps(255.f);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i last = _mm_set1_epi32(kLastEntry);
    for (; j + 4 <= coloured; j += 4) {
        const __m128 v = _mm_loadu_ps(record + j);
        __m128 f = _mm_sub_ps(_mm_mul_ps(v, vk), voffset);
        f = _mm_max_ps(f, zero);  // the second operand when f is NaN
        f = _mm_min_ps(f, top);
        __m128i entry = _mm_add_epi32(_mm_cvttps_epi32(f), one);
        const __m128i atTop = _mm_castps_si128(_mm_cmpge_ps(v, vhigh));
        entry = _mm_or_si128(_mm_andnot_si128(atTop, entry), _mm_and_si128(atTop, last));
        entry = _mm_and_si128(entry, _mm_castps_si128(_mm_cmpge_ps(v, vlow)));
        const uint64_t lo = static_cast<uint64_t>(_mm_cvtsi128_si64(entry));
        const uint64_t hi =
            static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(entry, entry)));
        const __m128i pixels = _mm_set_epi32(
            static_cast<int>(table[hi >> 32]), static_cast<int>(table[hi & 0xFFFFFFFFu]),
            static_cast<int>(table[lo >> 32]), static_cast<int>(table[lo & 0xFFFFFFFFu]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size_t{4} * static_cast<size_t>(j)),
                         pixels);
    }
    return j;
}
#endif

// Levels are noise, so every decision is a select, never a branch: a mispredicted branch per
// point costs more than the rest of the work.
void paintRow([[maybe_unused]] WaterfallPixels::RowKernel kernel, const float* record, int coloured,
              int columns, const WaterfallPixels::PixelTable& table, float k, float offset,
              float low, float high, uint8_t* out) {
    int j = 0;
#if defined(TARNO_WATERFALL_SSE2)
    if (kernel == WaterfallPixels::RowKernel::Avx512)
        j = paintBodyAvx512(record, coloured, table, k, offset, low, high, out);
    if (kernel != WaterfallPixels::RowKernel::Scalar)
        j = paintBodySse2(record, j, coloured, table, k, offset, low, high, out);
#endif
    for (; j < coloured; ++j) {
        const uint32_t pixel =
            table[static_cast<size_t>(tableEntry(record[j], k, offset, low, high))];
        std::memcpy(out + size_t{4} * static_cast<size_t>(j), &pixel, 4);
    }
    if (coloured < columns) {
        std::memset(out + size_t{4} * static_cast<size_t>(coloured), 0,
                    size_t{4} * static_cast<size_t>(columns - coloured));
    }
}

bool kernelRuns(WaterfallPixels::RowKernel kernel) {
    switch (kernel) {
        case WaterfallPixels::RowKernel::Scalar:
            return true;
#if defined(TARNO_WATERFALL_SSE2)
        case WaterfallPixels::RowKernel::Sse2:
            return true;
        case WaterfallPixels::RowKernel::Avx512:
            // The choice is made while static objects are built, perhaps before the runtime's
            // own processor probe has run.
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f");
#endif
        default:
            return false;
    }
}

WaterfallPixels::RowKernel fastestKernel() {
    for (auto kernel : {WaterfallPixels::RowKernel::Avx512, WaterfallPixels::RowKernel::Sse2}) {
        if (kernelRuns(kernel))
            return kernel;
    }
    return WaterfallPixels::RowKernel::Scalar;
}

std::atomic<WaterfallPixels::RowKernel> selectedKernel{fastestKernel()};

}  // namespace

WaterfallPixels::RowKernel WaterfallPixels::rowKernel() {
    return selectedKernel.load(std::memory_order_relaxed);
}

bool WaterfallPixels::useRowKernel(RowKernel kernel) {
    if (!kernelRuns(kernel))
        return false;
    selectedKernel.store(kernel, std::memory_order_relaxed);
    return true;
}

int WaterfallPixels::paletteIndex(float value, float low, float high) {
    if (value >= high)
        return 255;
    // The scale factor once, then one multiplication per level, as the picture computes it.
    const float k = 255.f / (high - low);
    const float index = value * k - k * low;
    if (!(index > 0.f))
        return 0;
    return std::min(255, static_cast<int>(index));
}

bool WaterfallPixels::measure(const BandSweepBuffers& band, size_t bufferBytes, Region& region) {
    const int records = band.sweepCount();
    if (records == 0)
        return false;
    const int rows = std::min(records, kMaxRows);
    const int columns = band.sweepPointCount < 0 ? band.pointsPerSweep() : band.sweepPointCount;
    if (columns <= 0 || columns > band.pointsPerSweep() || columns > kTextureSize ||
        static_cast<size_t>(rows) * static_cast<size_t>(columns) * 4 > bufferBytes)
        return false;
    region.columns = columns;
    region.rows = rows;
    return true;
}

bool WaterfallPixels::makePixelTable(const Palette& palette, PixelTable& table) {
    if (palette.count() < 256)
        return false;
    table[0] = 0;
    for (int i = 0; i < 256; ++i) {
        const PaletteColor& c = palette.at(i);
        const uint8_t bytes[4] = {c.r, c.g, c.b, 255};
        std::memcpy(&table[static_cast<size_t>(i) + 1], bytes, 4);
    }
    return true;
}

int WaterfallPixels::colouredColumns(int shownPoints, int columns) {
    return std::clamp(shownPoints + 1, 0, columns);
}

void WaterfallPixels::paintRows(const BandSweepBuffers& band, int firstRecord, int count,
                                int columns, int coloured, const PixelTable& table, float low,
                                float high, uint8_t* out) {
    const float k = 255.f / (high - low);
    const float offset = k * low;
    const size_t rowBytes = static_cast<size_t>(columns) * 4;
    const RowKernel kernel = rowKernel();
    for (int i = 0; i < count; ++i) {
        paintRow(kernel, band.sweep(firstRecord + i), coloured, columns, table, k, offset, low,
                 high, out + rowBytes * static_cast<size_t>(i));
    }
}

bool WaterfallPixels::build(const BandSweepBuffers& band, int shownPoints, float low, float high,
                            const Palette& palette, uint8_t* buffer, size_t bufferBytes,
                            Region& region) {
    Region size;
    PixelTable table;
    if (!measure(band, bufferBytes, size) || !makePixelTable(palette, table))
        return false;
    paintRows(band, band.sweepCount() - size.rows, size.rows, size.columns,
              colouredColumns(shownPoints, size.columns), table, low, high, buffer);
    region = size;
    return true;
}
