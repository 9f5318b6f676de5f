#pragma once

#include <string>

#include "engine/2d/Layer.h"

namespace engine {
class Event;
class Label;
class Sprite;
class Touch;
namespace ui {
class Scale9Sprite;
}
}  // namespace engine

class ChannelGuidePopoverLayerDelegate;
class SpectrumSettings;

// The small panel beside a selected channel of the guide: the plan and channel as a title, the
// channel's start and end frequency, and a close button. It swallows every touch that begins
// on it, so a click on it never reaches the guide below.
class ChannelGuidePopoverLayer : public engine::Layer {
  public:
    static constexpr const char* kBackgroundImage = "MenuBackground.png";
    static constexpr const char* kCloseImage = "close_icon.png";

    // delegate is not retained: the owner clears it (setDelegate(nullptr)) before it goes.
    static ChannelGuidePopoverLayer* create(ChannelGuidePopoverLayerDelegate* delegate);
    static ChannelGuidePopoverLayer* createWithModel(SpectrumSettings* model,
                                                     ChannelGuidePopoverLayerDelegate* delegate);

    bool init() override;
    // Title "<plan prefix><n>", values "<MHz rounded>MHz".
    void configure(double lowMHz, int plan, int channel, double highMHz);
    void setDelegate(ChannelGuidePopoverLayerDelegate* delegate) { delegate_ = delegate; }

    bool onTouchBegan(engine::Touch* touch, engine::Event* event);

    // "2412MHz": whole MHz, rounded to nearest.
    static std::string mhzText(double mhz);

    engine::Label* getTitleLabel() const { return title_; }
    engine::Label* getStartValueLabel() const { return startValue_; }
    engine::Label* getEndValueLabel() const { return endValue_; }
    engine::Sprite* getCloseButton() const { return close_; }

  private:
    ChannelGuidePopoverLayer() = default;
    void layout();

    SpectrumSettings* model_ = nullptr;
    ChannelGuidePopoverLayerDelegate* delegate_ = nullptr;
    engine::ui::Scale9Sprite* background_ = nullptr;  // children
    engine::Sprite* close_ = nullptr;
    engine::Label* title_ = nullptr;
    engine::Label* startLabel_ = nullptr;
    engine::Label* endLabel_ = nullptr;
    engine::Label* startValue_ = nullptr;
    engine::Label* endValue_ = nullptr;
    float titleWidth_ = 0;
    float valueWidth_ = 0;
    float rowHeight_ = 0;
    float closeInset_ = 5;
};
