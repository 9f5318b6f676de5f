#pragma once

#include <cstddef>
#include <string>

namespace engine {

class FontAtlas;

// One atlas per (font file, pixel size), shared by every label using that pair.
class FontAtlasCache {
  public:
    // fontFile is resolved through FileUtils; nullptr when missing or not a font.
    static FontAtlas* getFontAtlasTTF(const std::string& fontFile, float size);
    static void purgeCachedData();
    static size_t getAtlasCount();
};

}  // namespace engine
