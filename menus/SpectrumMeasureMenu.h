#pragma once

#include <cstdint>
#include <string>

#include "menus/MenuLayer.h"
#include "menus/PickerViewDelegate.h"
#include "menus/ValueTablePickerSource.h"

class PickerViewMenu;
struct SpectrumViewSettings;

// Peak markers and channel guides: which trace's markers hang from the top, how many peaks
// each shown trace (or the waterfall's two cursors) marks, and the guide standard per band.
class SpectrumMeasureMenu : public MenuLayer, public PickerViewDelegate {
  public:
    enum Row { kOnTopRow, kPeakRow1, kPeakRow2, kPeakRow3, kGuide24Row, kGuide5Row, kPeakTableRow };
    enum Picker { kNoPicker = 0, kOnTopPicker = 1, kGuide24Picker = 2, kGuide5Picker = 3 };

    static SpectrumMeasureMenu* create();
    bool init() override;
    ~SpectrumMeasureMenu() override;

    // The peak count a peak row (0..2) edits, or null when the row stands for nothing (a slot
    // of kind NONE, HEAT MAP or unknown, a kind an earlier slot already has, the waterfall's
    // third row): such a row shows 0 and writes nowhere.
    static uint8_t* peakCountOfRow(SpectrumViewSettings& view, int row);
    static std::string peakRowCaption(const SpectrumViewSettings& view, int row);

    // The standards offered for a band (0 2.4 GHz, 1 5 GHz): "NONE" and the band's plans.
    static ValueTablePickerSource guideStandards(int band);

    PickerViewMenu* openPicker(int picker);
    PickerViewMenu* getPicker() const { return picker_; }
    void pickerViewDidChooseRow(PickerViewMenu* picker, int row) override;
    void pickerViewDidCancel(PickerViewMenu* picker) override;

  private:
    SpectrumMeasureMenu();
    void dropPicker();

    ValueTablePickerSource onTopKinds_;
    ValueTablePickerSource guide24_;
    ValueTablePickerSource guide5_;
    int pickerKind_ = kNoPicker;
    PickerViewMenu* picker_ = nullptr;  // retained while open
};
