#pragma once

#include <cstdint>

#include "menus/MenuLayer.h"
#include "menus/PickerSession.h"

class PickerViewMenu;

// The power trigger the settings command carries to the accessory: sweep mode, delay, holdoff,
// trigger type and either the power level and edge or the digital combination, channels and
// edges. A change reconfigures the accessory (without clearing data); choosing what is already
// set sends nothing.
class TriggerMenu : public MenuLayer {
  public:
    enum Row {
        kSweepRow,
        kDelayRow,
        kHoldoffRow,
        kTypeRow,
        kLevelRow,  // power type only
        kEdgeRow,
        kGroundRow,
        kCombinationRow,  // digital type only
        kChannelARow,
        kEdgeARow,
        kChannelBRow,
        kEdgeBRow,
    };

    static TriggerMenu* create();
    bool init() override;

    // The digital channel shown on channel row A (0) or B (1), 0 to 3.
    int getChannelOnView(int which) const { return channelOnView_[which & 1]; }

    PickerViewMenu* openDelayPicker();
    PickerViewMenu* openHoldoffPicker();
    PickerViewMenu* openLevelPicker();
    PickerViewMenu* getPicker() const { return picker_.getPicker(); }

  private:
    TriggerMenu() = default;
    template <typename T>
    void write(T& field, T value);
    void stepChannel(int which, int direction);
    void ground();
    void addChannelRows(int which);

    int channelOnView_[2] = {0, 0};
    PickerSession picker_;
};
