#include "engine/renderer/TextureCache.h"

#include <cstdio>

#include "engine/platform/FileUtils.h"
#include "engine/platform/Image.h"
#include "engine/renderer/Texture2D.h"

namespace engine {

TextureCache::~TextureCache() {
    removeAllTextures();
}

Texture2D* TextureCache::addImage(const std::string& name) {
    std::string path = FileUtils::getInstance()->fullPathForFilename(name);
    if (path.empty()) {
        std::fprintf(stderr, "TextureCache: %s not found\n", name.c_str());
        return nullptr;
    }
    auto it = _textures.find(path);
    if (it != _textures.end())
        return it->second;

    Image image;
    if (!image.initWithImageFile(path)) {
        std::fprintf(stderr, "TextureCache: %s is not a readable PNG\n", path.c_str());
        return nullptr;
    }
    auto* texture = new Texture2D();
    if (!texture->initWithImage(&image)) {
        texture->release();
        return nullptr;
    }
    _textures.emplace(path, texture);
    return texture;
}

Texture2D* TextureCache::getTextureForKey(const std::string& name) const {
    std::string path = FileUtils::getInstance()->fullPathForFilename(name);
    auto it = _textures.find(path);
    return it == _textures.end() ? nullptr : it->second;
}

void TextureCache::removeAllTextures() {
    for (auto& [path, texture] : _textures)
        texture->release();
    _textures.clear();
}

}  // namespace engine
