#include "engine/ui/Slider.h"

#include <algorithm>
#include <cmath>

#include "engine/base/Director.h"
#include "engine/base/Touch.h"
#include "engine/renderer/Texture2D.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Scale9Sprite.h"

namespace engine::ui {

Slider* Slider::create() {
    auto* slider = new Slider();
    if (slider->init()) {
        slider->autorelease();
        return slider;
    }
    delete slider;
    return nullptr;
}

Slider* Slider::create(const std::string& barTextureName, const std::string& normalBallTextureName,
                       TextureResType resType) {
    Slider* slider = create();
    if (slider) {
        slider->loadBarTexture(barTextureName, resType);
        slider->loadSlidBallTextureNormal(normalBallTextureName, resType);
    }
    return slider;
}

bool Slider::init() {
    if (!Widget::init())
        return false;
    _ignoreSize = true;
    _barRenderer = Scale9Sprite::create();
    _progressRenderer = Scale9Sprite::create();
    _ballNormal = Scale9Sprite::create();
    _ballPressed = Scale9Sprite::create();
    _ballDisabled = Scale9Sprite::create();
    _ball = Node::create();
    _ball->setCascadeColorEnabled(true);
    _ball->setCascadeOpacityEnabled(true);
    for (Scale9Sprite* r :
         {_barRenderer, _progressRenderer, _ballNormal, _ballPressed, _ballDisabled}) {
        r->setScale9Enabled(false);
    }
    _progressRenderer->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    addChild(_barRenderer, -3);
    addChild(_progressRenderer, -2);
    _ball->addChild(_ballNormal);
    _ball->addChild(_ballPressed);
    _ball->addChild(_ballDisabled);
    addChild(_ball, -1);
    refreshPressState();
    setTouchEnabled(true);
    return true;
}

// Images -----------------------------------------------------------------------------------

void Slider::loadImage(Scale9Sprite* renderer, const std::string& name) {
    renderer->setTexture(name.empty() ? nullptr
                                      : Director::getInstance()->getTextureCache()->addImage(name));
}

void Slider::loadBarTexture(const std::string& fileName, TextureResType) {
    loadImage(_barRenderer, fileName);
    updateContentSizeWithTextureSize(_barRenderer->getOriginalSize());
}

void Slider::loadProgressBarTexture(const std::string& fileName, TextureResType) {
    loadImage(_progressRenderer, fileName);
    layoutRenderers();
}

void Slider::loadSlidBallTextures(const std::string& normal, const std::string& pressed,
                                  const std::string& disabled, TextureResType texType) {
    loadSlidBallTextureNormal(normal, texType);
    loadSlidBallTexturePressed(pressed, texType);
    loadSlidBallTextureDisabled(disabled, texType);
}

void Slider::loadSlidBallTextureNormal(const std::string& normal, TextureResType) {
    loadImage(_ballNormal, normal);
    refreshPressState();
}

void Slider::loadSlidBallTexturePressed(const std::string& pressed, TextureResType) {
    loadImage(_ballPressed, pressed);
    refreshPressState();
}

void Slider::loadSlidBallTextureDisabled(const std::string& disabled, TextureResType) {
    loadImage(_ballDisabled, disabled);
    refreshPressState();
}

void Slider::setScale9Enabled(bool enabled) {
    if (enabled == _scale9Enabled)
        return;
    _scale9Enabled = enabled;
    _barRenderer->setScale9Enabled(enabled);
    _progressRenderer->setScale9Enabled(enabled);
    if (enabled) {
        _prevIgnoreSize = _ignoreSize;
        ignoreContentAdaptWithSize(false);
    } else {
        ignoreContentAdaptWithSize(_prevIgnoreSize);
    }
}

void Slider::setCapInsets(const Rect& capInsets) {
    _barRenderer->setCapInsets(capInsets);
    _progressRenderer->setCapInsets(capInsets);
}

Size Slider::getVirtualRendererSize() const {
    return _barRenderer ? _barRenderer->getOriginalSize() : Size::ZERO;
}

void Slider::layoutRenderers() {
    if (!_barRenderer)
        return;
    const float w = _contentSize.width, h = _contentSize.height;
    const float fraction = _maxPercent > 0 ? static_cast<float>(_percent) / _maxPercent : 0.f;
    _barRenderer->setPosition(w / 2, h / 2);
    _barRenderer->setContentSize(_contentSize);
    _progressRenderer->setPosition(0, h / 2);
    if (_scale9Enabled) {
        _progressRenderer->setTextureRect(
            Rect(Vec2::ZERO, _progressRenderer->getTexture()
                                 ? _progressRenderer->getTexture()->getContentSize()
                                 : Size::ZERO));
        _progressRenderer->setContentSize(Size(w * fraction, h));
    } else {
        // The progress image keeps its texture scale: the part left of the ball is shown.
        Size texture = _progressRenderer->getTexture()
                           ? _progressRenderer->getTexture()->getContentSize()
                           : Size::ZERO;
        _progressRenderer->setTextureRect(Rect(0, 0, texture.width * fraction, texture.height));
        _progressRenderer->setContentSize(Size(w * fraction, h));
    }
    _ball->setPosition(w * fraction, h / 2);
}

// Value ------------------------------------------------------------------------------------

void Slider::setPercent(int percent) {
    _percent = std::clamp(percent, 0, std::max(_maxPercent, 0));
    layoutRenderers();
}

void Slider::setMaxPercent(int percent) {
    _maxPercent = std::max(percent, 0);
    setPercent(_percent);
}

int Slider::percentAt(const Vec2& worldPoint) const {
    float w = _contentSize.width;
    if (w <= 0)
        return 0;
    float x = std::clamp(convertToNodeSpace(worldPoint).x, 0.f, w);
    return static_cast<int>(std::lround(x / w * _maxPercent));
}

void Slider::setPercentFromTouch(const Vec2& worldPoint) {
    int before = _percent;
    setPercent(percentAt(worldPoint));
    if (_percent != before)
        fireEvent(EventType::ON_PERCENTAGE_CHANGED);
}

void Slider::fireEvent(EventType type) {
    if (!_eventCallback)
        return;
    retain();
    ccSliderCallback callback = _eventCallback;
    callback(this, type);
    release();
}

// Touch ------------------------------------------------------------------------------------

bool Slider::hitTest(const Vec2& worldPoint) const {
    if (Widget::hitTest(worldPoint))
        return true;
    Vec2 p = _ballNormal->convertToNodeSpace(worldPoint);
    return Rect(Vec2::ZERO, _ballNormal->getContentSize()).containsPoint(p);
}

bool Slider::onTouchBegan(Touch* touch, Event* event) {
    if (!Widget::onTouchBegan(touch, event))
        return false;
    retain();
    fireEvent(EventType::ON_SLIDEBALL_DOWN);
    setPercentFromTouch(touch->getLocation());
    release();
    return true;
}

void Slider::onTouchMoved(Touch* touch, Event*) {
    _touchMovePosition = touch->getLocation();
    setPercentFromTouch(_touchMovePosition);
    fireTouchEvent(TouchEventType::MOVED);
}

void Slider::onTouchEnded(Touch* touch, Event* event) {
    retain();
    Widget::onTouchEnded(touch, event);
    fireEvent(EventType::ON_SLIDEBALL_UP);
    release();
}

void Slider::onTouchCancelled(Touch* touch, Event* event) {
    retain();
    Widget::onTouchCancelled(touch, event);
    fireEvent(EventType::ON_SLIDEBALL_CANCEL);
    release();
}

// Press states -----------------------------------------------------------------------------

void Slider::onPressStateChangedToNormal() {
    _ballNormal->setVisible(true);
    _ballPressed->setVisible(false);
    _ballDisabled->setVisible(false);
}

void Slider::onPressStateChangedToPressed() {
    bool pressed = _ballPressed->getTexture() != nullptr;
    _ballNormal->setVisible(!pressed);
    _ballPressed->setVisible(pressed);
    _ballDisabled->setVisible(false);
}

void Slider::onPressStateChangedToDisabled() {
    bool disabled = _ballDisabled->getTexture() != nullptr;
    _ballNormal->setVisible(!disabled);
    _ballPressed->setVisible(false);
    _ballDisabled->setVisible(disabled);
}

}  // namespace engine::ui
