#pragma once

#include <string>

#include "engine/ui/Widget.h"

namespace engine::ui {

class Scale9Sprite;

// A picture as a widget: takes the image's size unless nine-slice or a custom size is set.
class ImageView : public Widget {
  public:
    static ImageView* create();
    static ImageView* create(const std::string& imageFileName,
                             TextureResType texType = TextureResType::LOCAL);
    bool init() override;
    bool init(const std::string& imageFileName, TextureResType texType);

    // A missing file leaves the view empty.
    void loadTexture(const std::string& fileName, TextureResType texType = TextureResType::LOCAL);
    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _scale9Enabled; }
    void setCapInsets(const Rect& capInsets);
    Scale9Sprite* getVirtualRenderer() const { return _imageRenderer; }

  protected:
    ImageView() = default;
    Size getVirtualRendererSize() const override;
    void onSizeChanged() override;

    Scale9Sprite* _imageRenderer = nullptr;
    bool _scale9Enabled = false;
    bool _prevIgnoreSize = true;
};

}  // namespace engine::ui
