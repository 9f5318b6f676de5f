#include "engine/2d/CachedBackdrop.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/base/Director.h"
#include "engine/renderer/GLStateCache.h"

namespace engine {

std::vector<CachedBackdrop*> CachedBackdrop::s_live;

CachedBackdrop* CachedBackdrop::create() {
    auto* backdrop = new CachedBackdrop();
    if (backdrop->init()) {
        backdrop->autorelease();
        return backdrop;
    }
    delete backdrop;
    return nullptr;
}

CachedBackdrop::CachedBackdrop() {
    _cachesDescendants = true;
    s_live.push_back(this);
}

CachedBackdrop::~CachedBackdrop() {
    s_live.erase(std::remove(s_live.begin(), s_live.end(), this), s_live.end());
    releaseTarget();
}

bool CachedBackdrop::textureChanged(unsigned int texture, const Rect& texels, Rect* footprint) {
    bool shown = false;
    for (CachedBackdrop* backdrop : s_live) {
        Rect part;
        if (!backdrop->_renderer.getTextureFootprint(texture, texels, &part))
            continue;
        backdrop->_stale = true;
        if (!shown) {
            *footprint = part;
        } else if (part.size.width > 0 && part.size.height > 0) {
            const float x0 = std::min(footprint->getMinX(), part.getMinX());
            const float y0 = std::min(footprint->getMinY(), part.getMinY());
            *footprint = Rect(x0, y0, std::max(footprint->getMaxX(), part.getMaxX()) - x0,
                              std::max(footprint->getMaxY(), part.getMaxY()) - y0);
        }
        shown = true;
    }
    return shown;
}

void CachedBackdrop::releaseTarget() {
    // Only while the context lives: without a view the GL objects went with it.
    if ((_framebuffer || _texture) && Director::hasInstance() &&
        Director::getInstance()->getOpenGLView()) {
        if (_framebuffer)
            glDeleteFramebuffers(1, &_framebuffer);
        if (_texture)
            GL::deleteTexture(_texture);
    }
    _framebuffer = _texture = 0;
    _width = _height = 0;
}

bool CachedBackdrop::prepareTarget(int width, int height) {
    if (_failed || width <= 0 || height <= 0)
        return false;
    if (_framebuffer && width == _width && height == _height)
        return true;
    releaseTarget();
    glGenTextures(1, &_texture);
    GL::bindTexture2D(_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // One texel per pixel, sampled at pixel centres: nearest gives each pixel its own texel.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete) {
        // The children are then drawn straight into every frame, as any other node's.
        releaseTarget();
        _failed = true;
        return false;
    }
    _width = width;
    _height = height;
    return true;
}

void CachedBackdrop::renderChildren(const Mat4& parentTransform, uint32_t parentFlags) {
    _stale = false;
    _epoch = Director::getInstance()->getContentEpoch();
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    // The same viewport, projection and pixel grid as the frame: the texture holds the very
    // pixels the frame would.
    _renderer.clear(Director::getInstance()->getClearColor());
    Node::visit(&_renderer, parentTransform, parentFlags);
    _renderer.render();
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    ++_renderCount;
}

void CachedBackdrop::queueCopy(Renderer* renderer) {
    _copy.init(_globalZOrder);
    _copy.setCoversFrame(true);
    _copy.func = [this, renderer] { copyInto(*renderer); };
    renderer->addCommand(&_copy);
}

// Texel for pixel over the damaged box alone, so no scissor is needed.
void CachedBackdrop::copyInto(const Renderer& frame) const {
    const std::optional<PixelBox>& damage = frame.getDamageBox();
    const PixelBox box = damage ? *damage : PixelBox{0, 0, _width, _height};
    if (box.width <= 0 || box.height <= 0)
        return;
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    glDisable(GL_SCISSOR_TEST);  // the renderer confines what follows to the damage again
    const int x1 = box.x + box.width;
    const int y1 = box.y + box.height;
    glBlitFramebuffer(box.x, box.y, x1, y1, box.x, box.y, x1, y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void CachedBackdrop::visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) {
    if (!_visible) {
        Node::visit(renderer, parentTransform, parentFlags);
        return;
    }
    int width = 0;
    int height = 0;
    Director::getInstance()->getFramebufferSize(&width, &height);
    const bool resized = width != _width || height != _height;
    if (!prepareTarget(width, height)) {
        Node::visit(renderer, parentTransform, parentFlags);
        return;
    }
    if (_stale || resized || _epoch != Director::getInstance()->getContentEpoch())
        renderChildren(parentTransform, parentFlags);
    queueCopy(renderer);
}

}  // namespace engine
