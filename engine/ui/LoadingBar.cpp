#include "engine/ui/LoadingBar.h"

#include <algorithm>

#include "engine/base/Director.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Scale9Sprite.h"

namespace engine::ui {

LoadingBar* LoadingBar::create() {
    return create("", TextureResType::LOCAL, 0);
}

LoadingBar* LoadingBar::create(const std::string& textureName, float percentage) {
    return create(textureName, TextureResType::LOCAL, percentage);
}

LoadingBar* LoadingBar::create(const std::string& textureName, TextureResType texType,
                               float percentage) {
    auto* bar = new LoadingBar();
    if (!bar->init()) {
        delete bar;
        return nullptr;
    }
    bar->autorelease();
    bar->loadTexture(textureName, texType);
    bar->setPercent(percentage);
    return bar;
}

bool LoadingBar::init() {
    if (!Widget::init())
        return false;
    _ignoreSize = true;
    _barRenderer = Scale9Sprite::create();
    _barRenderer->setScale9Enabled(false);
    _barRenderer->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    addChild(_barRenderer, -1);
    return true;
}

void LoadingBar::loadTexture(const std::string& texture, TextureResType) {
    Texture2D* t =
        texture.empty() ? nullptr : Director::getInstance()->getTextureCache()->addImage(texture);
    _barRenderer->setTexture(t);
    _textureSize = _barRenderer->getOriginalSize();
    updateContentSizeWithTextureSize(_textureSize);
}

void LoadingBar::setDirection(Direction direction) {
    _direction = direction;
    updateBar();
}

void LoadingBar::setPercent(float percent) {
    _percent = percent > 0 ? std::min(percent, 100.f) : 0.f;
    updateBar();
}

void LoadingBar::setScale9Enabled(bool enabled) {
    if (enabled == _scale9Enabled)
        return;
    _scale9Enabled = enabled;
    _barRenderer->setScale9Enabled(enabled);
    if (enabled) {
        _prevIgnoreSize = _ignoreSize;
        ignoreContentAdaptWithSize(false);
    } else {
        ignoreContentAdaptWithSize(_prevIgnoreSize);
    }
}

void LoadingBar::setCapInsets(const Rect& capInsets) {
    _barRenderer->setCapInsets(capInsets);
    updateBar();
}

Size LoadingBar::getVirtualRendererSize() const {
    return _textureSize;
}

void LoadingBar::updateBar() {
    if (!_barRenderer)
        return;
    const float fraction = _percent / 100.f;
    const bool fromLeft = _direction == Direction::LEFT;
    _barRenderer->setAnchorPoint(fromLeft ? Vec2::ANCHOR_MIDDLE_LEFT : Vec2::ANCHOR_MIDDLE_RIGHT);
    _barRenderer->setPosition(fromLeft ? 0 : _contentSize.width, _contentSize.height / 2);
    if (_scale9Enabled) {
        _barRenderer->setTextureRect(Rect(Vec2::ZERO, _textureSize));
        _barRenderer->setScale(1);
        _barRenderer->setContentSize(Size(_contentSize.width * fraction, _contentSize.height));
        return;
    }
    // Cut the image at the percentage; a custom size stretches what is left to fit.
    float shown = _textureSize.width * fraction;
    float x = fromLeft ? 0 : _textureSize.width - shown;
    _barRenderer->setTextureRect(Rect(x, 0, shown, _textureSize.height));
    _barRenderer->setContentSize(Size(shown, _textureSize.height));
    _barRenderer->setScale(_textureSize.width > 0 ? _contentSize.width / _textureSize.width : 1,
                           _textureSize.height > 0 ? _contentSize.height / _textureSize.height : 1);
}

}  // namespace engine::ui
