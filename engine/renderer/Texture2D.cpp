#include "engine/renderer/Texture2D.h"

#include <GL/glew.h>

#include "engine/base/Director.h"
#include "engine/platform/Image.h"
#include "engine/renderer/GLStateCache.h"

namespace engine {

Texture2D::~Texture2D() {
    if (_name)
        GL::deleteTexture(_name);
}

bool Texture2D::initWithData(const void* data, size_t dataLen, PixelFormat, int pixelsWide,
                             int pixelsHigh, const Size& contentSize) {
    if (pixelsWide <= 0 || pixelsHigh <= 0)
        return false;
    size_t needed = static_cast<size_t>(pixelsWide) * static_cast<size_t>(pixelsHigh) * 4;
    if (data && dataLen < needed)
        return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (pixelsWide > maxSize || pixelsHigh > maxSize)
        return false;

    if (!_name)
        glGenTextures(1, &_name);
    GL::bindTexture2D(_name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pixelsWide, pixelsHigh, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 data);
    _pixelsWide = pixelsWide;
    _pixelsHigh = pixelsHigh;
    _contentSize = contentSize;
    _maxS = contentSize.width / static_cast<float>(pixelsWide);
    _maxT = contentSize.height / static_cast<float>(pixelsHigh);
    _premultipliedAlpha = false;
    setAntiAliasTexParameters();
    Director::markStale();
    return glGetError() == GL_NO_ERROR;
}

bool Texture2D::initWithImage(Image* image) {
    if (!image || image->getWidth() <= 0)
        return false;
    bool ok = initWithData(
        image->getData(), image->getDataLen(), PixelFormat::RGBA8888, image->getWidth(),
        image->getHeight(),
        Size(static_cast<float>(image->getWidth()), static_cast<float>(image->getHeight())));
    _premultipliedAlpha = image->hasPremultipliedAlpha();
    return ok;
}

bool Texture2D::updateWithData(const void* data, int offsetX, int offsetY, int width, int height,
                               int rowLength) {
    if (!_name || !data || offsetX < 0 || offsetY < 0 || width <= 0 || height <= 0 ||
        rowLength < width || offsetX + width > _pixelsWide || offsetY + height > _pixelsHigh) {
        return false;
    }
    GL::bindTexture2D(_name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength == width ? 0 : rowLength);
    glTexSubImage2D(GL_TEXTURE_2D, 0, offsetX, offsetY, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                    data);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // A texel colours its neighbours' pixels too when filtered linearly.
    const float pw = static_cast<float>(_pixelsWide);
    const float ph = static_cast<float>(_pixelsHigh);
    Director::textureChanged(
        _name, Rect(static_cast<float>(offsetX - 1) / pw, static_cast<float>(offsetY - 1) / ph,
                    static_cast<float>(width + 2) / pw, static_cast<float>(height + 2) / ph));
    return true;
}

void Texture2D::setTexParameters(const TexParams& params) {
    if (!_name)
        return;
    GL::bindTexture2D(_name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(params.minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(params.magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(params.wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(params.wrapT));
    _antialiased = params.magFilter == GL_LINEAR;
    Director::markStale();
}

// The used part is what the sprites over this texture are placed by: where the texture shows
// is damaged, and cached pictures that show it are drawn again; pictures that do not show it
// stay valid.
void Texture2D::setMaxS(float s) {
    if (s != _maxS && _name)
        Director::textureChanged(_name, Rect(0, 0, 1, 1));
    _maxS = s;
}

void Texture2D::setMaxT(float t) {
    if (t != _maxT && _name)
        Director::textureChanged(_name, Rect(0, 0, 1, 1));
    _maxT = t;
}

void Texture2D::setAntiAliasTexParameters() {
    setTexParameters({GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE});
}

void Texture2D::setAliasTexParameters() {
    setTexParameters({GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE});
}

}  // namespace engine
