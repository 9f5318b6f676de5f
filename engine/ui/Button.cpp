#include "engine/ui/Button.h"

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Scale9Sprite.h"

namespace engine::ui {

namespace {
// Images under the title, the title under anything the caller adds.
constexpr int kImageZ = -2;
constexpr int kTitleZ = -1;
constexpr uint8_t kDimmed = 128;
}  // namespace

Button* Button::create() {
    auto* button = new Button();
    if (button->init()) {
        button->autorelease();
        return button;
    }
    delete button;
    return nullptr;
}

Button* Button::create(const std::string& normalImage, const std::string& selectedImage,
                       const std::string& disableImage, TextureResType texType) {
    auto* button = new Button();
    if (button->init(normalImage, selectedImage, disableImage, texType)) {
        button->autorelease();
        return button;
    }
    delete button;
    return nullptr;
}

bool Button::init() {
    return init("", "", "", TextureResType::LOCAL);
}

bool Button::init(const std::string& normalImage, const std::string& selectedImage,
                  const std::string& disableImage, TextureResType texType) {
    if (!Widget::init())
        return false;
    _ignoreSize = true;
    _normalRenderer = Scale9Sprite::create();
    _clickedRenderer = Scale9Sprite::create();
    _disabledRenderer = Scale9Sprite::create();
    for (Scale9Sprite* renderer : {_normalRenderer, _clickedRenderer, _disabledRenderer}) {
        renderer->setScale9Enabled(false);
        addChild(renderer, kImageZ);
    }
    loadTextures(normalImage, selectedImage, disableImage, texType);
    setTouchEnabled(true);
    // Hover: the pointer over a button that would take a click shows it pressed.
    auto* hover = EventListenerMouse::create();
    hover->onMouseMove = [this](EventMouse* event) {
        const Vec2 at = event->getLocation();
        const bool over = _touchEnabled && hitTest(at) && isTouchable(at);
        if (over != _hovered) {
            _hovered = over;
            setHighlighted(over);
        }
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(hover, this);
    return true;
}

// Images -----------------------------------------------------------------------------------

void Button::loadTexture(Scale9Sprite* renderer, const std::string& name, bool& loaded) {
    Texture2D* texture =
        name.empty() ? nullptr : Director::getInstance()->getTextureCache()->addImage(name);
    renderer->setTexture(texture);
    loaded = texture != nullptr;
}

void Button::loadTextures(const std::string& normal, const std::string& selected,
                          const std::string& disabled, TextureResType texType) {
    loadTextureNormal(normal, texType);
    loadTexturePressed(selected, texType);
    loadTextureDisabled(disabled, texType);
}

void Button::loadTextureNormal(const std::string& normal, TextureResType) {
    loadTexture(_normalRenderer, normal, _normalLoaded);
    updateContentSizeWithTextureSize(_normalRenderer->getOriginalSize());
    refreshPressState();
}

void Button::loadTexturePressed(const std::string& selected, TextureResType) {
    loadTexture(_clickedRenderer, selected, _pressedLoaded);
    onSizeChanged();
    refreshPressState();
}

void Button::loadTextureDisabled(const std::string& disabled, TextureResType) {
    loadTexture(_disabledRenderer, disabled, _disabledLoaded);
    onSizeChanged();
    refreshPressState();
}

void Button::setScale9Enabled(bool enabled) {
    if (enabled == _scale9Enabled)
        return;
    _scale9Enabled = enabled;
    for (Scale9Sprite* renderer : {_normalRenderer, _clickedRenderer, _disabledRenderer})
        renderer->setScale9Enabled(enabled);
    if (enabled) {
        _prevIgnoreSize = _ignoreSize;
        ignoreContentAdaptWithSize(false);
    } else {
        ignoreContentAdaptWithSize(_prevIgnoreSize);
    }
}

void Button::setCapInsets(const Rect& capInsets) {
    for (Scale9Sprite* renderer : {_normalRenderer, _clickedRenderer, _disabledRenderer})
        renderer->setCapInsets(capInsets);
}

Size Button::getVirtualRendererSize() const {
    if (_normalLoaded)
        return _normalRenderer->getOriginalSize();
    if (_titleRenderer)
        return _titleRenderer->getContentSize();
    return Size::ZERO;
}

void Button::onSizeChanged() {
    Vec2 centre(_contentSize.width / 2, _contentSize.height / 2);
    for (Scale9Sprite* renderer : {_normalRenderer, _clickedRenderer, _disabledRenderer}) {
        if (!renderer)
            continue;
        renderer->setPosition(centre);
        // Sliced images are laid out at the button's size; simple ones stretch to it.
        renderer->setContentSize(_contentSize);
    }
    if (_titleRenderer)
        _titleRenderer->setPosition(centre);
}

// Press states -----------------------------------------------------------------------------

void Button::setZoomed(bool zoomed) {
    if (zoomed == _zoomed)
        return;
    _zoomed = zoomed;
    float k = zoomed ? 1 + _zoomScale : 1;
    for (Scale9Sprite* renderer : {_normalRenderer, _clickedRenderer, _disabledRenderer})
        renderer->setScale(k);
    // The title may carry a scale of its own (a large font drawn at half size stays sharp).
    if (_titleRenderer) {
        if (zoomed) {
            _titleScaleX = _titleRenderer->getScaleX();
            _titleScaleY = _titleRenderer->getScaleY();
        }
        _titleRenderer->setScale(_titleScaleX * k, _titleScaleY * k);
    }
}

void Button::onPressStateChangedToNormal() {
    _normalRenderer->setVisible(true);
    _normalRenderer->setColor(Color3B::WHITE);
    _clickedRenderer->setVisible(false);
    _disabledRenderer->setVisible(false);
    setZoomed(false);
}

void Button::onPressStateChangedToPressed() {
    _normalRenderer->setColor(Color3B::WHITE);
    _normalRenderer->setVisible(!_pressedLoaded);
    _clickedRenderer->setVisible(_pressedLoaded);
    _disabledRenderer->setVisible(false);
    setZoomed(_pressedActionEnabled);
}

void Button::onPressStateChangedToDisabled() {
    _normalRenderer->setVisible(!_disabledLoaded);
    _normalRenderer->setColor(Color3B(kDimmed, kDimmed, kDimmed));
    _clickedRenderer->setVisible(false);
    _disabledRenderer->setVisible(_disabledLoaded);
    setZoomed(false);
}

// Title ------------------------------------------------------------------------------------

void Button::updateTitle() {
    if (_titleFontName.empty() || _titleText.empty()) {
        if (_titleRenderer)
            _titleRenderer->setString(_titleText);
        return;
    }
    if (!_titleRenderer) {
        _titleRenderer = Label::createWithTTF(_titleText, _titleFontName, _titleFontSize);
        if (!_titleRenderer)
            return;
        _titleRenderer->setPosition(_contentSize.width / 2, _contentSize.height / 2);
        addChild(_titleRenderer, kTitleZ);
    } else if (_titleRenderer->getFontFile() != _titleFontName ||
               _titleRenderer->getFontSize() != _titleFontSize) {
        // Re-initialising keeps the label's place, scale and colour.
        if (!_titleRenderer->initWithTTF(
                _titleText, _titleFontName, _titleFontSize, _titleRenderer->getDimensions(),
                _titleRenderer->getHorizontalAlignment(), TextVAlignment::TOP)) {
            _titleRenderer->setString(_titleText);
        }
    } else {
        _titleRenderer->setString(_titleText);
    }
    _titleRenderer->setTextColor(Color4B(_titleColor, 255));
    if (!_normalLoaded && _ignoreSize)
        updateContentSizeWithTextureSize(getVirtualRendererSize());
}

void Button::setTitleText(const std::string& text) {
    _titleText = text;
    updateTitle();
}

void Button::setTitleColor(const Color3B& color) {
    _titleColor = color;
    if (_titleRenderer)
        _titleRenderer->setTextColor(Color4B(color, 255));
}

void Button::setTitleFontSize(float size) {
    _titleFontSize = size;
    updateTitle();
}

void Button::setTitleFontName(const std::string& fontName) {
    _titleFontName = fontName;
    updateTitle();
}

}  // namespace engine::ui
