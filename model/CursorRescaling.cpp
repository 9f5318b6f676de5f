#include "model/CursorRescaling.h"

void CursorRescaling::apply(CursorSettings& cursors, float oldWidth, float oldHeight,
                            float newWidth, float newHeight, float barHeight) {
    const float oldPlot = oldHeight - barHeight;
    const float newPlot = newHeight - barHeight;
    if (oldWidth > 0 && newWidth > 0) {
        const float sx = newWidth / oldWidth;
        for (int i = 0; i < 2; ++i) {
            cursors.verticalX[i] *= sx;
            cursors.positionReferencePair[i] *= sx;
        }
    }
    if (oldPlot > 0 && newPlot > 0) {
        const float sy = newPlot / oldPlot;
        for (int i = 0; i < 2; ++i) {
            cursors.horizontalY[i] *= sy;
            cursors.levelReferencePair[i] *= sy;
        }
    }
}
