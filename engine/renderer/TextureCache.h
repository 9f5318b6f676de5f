#pragma once

#include <string>
#include <unordered_map>

namespace engine {

class Texture2D;

// Textures loaded from image files, one per resolved path, kept until removed.
class TextureCache {
  public:
    TextureCache() = default;
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // Resolves the name through FileUtils; nullptr when missing or not a readable PNG.
    Texture2D* addImage(const std::string& name);
    Texture2D* getTextureForKey(const std::string& name) const;
    void removeAllTextures();

  private:
    std::unordered_map<std::string, Texture2D*> _textures;
};

}  // namespace engine
