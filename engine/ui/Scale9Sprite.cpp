#include "engine/ui/Scale9Sprite.h"

#include <algorithm>

#include "engine/base/Director.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"
#include "engine/renderer/TextureCache.h"

namespace engine::ui {

template <class Init>
static Scale9Sprite* make(Init init) {
    auto* sprite = new Scale9Sprite();
    if (init(sprite)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Scale9Sprite* Scale9Sprite::create() {
    return make([](Scale9Sprite* s) { return s->init(); });
}

Scale9Sprite* Scale9Sprite::create(const std::string& file) {
    return make([&](Scale9Sprite* s) { return s->initWithFile(file); });
}

Scale9Sprite* Scale9Sprite::create(const std::string& file, const Rect& capInsets) {
    return make([&](Scale9Sprite* s) { return s->initWithFile(file, capInsets); });
}

Scale9Sprite* Scale9Sprite::createWithTexture(Texture2D* texture) {
    if (!texture)
        return nullptr;
    Size size = texture->getContentSize();
    return make([&](Scale9Sprite* s) {
        return s->initWithTexture(texture, Rect(Vec2::ZERO, size), Rect::ZERO);
    });
}

Scale9Sprite::Scale9Sprite() {
    _anchorPoint = Vec2(0.5f, 0.5f);
}

Scale9Sprite::~Scale9Sprite() {
    safeRelease(_texture);
}

bool Scale9Sprite::init() {
    return initWithTexture(nullptr, Rect::ZERO, Rect::ZERO);
}

bool Scale9Sprite::initWithFile(const std::string& file, const Rect& capInsets) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(file);
    if (!texture)
        return false;
    return initWithTexture(texture, Rect(Vec2::ZERO, texture->getContentSize()), capInsets);
}

bool Scale9Sprite::initWithTexture(Texture2D* texture, const Rect& rect, const Rect& capInsets) {
    safeAssign(_texture, texture);
    _blendFunc = (!_texture || _texture->hasPremultipliedAlpha())
                     ? BlendFunc::ALPHA_PREMULTIPLIED
                     : BlendFunc::ALPHA_NON_PREMULTIPLIED;
    _rect = rect;
    setContentSize(rect.size);
    setCapInsets(capInsets);
    return true;
}

void Scale9Sprite::setTexture(Texture2D* texture) {
    bool followSize = _contentSize == _rect.size;
    safeAssign(_texture, texture);
    if (_texture) {
        _blendFunc = _texture->hasPremultipliedAlpha() ? BlendFunc::ALPHA_PREMULTIPLIED
                                                       : BlendFunc::ALPHA_NON_PREMULTIPLIED;
    }
    _rect = Rect(Vec2::ZERO, _texture ? _texture->getContentSize() : Size::ZERO);
    if (followSize)
        setContentSize(_rect.size);
    if (_defaultInsets)
        setCapInsets(Rect::ZERO);
    clampInsets();
}

void Scale9Sprite::setTextureRect(const Rect& rect) {
    _rect = rect;
    clampInsets();
}

// Insets -----------------------------------------------------------------------------------

void Scale9Sprite::setCapInsets(const Rect& capInsets) {
    Size size = _rect.size;
    _defaultInsets = capInsets == Rect::ZERO;
    if (_defaultInsets) {
        _insetLeft = _insetRight = size.width / 3;
        _insetTop = _insetBottom = size.height / 3;
    } else {
        _insetLeft = capInsets.origin.x;
        _insetTop = capInsets.origin.y;
        _insetRight = size.width - capInsets.origin.x - capInsets.size.width;
        _insetBottom = size.height - capInsets.origin.y - capInsets.size.height;
    }
    clampInsets();
}

Rect Scale9Sprite::getCapInsets() const {
    return Rect(_insetLeft, _insetTop, _rect.size.width - _insetLeft - _insetRight,
                _rect.size.height - _insetTop - _insetBottom);
}

void Scale9Sprite::setInsetLeft(float inset) {
    _insetLeft = inset;
    _defaultInsets = false;
    clampInsets();
}
void Scale9Sprite::setInsetRight(float inset) {
    _insetRight = inset;
    _defaultInsets = false;
    clampInsets();
}
void Scale9Sprite::setInsetTop(float inset) {
    _insetTop = inset;
    _defaultInsets = false;
    clampInsets();
}
void Scale9Sprite::setInsetBottom(float inset) {
    _insetBottom = inset;
    _defaultInsets = false;
    clampInsets();
}

void Scale9Sprite::setInsetFractions(float left, float right, float top, float bottom) {
    _insetLeft = left * _rect.size.width;
    _insetRight = right * _rect.size.width;
    _insetTop = top * _rect.size.height;
    _insetBottom = bottom * _rect.size.height;
    _defaultInsets = false;
    clampInsets();
}

void Scale9Sprite::clampInsets() {
    // Insets that overlap (or are negative or NaN) would sample outside the image.
    auto clampPair = [](float& a, float& b, float total) {
        a = a > 0 ? std::min(a, total) : 0.f;
        b = b > 0 ? std::min(b, total - a) : 0.f;
    };
    clampPair(_insetLeft, _insetRight, _rect.size.width);
    clampPair(_insetTop, _insetBottom, _rect.size.height);
    // Every change of texture, rectangle or insets ends here.
    const float insets[4] = {_insetLeft, _insetRight, _insetTop, _insetBottom};
    if (_shownTexture != _texture || !(_shownRect == _rect) ||
        !std::equal(insets, insets + 4, _shownInsets)) {
        _shownTexture = _texture;
        _shownRect = _rect;
        std::copy(insets, insets + 4, _shownInsets);
        markStale();
    }
}

void Scale9Sprite::setScale9Enabled(bool enabled) {
    setRenderingType(enabled ? RenderingType::SLICE : RenderingType::SIMPLE);
}

void Scale9Sprite::setRenderingType(RenderingType type) {
    if (type == _renderingType)
        return;
    _renderingType = type;
    markStale();
}

// Drawing ----------------------------------------------------------------------------------

void Scale9Sprite::addQuad(float x0, float y0, float x1, float y1, float u0, float v0, float u1,
                           float v1, const Color4B& color) {
    if (x1 <= x0 || y1 <= y0)
        return;
    const V2F_C4B_T2F bl{{x0, y0}, color, {u0, v1}};
    const V2F_C4B_T2F br{{x1, y0}, color, {u1, v1}};
    const V2F_C4B_T2F tr{{x1, y1}, color, {u1, v0}};
    const V2F_C4B_T2F tl{{x0, y1}, color, {u0, v0}};
    _vertices.insert(_vertices.end(), {bl, br, tr, bl, tr, tl});
}

void Scale9Sprite::buildVertices() {
    _vertices.clear();
    Color4B c(_displayedColor, _displayedOpacity);
    if (_texture->hasPremultipliedAlpha()) {
        c.r = static_cast<uint8_t>(c.r * _displayedOpacity / 255);
        c.g = static_cast<uint8_t>(c.g * _displayedOpacity / 255);
        c.b = static_cast<uint8_t>(c.b * _displayedOpacity / 255);
    }
    const float pw = static_cast<float>(_texture->getPixelsWide());
    const float ph = static_cast<float>(_texture->getPixelsHigh());
    const float w = _contentSize.width, h = _contentSize.height;
    // Texture coordinates of the four vertical and four horizontal cut lines (v grows down).
    const float u[4] = {_rect.origin.x / pw, (_rect.origin.x + _insetLeft) / pw,
                        (_rect.getMaxX() - _insetRight) / pw, _rect.getMaxX() / pw};
    const float v[4] = {_rect.origin.y / ph, (_rect.origin.y + _insetTop) / ph,
                        (_rect.getMaxY() - _insetBottom) / ph, _rect.getMaxY() / ph};
    if (_renderingType == RenderingType::SIMPLE) {
        addQuad(0, 0, w, h, u[0], v[0], u[3], v[3], c);
        return;
    }
    float left = _insetLeft, right = _insetRight, top = _insetTop, bottom = _insetBottom;
    if (left + right > w) {
        float k = w / (left + right);
        left *= k;
        right *= k;
    }
    if (top + bottom > h) {
        float k = h / (top + bottom);
        top *= k;
        bottom *= k;
    }
    const float xs[4] = {0, left, w - right, w};
    const float ys[4] = {h, h - top, bottom, 0};  // from the top edge down, as v
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            addQuad(xs[col], ys[row + 1], xs[col + 1], ys[row], u[col], v[row], u[col + 1],
                    v[row + 1], c);
        }
    }
}

void Scale9Sprite::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (!_texture || _displayedOpacity == 0 || _contentSize.width <= 0 ||
        _contentSize.height <= 0) {
        return;
    }
    buildVertices();
    GLProgram* program =
        GLProgramCache::getInstance()->getGLProgram(GLProgram::SHADER_NAME_POSITION_TEXTURE_COLOR);
    _command.init(_globalZOrder, program, _glProgramState, _texture->getName(), _blendFunc,
                  _vertices.data(), static_cast<int>(_vertices.size()), transform);
    renderer->addCommand(&_command);
}

}  // namespace engine::ui
