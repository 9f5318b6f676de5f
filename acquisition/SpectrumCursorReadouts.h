#pragma once

class BandSweepBuffers;
struct CursorReadouts;
struct CursorSettings;

// The levels of a band's processed traces under the two vertical cursors, interpolated between
// points, for the cursor ticks and the status readouts. The cursors stand in plot units, so the
// plot's width and level scale come from whoever draws it.
class SpectrumCursorReadouts {
  public:
    // Writes index, level and screen height per trace and cursor for a plot `width` wide that
    // draws level v at v × scaleY + offsetY. Leaves `out` alone while the vertical cursors are
    // hidden, or with fewer than two processed points or no width.
    static void write(const BandSweepBuffers& band, const CursorSettings& cursors, float width,
                      float scaleY, float offsetY, CursorReadouts& out);
};
