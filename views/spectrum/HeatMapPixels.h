#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/BandSweepBuffers.h"

// Turns a band's hit-count grid into the two RGBA pictures of the heat map: a smooth one
// (cumulative counts in the palette, faint alpha, shown with linear filtering) and a crisp one
// (the same colours, alpha from the raw hits, shown texel by texel). Pixel row j is grid row j
// (row 0 the lowest level); rows are `columns` pixels wide and packed without padding.
//
// The running sums go to a buffer of the caller, never back into the model's grid: the link
// keeps that grid up to date incrementally (adding the newest sweep's hits and taking away those
// of the sweep leaving the window), which only works while it holds raw hits.
class HeatMapPixels {
  public:
    static constexpr int kTextureWidth = 512;
    static constexpr int kTextureHeight = 256;
    static constexpr size_t kBufferBytes = size_t{kTextureWidth} * kTextureHeight * 4;
    static constexpr uint8_t kSmoothAlpha = 85;
    // From this many hits on, a cell is fully opaque and takes the last palette colour.
    static constexpr int kSaturatingHits = 20;

    enum class Result {
        kCleared,   // empty grid: both buffers zeroed in full
        kTooLarge,  // the grid does not fit; the buffers are untouched
        kBuilt,     // columns x rows pixels written at the start of each buffer
    };

    // Builds both buffers (each bufferBytes long) from the grid's raw hits, with `sums` as
    // scratch for the cumulative counts. The grid's counts are left as they are; its
    // `cumulative` flag (set by whoever re-marks a shown grid dirty) is cleared, since the
    // counts are always raw. Does not touch `dirty`.
    static Result build(HeatMap& grid, int colorMap, uint8_t* smooth, uint8_t* crisp,
                        size_t bufferBytes, std::vector<uint16_t>& sums);

    // The crisp alpha of a raw hit count: 0 for none, rising from 35 % at one hit, opaque at 20.
    static uint8_t crispAlpha(uint16_t hits);
    // Running sums of each column from the top row down, wrapping at 16 bits: each cell of
    // `sums` holds the hits at its row or above. Both arrays hold rows × columns counts.
    static void accumulateColumns(const uint16_t* counts, int columns, int rows, uint16_t* sums);
    // The highest row of the grid with a hit in any column, -1 for none. Both pictures are
    // transparent above it.
    static int highestRowWithHits(const HeatMap& grid);
};
