#include "engine/ui/ImageView.h"

#include "engine/base/Director.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Scale9Sprite.h"

namespace engine::ui {

ImageView* ImageView::create() {
    return create("");
}

ImageView* ImageView::create(const std::string& imageFileName, TextureResType texType) {
    auto* view = new ImageView();
    if (view->init(imageFileName, texType)) {
        view->autorelease();
        return view;
    }
    delete view;
    return nullptr;
}

bool ImageView::init() {
    return init("", TextureResType::LOCAL);
}

bool ImageView::init(const std::string& imageFileName, TextureResType texType) {
    if (!Widget::init())
        return false;
    _ignoreSize = true;
    _imageRenderer = Scale9Sprite::create();
    _imageRenderer->setScale9Enabled(false);
    addChild(_imageRenderer, -1);
    loadTexture(imageFileName, texType);
    return true;
}

void ImageView::loadTexture(const std::string& fileName, TextureResType) {
    Texture2D* texture =
        fileName.empty() ? nullptr : Director::getInstance()->getTextureCache()->addImage(fileName);
    _imageRenderer->setTexture(texture);
    updateContentSizeWithTextureSize(_imageRenderer->getOriginalSize());
}

void ImageView::setScale9Enabled(bool enabled) {
    if (enabled == _scale9Enabled)
        return;
    _scale9Enabled = enabled;
    _imageRenderer->setScale9Enabled(enabled);
    if (enabled) {
        _prevIgnoreSize = _ignoreSize;
        ignoreContentAdaptWithSize(false);
    } else {
        ignoreContentAdaptWithSize(_prevIgnoreSize);
    }
}

void ImageView::setCapInsets(const Rect& capInsets) {
    _imageRenderer->setCapInsets(capInsets);
}

Size ImageView::getVirtualRendererSize() const {
    return _imageRenderer ? _imageRenderer->getOriginalSize() : Size::ZERO;
}

void ImageView::onSizeChanged() {
    if (!_imageRenderer)
        return;
    _imageRenderer->setPosition(_contentSize.width / 2, _contentSize.height / 2);
    _imageRenderer->setContentSize(_contentSize);
}

}  // namespace engine::ui
