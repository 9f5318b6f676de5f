#pragma once

#include <string>

#include "engine/ui/Widget.h"

namespace engine::ui {

class Scale9Sprite;

// A bar filled to a percentage (0 to 100) from the left or from the right. The bar image is
// cut, not squeezed, at the percentage; with nine-slice on it is squeezed instead, so its
// rounded ends survive. Tint it with setColor.
class LoadingBar : public Widget {
  public:
    enum class Direction { LEFT, RIGHT };

    static LoadingBar* create();
    static LoadingBar* create(const std::string& textureName, float percentage = 0);
    static LoadingBar* create(const std::string& textureName, TextureResType texType,
                              float percentage = 0);
    bool init() override;

    void loadTexture(const std::string& texture, TextureResType texType = TextureResType::LOCAL);
    void setDirection(Direction direction);
    Direction getDirection() const { return _direction; }
    // Clamped to 0 ... 100; NaN counts as 0.
    void setPercent(float percent);
    float getPercent() const { return _percent; }
    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _scale9Enabled; }
    void setCapInsets(const Rect& capInsets);
    Scale9Sprite* getVirtualRenderer() const { return _barRenderer; }

  protected:
    LoadingBar() = default;
    void updateBar();
    Size getVirtualRendererSize() const override;
    void onSizeChanged() override { updateBar(); }

    Scale9Sprite* _barRenderer = nullptr;
    Size _textureSize;
    Direction _direction = Direction::LEFT;
    float _percent = 100;
    bool _scale9Enabled = false;
    bool _prevIgnoreSize = true;
};

}  // namespace engine::ui
