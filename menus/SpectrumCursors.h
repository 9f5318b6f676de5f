#pragma once

#include "menus/MenuLayer.h"

struct CursorSettings;

// The cursor menu, in both modes: cursors on or off, which pair is in use, whether a pair moves
// together, which cursor is selected, and how the readouts of the pair in use are expressed
// (base units, phase or ratio) and against what. Which rows show depends on the pair in use and
// its unit, so every choice lays the menu out again. The cursors are drawn from the model alone:
// nothing here reaches the accessory.
class SpectrumCursors : public MenuLayer {
  public:
    enum Row {
        kShownRow,
        kPairRow,
        kTrackingRow,
        kSelectedRow,
        kVerticalUnitRow,
        kHorizontalUnitRow,
        kTimeReferenceRow,
        kPhaseReferenceRow,
        kRatioReferenceRow,
    };
    // Unit byte values.
    static constexpr int kBase = 0;
    static constexpr int kPhase = 1;
    static constexpr int kRatio = 2;

    static SpectrumCursors* create();
    bool init() override;

    // True when the horizontal (level) pair is the pair in use.
    static bool horizontalInUse(const CursorSettings& cursors);
    // The unit byte of the pair in use.
    static int unitInUse(const CursorSettings& cursors);
    // Sets the unit byte of the pair in use. The level readouts know no phase (their byte 1
    // would mean "no level readouts"), so PHASE is refused for the horizontal pair.
    static bool chooseUnit(CursorSettings& cursors, int unit);
    // Sets the reference byte of the pair in use; choosing the cursors (1) in phase or ratio
    // captures their current span, smaller position first, which later drags leave alone.
    static void chooseReference(CursorSettings& cursors, int reference);

  private:
    SpectrumCursors() = default;
};
