#include "views/spectrum/HeatMapPixels.h"

#include <cstring>

#include "views/spectrum/Palette.h"

uint8_t HeatMapPixels::crispAlpha(uint16_t hits) {
    if (hits == 0)
        return 0;
    if (hits >= kSaturatingHits)
        return 255;
    const float a = (static_cast<float>(hits - 1) * 0.65f / 19.f + 0.35f) * 255.f;
    return static_cast<uint8_t>(a);
}

void HeatMapPixels::accumulateColumns(const uint16_t* counts, int columns, int rows,
                                      uint16_t* sums) {
    if (columns <= 0 || rows <= 0)
        return;
    // Row by row from the top, so that whole rows are added at once.
    const size_t width = static_cast<size_t>(columns);
    const size_t top = static_cast<size_t>(rows - 1) * width;
    std::memcpy(sums + top, counts + top, width * sizeof(uint16_t));
    for (int y = rows - 2; y >= 0; --y) {
        const size_t row = static_cast<size_t>(y) * width;
        for (size_t x = 0; x < width; ++x)
            sums[row + x] = static_cast<uint16_t>(sums[row + width + x] + counts[row + x]);
    }
}

int HeatMapPixels::highestRowWithHits(const HeatMap& grid) {
    const size_t width = grid.columns > 0 ? static_cast<size_t>(grid.columns) : 0;
    if (width == 0 || grid.rows <= 0 || grid.counts.size() < width * static_cast<size_t>(grid.rows))
        return -1;
    for (int y = grid.rows - 1; y >= 0; --y) {
        const uint16_t* row = grid.counts.data() + static_cast<size_t>(y) * width;
        for (size_t x = 0; x < width; ++x) {
            if (row[x] != 0)
                return y;
        }
    }
    return -1;
}

HeatMapPixels::Result HeatMapPixels::build(HeatMap& grid, int colorMap, uint8_t* smooth,
                                           uint8_t* crisp, size_t bufferBytes,
                                           std::vector<uint16_t>& sums) {
    const int width = grid.columns;
    const int height = grid.rows;
    if (width <= 0 || height <= 0) {
        std::memset(smooth, 0, bufferBytes);
        std::memset(crisp, 0, bufferBytes);
        return Result::kCleared;
    }
    const size_t cells = static_cast<size_t>(width) * static_cast<size_t>(height);
    // A grid whose counts do not cover its stated size is as unusable as one too large, and so
    // is one of few enough cells that is wider or taller than the textures it is uploaded to.
    if (cells * 4 > bufferBytes || grid.counts.size() < cells || width > kTextureWidth ||
        height > kTextureHeight)
        return Result::kTooLarge;

    const Palette palette = Palette::forColorMap(colorMap, height);
    const int step = (height - 1) / 19;
    uint8_t alphas[kSaturatingHits + 1];
    for (int c = 0; c <= kSaturatingHits; ++c)
        alphas[c] = crispAlpha(static_cast<uint16_t>(c));
    for (size_t i = 0; i < cells; ++i) {
        const uint16_t c = grid.counts[i];
        crisp[i * 4 + 3] = alphas[c < kSaturatingHits ? c : kSaturatingHits];
    }
    grid.cumulative = false;
    if (sums.size() < cells)
        sums.resize(cells);
    accumulateColumns(grid.counts.data(), width, height, sums.data());

    for (size_t i = 0; i < cells; ++i) {
        const uint16_t c = sums[i];
        uint8_t* s = smooth + i * 4;
        uint8_t* k = crisp + i * 4;
        if (c == 0) {
            s[0] = s[1] = s[2] = s[3] = 0;
            k[0] = k[1] = k[2] = 0;
            continue;
        }
        const PaletteColor& colour =
            c >= kSaturatingHits ? palette.last() : palette.at(step * (c - 1));
        s[0] = k[0] = colour.r;
        s[1] = k[1] = colour.g;
        s[2] = k[2] = colour.b;
        s[3] = kSmoothAlpha;
    }
    return Result::kBuilt;
}
