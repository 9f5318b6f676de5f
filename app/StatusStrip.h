#pragma once

#include <array>

#include "app/StatusReadouts.h"
#include "engine/2d/Node.h"

namespace engine {
class Label;
}  // namespace engine

class SpectrumSettings;

// The readouts in the menu bar's strip along the bottom of the window: amplitude and division
// per grid square, the trigger state in power mode, and with the cursors on their position and
// up to three level pairs. The strip fades in as the bar flies out. Its texts come from
// StatusReadouts; this node only owns, writes and arranges the eleven labels.
class StatusStrip : public engine::Node {
  public:
    // Font size one fifth of the bar height of the model's display class.
    static StatusStrip* createWithModel(SpectrumSettings* model);
    bool initWithModel(SpectrumSettings* model);

    // Writes the model's readouts into the visible labels.
    void updateLabels();
    // Lays the columns out over the strip for the mode and cursors, shown labels at `shown`
    // (0..1, the bar's fly-out fraction) of full opacity, unused ones fully transparent.
    void layoutLabels(float shown);

    engine::Label* getAmplitudeLabel() const { return amplitudeLabel_; }
    engine::Label* getDivisionLabel() const { return divisionLabel_; }
    engine::Label* getTriggerLabel() const { return triggerLabel_; }
    engine::Label* getCursorXLabel() const { return cursorXLabel_; }
    engine::Label* getCursorDeltaXLabel() const { return cursorDeltaXLabel_; }
    // Readout pair n (0..2): its "@" and "Δ" labels.
    engine::Label* getReadoutAtLabel(int n) const { return readoutAtLabels_.at(n); }
    engine::Label* getReadoutDeltaLabel(int n) const { return readoutDeltaLabels_.at(n); }
    const StatusTexts& getTexts() const { return texts_; }

  private:
    StatusStrip() = default;

    SpectrumSettings* model_ = nullptr;
    // Children of the strip.
    engine::Label* amplitudeLabel_ = nullptr;
    engine::Label* divisionLabel_ = nullptr;
    engine::Label* cursorXLabel_ = nullptr;
    engine::Label* cursorDeltaXLabel_ = nullptr;
    std::array<engine::Label*, 3> readoutAtLabels_{};
    std::array<engine::Label*, 3> readoutDeltaLabels_{};
    engine::Label* triggerLabel_ = nullptr;
    // Column widths measured from the placeholder texts.
    float amplitudeWidth_ = 0;
    float divisionWidth_ = 0;
    float triggerWidth_ = 0;
    float positionWidth_ = 0;
    float readoutWidth_ = 0;
    StatusTexts texts_;
};
