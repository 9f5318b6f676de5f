#include "engine/ui/Layout.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/2d/LayerColor.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/TextureCache.h"
#include "engine/ui/Scale9Sprite.h"

namespace engine::ui {

namespace {
constexpr int kBackGroundZ = -100;
}

bool Layout::init() {
    if (!Widget::init())
        return false;
    _anchorPoint = Vec2::ZERO;
    return true;
}

// Background -------------------------------------------------------------------------------

void Layout::setBackGroundColorType(BackGroundColorType type) {
    _colorType = type;
    if (type == BackGroundColorType::NONE) {
        if (_colorRenderer) {
            removeChild(_colorRenderer);
            _colorRenderer = nullptr;
        }
        return;
    }
    if (!_colorRenderer) {
        _colorRenderer = LayerColor::create(Color4B(_backGroundColor, _backGroundOpacity),
                                            _contentSize.width, _contentSize.height);
        addChild(_colorRenderer, kBackGroundZ - 1);
    }
}

void Layout::setBackGroundColor(const Color3B& color) {
    _backGroundColor = color;
    if (_colorRenderer)
        _colorRenderer->setColor(color);
}

void Layout::setBackGroundColorOpacity(uint8_t opacity) {
    _backGroundOpacity = opacity;
    if (_colorRenderer)
        _colorRenderer->setOpacity(opacity);
}

void Layout::setBackGroundImage(const std::string& fileName, TextureResType) {
    if (fileName.empty()) {
        if (_backGroundImage) {
            removeChild(_backGroundImage);
            _backGroundImage = nullptr;
        }
        return;
    }
    if (!_backGroundImage) {
        _backGroundImage = Scale9Sprite::create();
        addChild(_backGroundImage, kBackGroundZ);
    }
    _backGroundImage->setTexture(Director::getInstance()->getTextureCache()->addImage(fileName));
    _backGroundImage->setScale9Enabled(_backGroundScale9);
    onSizeChanged();
}

void Layout::setBackGroundImageScale9Enabled(bool enabled) {
    _backGroundScale9 = enabled;
    if (_backGroundImage)
        _backGroundImage->setScale9Enabled(enabled);
}

void Layout::setBackGroundImageCapInsets(const Rect& capInsets) {
    if (_backGroundImage)
        _backGroundImage->setCapInsets(capInsets);
}

void Layout::onSizeChanged() {
    if (_colorRenderer)
        _colorRenderer->setContentSize(_contentSize);
    if (_backGroundImage) {
        _backGroundImage->setPosition(_contentSize.width / 2, _contentSize.height / 2);
        _backGroundImage->setContentSize(_contentSize);
    }
}

// Clipping ---------------------------------------------------------------------------------

Rect Layout::worldRect() const {
    Vec2 a = convertToWorldSpace(Vec2::ZERO);
    Vec2 b = convertToWorldSpace(Vec2(_contentSize.width, _contentSize.height));
    return Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}

void Layout::visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) {
    if (!_visible)
        return;
    if (!_clippingEnabled) {
        Widget::visit(renderer, parentTransform, parentFlags);
        return;
    }
    const Rect clip = worldRect();
    _beginClip.init(_globalZOrder);
    _beginClip.func = [this, clip]() {
        GLView* view = Director::getInstance()->getOpenGLView();
        Rect r = clip;
        _restoreScissor = view->isScissorEnabled();
        if (_restoreScissor) {
            // Nested clipping: draw only where both rectangles allow.
            _previousScissor = view->getScissorRect();
            float x0 = std::max(r.getMinX(), _previousScissor.getMinX());
            float y0 = std::max(r.getMinY(), _previousScissor.getMinY());
            float x1 = std::min(r.getMaxX(), _previousScissor.getMaxX());
            float y1 = std::min(r.getMaxY(), _previousScissor.getMaxY());
            r = Rect(x0, y0, std::max(0.f, x1 - x0), std::max(0.f, y1 - y0));
        } else {
            glEnable(GL_SCISSOR_TEST);
        }
        view->setScissorInPoints(r.origin.x, r.origin.y, r.size.width, r.size.height);
    };
    _endClip.init(_globalZOrder);
    _endClip.func = [this]() {
        GLView* view = Director::getInstance()->getOpenGLView();
        if (_restoreScissor) {
            view->setScissorInPoints(_previousScissor.origin.x, _previousScissor.origin.y,
                                     _previousScissor.size.width, _previousScissor.size.height);
        } else {
            glDisable(GL_SCISSOR_TEST);
        }
    };
    renderer->addCommand(&_beginClip);
    Widget::visit(renderer, parentTransform, parentFlags);
    renderer->addCommand(&_endClip);
}

}  // namespace engine::ui
