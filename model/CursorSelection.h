#pragma once

#include "model/StoredSettings.h"

// Readers of the cursor record that a damaged stored image cannot lead astray.

// The selected cursor as an index into the position pairs: a stored byte above 1 selects
// cursor 1 rather than reading past the pair.
inline int selectedCursorIndex(const CursorSettings& cursors) {
    return cursors.selectedCursor >= 1 ? 1 : 0;
}

// Puts every position that is not a finite number back to its default, so that one damaged
// float cannot leave a cursor nowhere (undrawable, ungrabbable, NaN in every readout). Returns
// true when something was reset.
bool resetNonFinitePositions(CursorSettings& cursors);
