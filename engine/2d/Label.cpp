#include "engine/2d/Label.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/FontAtlas.h"
#include "engine/2d/FontAtlasCache.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"

namespace engine {

Label* Label::createWithTTF(const std::string& text, const std::string& fontFile, float fontSize,
                            const Size& dimensions, TextHAlignment hAlignment,
                            TextVAlignment vAlignment) {
    auto* label = new Label();
    if (label->initWithTTF(text, fontFile, fontSize, dimensions, hAlignment, vAlignment)) {
        label->autorelease();
        return label;
    }
    delete label;
    return nullptr;
}

Label::~Label() {
    safeRelease(_atlas);
}

bool Label::initWithTTF(const std::string& text, const std::string& fontFile, float fontSize,
                        const Size& dimensions, TextHAlignment hAlignment,
                        TextVAlignment vAlignment) {
    FontAtlas* atlas = FontAtlasCache::getFontAtlasTTF(fontFile, fontSize);
    if (!atlas)
        return false;
    safeAssign(_atlas, atlas);
    _fontFile = fontFile;
    _fontSize = fontSize;
    _dimensions = dimensions;
    _hAlignment = hAlignment;
    _vAlignment = vAlignment;
    _anchorPoint = Vec2(0.5f, 0.5f);
    _text = text;
    layout();
    return true;
}

std::u32string Label::decodeUtf8(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        auto b = static_cast<unsigned char>(text[i]);
        size_t extra;
        char32_t cp;
        char32_t minimum;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, cp = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, cp = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, cp = b & 0x07, minimum = 0x10000;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        bool ok = i + extra < n;
        for (size_t k = 1; ok && k <= extra; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
            } else {
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

float Label::getLineHeight() const {
    return _atlas ? static_cast<float>((_atlas->getLineHeight() + 32) >> 6) : 0;
}

void Label::setString(const std::string& text) {
    if (text == _text)
        return;
    _text = text;
    layout();
}

void Label::setTextColor(const Color4B& color) {
    if (color == _textColor)
        return;
    _textColor = color;
    markStale();
}

void Label::setAlignment(TextHAlignment hAlignment) {
    if (_hAlignment == hAlignment)
        return;
    _hAlignment = hAlignment;
    layout();
}

void Label::setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment) {
    if (_hAlignment == hAlignment && _vAlignment == vAlignment)
        return;
    _hAlignment = hAlignment;
    _vAlignment = vAlignment;
    layout();
}

void Label::setDimensions(float width, float height) {
    if (_dimensions == Size(width, height))
        return;
    _dimensions = Size(width, height);
    layout();
}

void Label::layout() {
    if (!_atlas)
        return;
    std::u32string text = decodeUtf8(_text);
    // Widths first, in 26.6, so alignment can use them.
    std::vector<long> pens(1, 0);
    for (char32_t cp : text) {
        if (cp == U'\n') {
            pens.push_back(0);
            continue;
        }
        pens.back() += _atlas->getGlyph(cp).advance;
    }
    _lineWidths.clear();
    int widest = 0;
    for (long pen : pens) {
        int width = static_cast<int>((pen + 63) >> 6);
        _lineWidths.push_back(width);
        widest = std::max(widest, width);
    }
    int lineHeight = static_cast<int>((_atlas->getLineHeight() + 32) >> 6);
    int ascender = static_cast<int>((_atlas->getAscender() + 32) >> 6);
    int textHeight = lineHeight * static_cast<int>(pens.size());
    Size size(static_cast<float>(widest), static_cast<float>(textHeight));
    if (_dimensions.width > 0)
        size.width = _dimensions.width;
    if (_dimensions.height > 0)
        size.height = _dimensions.height;
    setContentSize(size);

    int top = static_cast<int>(size.height);
    if (_dimensions.height > 0) {
        int spare = static_cast<int>(size.height) - textHeight;
        if (_vAlignment == TextVAlignment::CENTER)
            top -= spare / 2;
        if (_vAlignment == TextVAlignment::BOTTOM)
            top -= spare;
    }

    _vertices.clear();
    float aw = static_cast<float>(_atlas->getTexture()->getPixelsWide());
    float ah = static_cast<float>(_atlas->getTexture()->getPixelsHigh());
    size_t line = 0;
    long pen = 0;
    auto lineStart = [&](size_t index) {
        int spare = static_cast<int>(size.width) - _lineWidths[index];
        if (_hAlignment == TextHAlignment::CENTER)
            return spare / 2;
        if (_hAlignment == TextHAlignment::RIGHT)
            return spare;
        return 0;
    };
    int originX = lineStart(0);
    int baseline = top - ascender;
    Color4B c(0, 0, 0, 0);  // filled in at draw time
    for (char32_t cp : text) {
        if (cp == U'\n') {
            ++line;
            pen = 0;
            originX = lineStart(line);
            baseline -= lineHeight;
            continue;
        }
        const FontAtlas::Glyph& g = _atlas->getGlyph(cp);
        if (g.inAtlas) {
            float x0 = static_cast<float>(originX + ((pen + 32) >> 6) + g.bearingX);
            float y1 = static_cast<float>(baseline + g.bearingY);
            float x1 = x0 + g.rect.size.width;
            float y0 = y1 - g.rect.size.height;
            float u0 = g.rect.origin.x / aw, u1 = (g.rect.origin.x + g.rect.size.width) / aw;
            float v0 = g.rect.origin.y / ah, v1 = (g.rect.origin.y + g.rect.size.height) / ah;
            V2F_C4B_T2F bl{{x0, y0}, c, {u0, v1}}, br{{x1, y0}, c, {u1, v1}};
            V2F_C4B_T2F tr{{x1, y1}, c, {u1, v0}}, tl{{x0, y1}, c, {u0, v0}};
            _vertices.insert(_vertices.end(), {bl, br, tr, bl, tr, tl});
        }
        pen += g.advance;
    }
    _vertexColor = Color4B(0, 0, 0, 0);
    _layoutDirty = false;
    markStale();
}

bool Label::getDrawnBounds(Rect* local) const {
    if (_vertices.empty()) {
        *local = Rect();
        return true;
    }
    Vec2 low = _vertices[0].vertices;
    Vec2 high = low;
    for (const V2F_C4B_T2F& v : _vertices) {
        low = Vec2(std::min(low.x, v.vertices.x), std::min(low.y, v.vertices.y));
        high = Vec2(std::max(high.x, v.vertices.x), std::max(high.y, v.vertices.y));
    }
    *local = Rect(low.x, low.y, high.x - low.x, high.y - low.y);
    return true;
}

void Label::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (_vertices.empty() || !_atlas)
        return;
    Color4B c(static_cast<uint8_t>(_textColor.r * _displayedColor.r / 255),
              static_cast<uint8_t>(_textColor.g * _displayedColor.g / 255),
              static_cast<uint8_t>(_textColor.b * _displayedColor.b / 255),
              static_cast<uint8_t>(_textColor.a * _displayedOpacity / 255));
    if (c.a == 0)
        return;
    if (!(c == _vertexColor)) {
        for (auto& v : _vertices)
            v.colors = c;
        _vertexColor = c;
    }
    GLProgram* program =
        GLProgramCache::getInstance()->getGLProgram(GLProgram::SHADER_NAME_POSITION_TEXTURE_COLOR);
    _command.init(_globalZOrder, program, _glProgramState, _atlas->getTexture()->getName(),
                  _blendFunc, _vertices.data(), static_cast<int>(_vertices.size()), transform);
    renderer->addCommand(&_command);
}

}  // namespace engine
