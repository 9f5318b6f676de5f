#pragma once

#include "menus/MenuLayer.h"
#include "menus/PickerSession.h"

class PickerViewMenu;

// The two attenuations that enter every shown level, and the reference trace of the power view:
// shown or hidden, grabbed from the live trace, cleared.
class PowerMenu : public MenuLayer {
  public:
    enum Row { kInternalRow, kExternalRow, kReferenceRow };
    enum ReferenceButton { kRefButton, kGrabButton, kClearButton };

    static PowerMenu* create();
    bool init() override;

    PickerViewMenu* openInternalPicker();
    PickerViewMenu* openExternalPicker();
    PickerViewMenu* getPicker() const { return picker_.getPicker(); }

    // Copies the newest live capture into the reference (replacing what it held) and shows it.
    void grabReference();
    static void clearReference();

  protected:
    void onRefresh() override;

  private:
    PowerMenu() = default;
    void setInternal(int step);
    void setExternal(float decibels);

    PickerSession picker_;
};
