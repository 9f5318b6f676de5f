#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/spectrum/WaterfallPixels.h"

class BandSweepBuffers;
class Palette;

// The waterfall picture of one band, kept up to date sweep by sweep. Rows of sweeps it already
// painted in the same colours are moved up, so a new sweep costs one painted row and a move
// of the rest; only new thresholds, another palette, another band or another point count
// repaint the whole picture.
class WaterfallPicture {
  public:
    WaterfallPicture();

    // Brings the picture up to date with the band's history. False (picture unchanged) when
    // there is nothing to draw.
    bool refresh(const BandSweepBuffers& band, int shownPoints, float low, float high,
                 const Palette& palette);
    const uint8_t* data() const { return pixels_.data(); }
    size_t size() const { return pixels_.size(); }
    const WaterfallPixels::Region& region() const { return region_; }
    // Rows the last successful refresh painted; the others were moved.
    int paintedRows() const { return paintedRows_; }

  private:
    std::vector<uint8_t> pixels_;
    WaterfallPixels::PixelTable table_{};
    WaterfallPixels::Region region_;
    const BandSweepBuffers* band_ = nullptr;
    uint64_t firstSerial_ = 0;  // of the sweep in row 0
    int coloured_ = 0;
    float low_ = 0.f;
    float high_ = 0.f;
    bool valid_ = false;
    int paintedRows_ = 0;
};
