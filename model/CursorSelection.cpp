#include "model/CursorSelection.h"

#include <cmath>

namespace {

bool resetPair(float (&pair)[2], const float (&defaults)[2]) {
    bool reset = false;
    for (int i = 0; i < 2; ++i) {
        if (!std::isfinite(pair[i])) {
            pair[i] = defaults[i];
            reset = true;
        }
    }
    return reset;
}

}  // namespace

bool resetNonFinitePositions(CursorSettings& cursors) {
    const CursorSettings defaults;
    bool reset = resetPair(cursors.verticalX, defaults.verticalX);
    reset |= resetPair(cursors.horizontalY, defaults.horizontalY);
    reset |= resetPair(cursors.levelReferencePair, defaults.levelReferencePair);
    reset |= resetPair(cursors.positionReferencePair, defaults.positionReferencePair);
    return reset;
}
