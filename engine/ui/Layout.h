#pragma once

#include <string>

#include "engine/renderer/CustomCommand.h"
#include "engine/ui/Widget.h"

namespace engine {
class LayerColor;
}

namespace engine::ui {

class Scale9Sprite;

// A container widget of a fixed size with an optional solid background colour, an optional
// background image (nine-slice if wanted) and optional clipping of its children to its
// rectangle. Children keep the positions they are given.
class Layout : public Widget {
  public:
    enum class BackGroundColorType { NONE, SOLID };

    CREATE_FUNC(Layout)
    bool init() override;

    void setBackGroundColorType(BackGroundColorType type);
    BackGroundColorType getBackGroundColorType() const { return _colorType; }
    void setBackGroundColor(const Color3B& color);
    const Color3B& getBackGroundColor() const { return _backGroundColor; }
    void setBackGroundColorOpacity(uint8_t opacity);
    uint8_t getBackGroundColorOpacity() const { return _backGroundOpacity; }

    // An empty name removes the image.
    void setBackGroundImage(const std::string& fileName,
                            TextureResType texType = TextureResType::LOCAL);
    void setBackGroundImageScale9Enabled(bool enabled);
    void setBackGroundImageCapInsets(const Rect& capInsets);
    Scale9Sprite* getBackGroundImage() const { return _backGroundImage; }

    // Children are cut off at the layout's rectangle (within any clipping of its ancestors);
    // touches outside it do not reach widgets inside.
    void setClippingEnabled(bool enabled) {
        if (enabled == _clippingEnabled)
            return;
        _clippingEnabled = enabled;
        markStale();
    }
    bool isClippingEnabled() const { return _clippingEnabled; }

    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) override;

  protected:
    Layout() = default;
    void onSizeChanged() override;
    Rect worldRect() const;

    BackGroundColorType _colorType = BackGroundColorType::NONE;
    Color3B _backGroundColor = Color3B::WHITE;
    uint8_t _backGroundOpacity = 255;
    LayerColor* _colorRenderer = nullptr;
    Scale9Sprite* _backGroundImage = nullptr;
    bool _backGroundScale9 = false;
    bool _clippingEnabled = false;
    CustomCommand _beginClip;
    CustomCommand _endClip;
    bool _restoreScissor = false;
    Rect _previousScissor;
};

}  // namespace engine::ui
