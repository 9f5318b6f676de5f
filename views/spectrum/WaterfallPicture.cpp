#include "views/spectrum/WaterfallPicture.h"

#include <algorithm>
#include <cstring>

#include "model/BandSweepBuffers.h"

WaterfallPicture::WaterfallPicture() : pixels_(WaterfallPixels::kBufferBytes, 0) {}

bool WaterfallPicture::refresh(const BandSweepBuffers& band, int shownPoints, float low, float high,
                               const Palette& palette) {
    WaterfallPixels::Region next;
    WaterfallPixels::PixelTable table;
    if (!WaterfallPixels::measure(band, pixels_.size(), next) ||
        !WaterfallPixels::makePixelTable(palette, table))
        return false;
    const int coloured = WaterfallPixels::colouredColumns(shownPoints, next.columns);
    const int firstRecord = band.sweepCount() - next.rows;
    const uint64_t firstSerial = band.firstSerial() + static_cast<uint64_t>(firstRecord);
    const size_t rowBytes = static_cast<size_t>(next.columns) * 4;

    // Thresholds that are not numbers never compare equal, so they always repaint.
    const bool sameLook = valid_ && band_ == &band && next.columns == region_.columns &&
                          coloured == coloured_ && low == low_ && high == high_ && table == table_;
    int kept = 0;
    if (sameLook && firstSerial >= firstSerial_ &&
        firstSerial < firstSerial_ + static_cast<uint64_t>(region_.rows)) {
        const int dropped = static_cast<int>(firstSerial - firstSerial_);
        kept = std::min(region_.rows - dropped, next.rows);
        if (dropped > 0)
            std::memmove(pixels_.data(), pixels_.data() + rowBytes * static_cast<size_t>(dropped),
                         rowBytes * static_cast<size_t>(kept));
    }
    WaterfallPixels::paintRows(band, firstRecord + kept, next.rows - kept, next.columns, coloured,
                               table, low, high,
                               pixels_.data() + rowBytes * static_cast<size_t>(kept));
    region_ = next;
    table_ = table;
    band_ = &band;
    firstSerial_ = firstSerial;
    coloured_ = coloured;
    low_ = low;
    high_ = high;
    paintedRows_ = next.rows - kept;
    valid_ = true;
    return true;
}
