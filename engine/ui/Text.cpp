#include "engine/ui/Text.h"

#include "engine/2d/Label.h"

namespace engine::ui {

Text* Text::create() {
    auto* text = new Text();
    if (text->init()) {
        text->autorelease();
        return text;
    }
    delete text;
    return nullptr;
}

Text* Text::create(const std::string& textContent, const std::string& fontName, float fontSize) {
    auto* text = new Text();
    if (text->init(textContent, fontName, fontSize)) {
        text->autorelease();
        return text;
    }
    delete text;
    return nullptr;
}

bool Text::init() {
    if (!Widget::init())
        return false;
    _ignoreSize = true;
    return true;
}

bool Text::init(const std::string& textContent, const std::string& fontName, float fontSize) {
    if (!init())
        return false;
    _text = textContent;
    _fontName = fontName;
    _fontSize = fontSize;
    return rebuild();
}

bool Text::rebuild() {
    if (_fontName.empty())
        return true;
    if (!_label) {
        Label* label =
            Label::createWithTTF(_text, _fontName, _fontSize, _areaSize, _hAlignment, _vAlignment);
        if (!label)
            return false;
        _label = label;
        addChild(_label, -1);
    } else if (!_label->initWithTTF(_text, _fontName, _fontSize, _areaSize, _hAlignment,
                                    _vAlignment)) {
        return false;
    }
    _label->setTextColor(_textColor);
    updateContentSizeWithTextureSize(_label->getContentSize());
    return true;
}

void Text::setString(const std::string& text) {
    _text = text;
    if (_label) {
        _label->setString(text);
        updateContentSizeWithTextureSize(_label->getContentSize());
    }
}

void Text::setFontSize(float size) {
    _fontSize = size;
    rebuild();
}

bool Text::setFontName(const std::string& name) {
    std::string old = _fontName;
    _fontName = name;
    if (rebuild())
        return true;
    _fontName = old;
    return false;
}

void Text::setTextColor(const Color4B& color) {
    _textColor = color;
    if (_label)
        _label->setTextColor(color);
}

void Text::setTextHorizontalAlignment(TextHAlignment alignment) {
    _hAlignment = alignment;
    if (_label)
        _label->setAlignment(_hAlignment, _vAlignment);
}

void Text::setTextVerticalAlignment(TextVAlignment alignment) {
    _vAlignment = alignment;
    if (_label)
        _label->setAlignment(_hAlignment, _vAlignment);
}

void Text::setTextAreaSize(const Size& size) {
    _areaSize = size;
    if (_label) {
        _label->setDimensions(size.width, size.height);
        updateContentSizeWithTextureSize(_label->getContentSize());
    }
}

Size Text::getVirtualRendererSize() const {
    return _label ? _label->getContentSize() : Size::ZERO;
}

void Text::onSizeChanged() {
    if (_label)
        _label->setPosition(_contentSize.width / 2, _contentSize.height / 2);
}

}  // namespace engine::ui
