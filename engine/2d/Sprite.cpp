#include "engine/2d/Sprite.h"

#include "engine/base/Director.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"
#include "engine/renderer/TextureCache.h"

namespace engine {

template <class Init>
static Sprite* make(Init init) {
    auto* sprite = new Sprite();
    if (init(sprite)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::create() {
    return make([](Sprite* s) { return s->init(); });
}

Sprite* Sprite::create(const std::string& filename) {
    return make([&](Sprite* s) { return s->initWithFile(filename); });
}

Sprite* Sprite::createWithTexture(Texture2D* texture) {
    if (!texture)
        return nullptr;
    Size size = texture->getContentSize();
    return make([&](Sprite* s) {
        return s->initWithTexture(texture, Rect(0, 0, size.width, size.height));
    });
}

Sprite* Sprite::createWithTexture(Texture2D* texture, const Rect& rect) {
    return make([&](Sprite* s) { return s->initWithTexture(texture, rect); });
}

Sprite::~Sprite() {
    safeRelease(_texture);
}

bool Sprite::init() {
    return initWithTexture(nullptr, Rect::ZERO);
}

bool Sprite::initWithFile(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    if (!texture)
        return false;
    Size size = texture->getContentSize();
    return initWithTexture(texture, Rect(0, 0, size.width, size.height));
}

bool Sprite::initWithTexture(Texture2D* texture, const Rect& rect) {
    _anchorPoint = Vec2(0.5f, 0.5f);
    setTexture(texture);
    setTextureRect(rect);
    return true;
}

void Sprite::setTexture(Texture2D* texture) {
    if (texture != _texture)
        markStale();
    safeAssign(_texture, texture);
    setBlendFunc((!_texture || _texture->hasPremultipliedAlpha())
                     ? BlendFunc::ALPHA_PREMULTIPLIED
                     : BlendFunc::ALPHA_NON_PREMULTIPLIED);
}

void Sprite::setTextureRect(const Rect& rect) {
    if (assignChanged(_rect, rect))
        markStale();
    setContentSize(rect.size);
}

void Sprite::setFlippedX(bool flipped) {
    if (flipped != _flippedX)
        markStale();
    _flippedX = flipped;
}
void Sprite::setFlippedY(bool flipped) {
    if (flipped != _flippedY)
        markStale();
    _flippedY = flipped;
}

void Sprite::setBlendFunc(const BlendFunc& blend) {
    if (blend == _blendFunc)
        return;
    _blendFunc = blend;
    markStale();
}

void Sprite::updateQuad() {
    float w = _contentSize.width, h = _contentSize.height;
    float left = 0, right = 1, top = 0, bottom = 1;
    if (_texture) {
        float pw = static_cast<float>(_texture->getPixelsWide());
        float ph = static_cast<float>(_texture->getPixelsHigh());
        left = _rect.origin.x / pw;
        right = (_rect.origin.x + _rect.size.width) / pw;
        top = _rect.origin.y / ph;
        bottom = (_rect.origin.y + _rect.size.height) / ph;
    }
    if (_flippedX)
        std::swap(left, right);
    if (_flippedY)
        std::swap(top, bottom);

    Color4B c(_displayedColor, _displayedOpacity);
    if (!_texture || _texture->hasPremultipliedAlpha()) {
        c.r = static_cast<uint8_t>(c.r * _displayedOpacity / 255);
        c.g = static_cast<uint8_t>(c.g * _displayedOpacity / 255);
        c.b = static_cast<uint8_t>(c.b * _displayedOpacity / 255);
    }
    const V2F_C4B_T2F bl{{0, 0}, c, {left, bottom}};
    const V2F_C4B_T2F br{{w, 0}, c, {right, bottom}};
    const V2F_C4B_T2F tr{{w, h}, c, {right, top}};
    const V2F_C4B_T2F tl{{0, h}, c, {left, top}};
    _quad[0] = bl;
    _quad[1] = br;
    _quad[2] = tr;
    _quad[3] = bl;
    _quad[4] = tr;
    _quad[5] = tl;
}

void Sprite::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (!_texture || _displayedOpacity == 0 || _contentSize.width <= 0 ||
        _contentSize.height <= 0) {
        return;
    }
    updateQuad();
    GLProgram* program =
        GLProgramCache::getInstance()->getGLProgram(GLProgram::SHADER_NAME_POSITION_TEXTURE_COLOR);
    _command.init(_globalZOrder, program, _glProgramState, _texture->getName(), _blendFunc, _quad,
                  6, transform);
    renderer->addCommand(&_command);
}

}  // namespace engine
