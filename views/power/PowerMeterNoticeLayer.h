#pragma once

#include <memory>
#include <string>

#include "engine/2d/Layer.h"

namespace engine {
class Label;
namespace ui {
class Button;
}
}  // namespace engine

class AccessoryControl;
class Instrument;
class SpectrumSettings;

// Power mode on hardware without a power meter would show an empty grid. This layer says so in
// the middle of the view and, while the demonstration plays, offers the demonstration of a model
// that has one: a button, or the P key.
class PowerMeterNoticeLayer : public engine::Layer {
  public:
    // The demonstration hardware offered: the second generation, which also scans and sweeps.
    // The first (0) and second generations have power meters, the third has none.
    static constexpr int kOfferedHardware = 1;

    // The layer switches the demonstration through `instrument`, which outlives it.
    static PowerMeterNoticeLayer* createWithInstrument(Instrument* instrument);
    // A layer with an instrument of its own over `model` (tests).
    static PowerMeterNoticeLayer* createWithModel(SpectrumSettings* model,
                                                  AccessoryControl* control);
    ~PowerMeterNoticeLayer() override;
    bool init() override;
    void update(float dt) override;

    // The notice for the model's state; empty when there is nothing to say (a power meter, or
    // no accessory or demonstration identified yet).
    static std::string noticeText(const SpectrumSettings& model, bool identified);
    static bool offersDemonstration(const SpectrumSettings& model, bool identified);

    // Plays the demonstration of kOfferedHardware (the button's and the key's action).
    void switchDemonstration();

    engine::Label* getNotice() const { return notice_; }
    engine::ui::Button* getSwitchButton() const { return button_; }

  private:
    explicit PowerMeterNoticeLayer(Instrument* instrument);
    void refresh();

    Instrument* instrument_;
    std::unique_ptr<Instrument> ownInstrument_;  // made by createWithModel
    SpectrumSettings* model_;
    engine::Label* notice_ = nullptr;
    engine::ui::Button* button_ = nullptr;
    std::string shown_;
};
