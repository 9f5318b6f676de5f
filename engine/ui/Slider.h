#pragma once

#include <functional>
#include <string>

#include "engine/ui/Widget.h"

namespace engine::ui {

class Scale9Sprite;

// A horizontal bar with a ball: the percentage (0 to the maximum, 100 by default) follows the
// touch along the bar; the progress image fills the bar up to the ball. A touch may start on
// the bar or on the ball. Dim it with setColor (the colour reaches every image).
class Slider : public Widget {
  public:
    enum class EventType {
        ON_PERCENTAGE_CHANGED,
        ON_SLIDEBALL_DOWN,
        ON_SLIDEBALL_UP,
        ON_SLIDEBALL_CANCEL
    };
    using ccSliderCallback = std::function<void(Ref*, EventType)>;

    static Slider* create();
    static Slider* create(const std::string& barTextureName,
                          const std::string& normalBallTextureName,
                          TextureResType resType = TextureResType::LOCAL);
    bool init() override;

    void loadBarTexture(const std::string& fileName,
                        TextureResType resType = TextureResType::LOCAL);
    void loadProgressBarTexture(const std::string& fileName,
                                TextureResType resType = TextureResType::LOCAL);
    void loadSlidBallTextures(const std::string& normal, const std::string& pressed = "",
                              const std::string& disabled = "",
                              TextureResType texType = TextureResType::LOCAL);
    void loadSlidBallTextureNormal(const std::string& normal,
                                   TextureResType texType = TextureResType::LOCAL);
    void loadSlidBallTexturePressed(const std::string& pressed,
                                    TextureResType texType = TextureResType::LOCAL);
    void loadSlidBallTextureDisabled(const std::string& disabled,
                                     TextureResType texType = TextureResType::LOCAL);
    // Nine-slice for the bar and progress images (the ball keeps its size).
    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _scale9Enabled; }
    void setCapInsets(const Rect& capInsets);

    // Clamped to 0 ... the maximum. Setting it raises no event; touches do.
    void setPercent(int percent);
    int getPercent() const { return _percent; }
    void setMaxPercent(int percent);
    int getMaxPercent() const { return _maxPercent; }

    // Touch down and up on the slider, and ON_PERCENTAGE_CHANGED whenever a touch changes the
    // percentage. The callback may remove the slider.
    void addEventListener(const ccSliderCallback& callback) { _eventCallback = callback; }

    bool hitTest(const Vec2& worldPoint) const override;
    bool onTouchBegan(Touch* touch, Event* event) override;
    void onTouchMoved(Touch* touch, Event* event) override;
    void onTouchEnded(Touch* touch, Event* event) override;
    void onTouchCancelled(Touch* touch, Event* event) override;

    Scale9Sprite* getSlidBallNormalRenderer() const { return _ballNormal; }

  protected:
    Slider() = default;
    void loadImage(Scale9Sprite* renderer, const std::string& name);
    int percentAt(const Vec2& worldPoint) const;
    void setPercentFromTouch(const Vec2& worldPoint);
    void fireEvent(EventType type);
    void layoutRenderers();
    void onPressStateChangedToNormal() override;
    void onPressStateChangedToPressed() override;
    void onPressStateChangedToDisabled() override;
    Size getVirtualRendererSize() const override;
    void onSizeChanged() override { layoutRenderers(); }

    Scale9Sprite* _barRenderer = nullptr;
    Scale9Sprite* _progressRenderer = nullptr;
    Scale9Sprite* _ballNormal = nullptr;
    Scale9Sprite* _ballPressed = nullptr;
    Scale9Sprite* _ballDisabled = nullptr;
    Node* _ball = nullptr;
    bool _scale9Enabled = false;
    bool _prevIgnoreSize = true;
    int _percent = 0;
    int _maxPercent = 100;
    ccSliderCallback _eventCallback;
};

}  // namespace engine::ui
