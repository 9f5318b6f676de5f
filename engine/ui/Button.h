#pragma once

#include <string>

#include "engine/ui/Widget.h"

namespace engine {
class Label;
}

namespace engine::ui {

class Scale9Sprite;

// A push button: a normal image, an optional selected (pressed) image, an optional disabled
// image and an optional title. Without a selected image the normal one stays while pressed;
// without a disabled image the normal one is shown at half brightness. With the pressed action
// on ("zoom on press") the image and title grow by the zoom scale while a touch holds them.
class Button : public Widget {
  public:
    static Button* create();
    static Button* create(const std::string& normalImage, const std::string& selectedImage = "",
                          const std::string& disableImage = "",
                          TextureResType texType = TextureResType::LOCAL);

    bool init() override;
    bool init(const std::string& normalImage, const std::string& selectedImage,
              const std::string& disableImage, TextureResType texType);

    // An empty name clears that image. Missing files leave the image empty.
    void loadTextures(const std::string& normal, const std::string& selected,
                      const std::string& disabled, TextureResType texType = TextureResType::LOCAL);
    void loadTextureNormal(const std::string& normal,
                           TextureResType texType = TextureResType::LOCAL);
    void loadTexturePressed(const std::string& selected,
                            TextureResType texType = TextureResType::LOCAL);
    void loadTextureDisabled(const std::string& disabled,
                             TextureResType texType = TextureResType::LOCAL);

    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _scale9Enabled; }
    // Applies to all three images; see Scale9Sprite.
    void setCapInsets(const Rect& capInsets);

    void setPressedActionEnabled(bool enabled) { _pressedActionEnabled = enabled; }
    bool isPressedActionEnabled() const { return _pressedActionEnabled; }
    void setZoomScale(float scale) { _zoomScale = scale; }
    float getZoomScale() const { return _zoomScale; }

    // The title is drawn once both a text and a font file are known; it sits at the centre
    // until the caller moves its renderer.
    void setTitleText(const std::string& text);
    const std::string& getTitleText() const { return _titleText; }
    void setTitleColor(const Color3B& color);
    const Color3B& getTitleColor() const { return _titleColor; }
    void setTitleFontSize(float size);
    float getTitleFontSize() const { return _titleFontSize; }
    void setTitleFontName(const std::string& fontName);
    const std::string& getTitleFontName() const { return _titleFontName; }
    Label* getTitleRenderer() const { return _titleRenderer; }

    Scale9Sprite* getRendererNormal() const { return _normalRenderer; }
    Scale9Sprite* getRendererClicked() const { return _clickedRenderer; }
    Scale9Sprite* getRendererDisabled() const { return _disabledRenderer; }

  protected:
    Button() = default;
    void loadTexture(Scale9Sprite* renderer, const std::string& name, bool& loaded);
    void updateTitle();
    void setZoomed(bool zoomed);
    void onPressStateChangedToNormal() override;
    void onPressStateChangedToPressed() override;
    void onPressStateChangedToDisabled() override;
    Size getVirtualRendererSize() const override;
    void onSizeChanged() override;

    Scale9Sprite* _normalRenderer = nullptr;
    Scale9Sprite* _clickedRenderer = nullptr;
    Scale9Sprite* _disabledRenderer = nullptr;
    Label* _titleRenderer = nullptr;
    bool _normalLoaded = false;
    bool _pressedLoaded = false;
    bool _disabledLoaded = false;
    bool _scale9Enabled = false;
    bool _prevIgnoreSize = true;
    bool _pressedActionEnabled = false;
    float _zoomScale = 0.1f;
    bool _zoomed = false;
    float _titleScaleX = 1, _titleScaleY = 1;
    std::string _titleText;
    std::string _titleFontName;
    float _titleFontSize = 14;
    Color3B _titleColor = Color3B::WHITE;
    bool _hovered = false;
};

}  // namespace engine::ui
