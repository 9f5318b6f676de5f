#pragma once

#include "model/StoredSettings.h"

// Keeps the cursors at their place on the plot when the window changes size. Positions across
// the plot (the vertical cursors and the position reference pair) scale with the window width;
// positions up the plot (the horizontal cursors and the level reference pair) with the height
// above the menu bar.
class CursorRescaling {
  public:
    // A direction whose old or new extent is not positive is left alone: a window squeezed to
    // nothing (or below the bar) would otherwise fold every cursor onto zero or below it for
    // good.
    static void apply(CursorSettings& cursors, float oldWidth, float oldHeight, float newWidth,
                      float newHeight, float barHeight);
};
