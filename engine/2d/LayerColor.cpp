#include "engine/2d/LayerColor.h"

#include "engine/base/Director.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/Renderer.h"

namespace engine {

LayerColor* LayerColor::create() {
    auto* layer = new LayerColor();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

LayerColor* LayerColor::create(const Color4B& color) {
    auto* layer = new LayerColor();
    if (layer->initWithColor(color)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

LayerColor* LayerColor::create(const Color4B& color, float width, float height) {
    auto* layer = new LayerColor();
    if (layer->initWithColor(color, width, height)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool LayerColor::init() {
    return initWithColor(Color4B(0, 0, 0, 0));
}

bool LayerColor::initWithColor(const Color4B& color) {
    Size size = Director::getInstance()->getWinSize();
    return initWithColor(color, size.width, size.height);
}

bool LayerColor::initWithColor(const Color4B& color, float width, float height) {
    if (!Layer::init())
        return false;
    _realColor = _displayedColor = Color3B(color.r, color.g, color.b);
    _realOpacity = _displayedOpacity = color.a;
    setContentSize(Size(width, height));
    return true;
}

void LayerColor::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    float w = _contentSize.width, h = _contentSize.height;
    Color4B c(_displayedColor, _displayedOpacity);
    const Vec2 corners[6] = {{0, 0}, {w, 0}, {w, h}, {0, 0}, {w, h}, {0, h}};
    for (int i = 0; i < 6; ++i)
        _vertices[i] = {corners[i], c, {0, 0}};
    GLProgram* program =
        GLProgramCache::getInstance()->getGLProgram(GLProgram::SHADER_NAME_POSITION_COLOR);
    // An opaque colour drawn over replaces what is below: no blending needed (see DrawNode).
    const bool over = _blendFunc == BlendFunc::ALPHA_NON_PREMULTIPLIED ||
                      _blendFunc == BlendFunc::ALPHA_PREMULTIPLIED;
    const BlendFunc blend = over && _displayedOpacity == 255 ? BlendFunc::DISABLE : _blendFunc;
    _command.init(_globalZOrder, program, nullptr, 0, blend, _vertices, 6, transform);
    renderer->addCommand(&_command);
}

}  // namespace engine
