#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/spectrum/ChannelGuidePopoverLayerDelegate.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Event;
class Sprite;
class Touch;
namespace ui {
class Button;
}
}  // namespace engine

class ChannelGuidePopoverLayer;
class Instrument;
class SpectrumSettings;

// The channels of the selected plan over the plotting rectangle. Collapsed it is only an expand
// icon in the top-left corner; expanded, every channel is a labelled button spanning its
// frequencies, stacked in rows; tapping one selects it, shades the rest of the spectrum and
// opens a popover with the channel's edges. With a channel selected, touching the spectrum
// moves the selection to the nearest channel. The expand icon changes the guide's state through
// the instrument.
class ChannelGuideLayer : public engine::Layer, public ChannelGuidePopoverLayerDelegate {
  public:
    static constexpr const char* kExpandImage = "ExpandShrinkIcon.png";
    static constexpr const char* kButtonImage = "ChannelGuideButton.png";
    static constexpr int kPopoverZOrder = 100;

    static ChannelGuideLayer* create();
    // A layer over another model with an instrument of its own (tests); create() uses the
    // process-wide model.
    static ChannelGuideLayer* createWithModel(SpectrumSettings* model);
    static ChannelGuideLayer* createWithInstrument(Instrument* instrument);
    ~ChannelGuideLayer() override;

    bool init() override;
    // Follows the model's plan, band and guide state; a change draws the next frame.
    void update(float dt) override;
    void setContentSize(const engine::Size& size) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;
    // The per-frame check: rebuilds buttons, shading and popover when the plan selections, the
    // expanded flag or the selected channel changed since the last rebuild (or forceRedraw).
    void refresh();

    void popoverClosed() override;

    bool onIconTouchBegan(engine::Touch* touch, engine::Event* event);
    void onIconTouchEnded(engine::Touch* touch, engine::Event* event);
    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onTouchMoved(engine::Touch* touch, engine::Event* event);

    bool forceRedraw = false;

    int getSelectedChannel() const { return selectedChannel_; }
    void setSelectedChannel(int channel) { selectedChannel_ = channel; }
    engine::Sprite* getExpandIcon() const { return expandIcon_; }
    engine::DrawNode* getGuideNode() const { return guideNode_; }
    const std::vector<engine::ui::Button*>& getChannelButtons() const { return buttons_; }
    ChannelGuidePopoverLayer* getPopover() const { return popover_; }

  private:
    ChannelGuideLayer() = default;
    size_t layoutButtons(int plan);
    void drawSelection(int plan);
    void trimButtons(size_t keep);
    void closePopover();
    bool selectNearest(engine::Touch* touch);

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;  // how the guide's state changes; never null
    std::unique_ptr<Instrument> ownInstrument_;
    engine::Sprite* expandIcon_ = nullptr;         // child
    engine::DrawNode* guideNode_ = nullptr;        // child
    std::vector<engine::ui::Button*> buttons_;     // retained, pooled
    ChannelGuidePopoverLayer* popover_ = nullptr;  // retained while open
    int selectedChannel_ = -1;
    // What the last rebuild was made from.
    int32_t drawnPlan24_ = 0;
    int32_t drawnPlan5_ = 0;
    int32_t drawnBand_ = 0;
    bool drawnExpanded_ = false;
    int drawnSelection_ = 0;
    ScissorClip clip_;
};
