#pragma once

#include "menus/MenuLayer.h"

// The colour map of the heat map and the waterfall. A choice repaints both bands' pictures
// from their kept levels, history included.
class SpectrumColorMenu : public MenuLayer {
  public:
    enum Row { kColorMapRow };

    static SpectrumColorMenu* create();
    bool init() override;

    void chooseColorMap(int colorMap);

  private:
    SpectrumColorMenu() = default;
};
