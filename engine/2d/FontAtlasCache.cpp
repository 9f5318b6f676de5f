#include "engine/2d/FontAtlasCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>

#include "engine/2d/FontAtlas.h"
#include "engine/platform/FileUtils.h"

namespace engine {

namespace {
FT_Library s_library = nullptr;
std::map<std::string, FontAtlas*>& atlases() {
    static std::map<std::string, FontAtlas*> map;
    return map;
}
}  // namespace

FontAtlas* FontAtlasCache::getFontAtlasTTF(const std::string& fontFile, float size) {
    std::string path = FileUtils::getInstance()->fullPathForFilename(fontFile);
    if (path.empty())
        return nullptr;
    std::string key = path + "#" + std::to_string(std::lround(size));
    auto it = atlases().find(key);
    if (it != atlases().end())
        return it->second;
    if (!s_library && FT_Init_FreeType(&s_library) != 0)
        return nullptr;
    FontAtlas* atlas = FontAtlas::create(s_library, path, size);
    if (atlas)
        atlases().emplace(key, atlas);
    return atlas;
}

void FontAtlasCache::purgeCachedData() {
    for (auto& [key, atlas] : atlases())
        atlas->release();
    atlases().clear();
    if (s_library) {
        FT_Done_FreeType(s_library);
        s_library = nullptr;
    }
}

size_t FontAtlasCache::getAtlasCount() {
    return atlases().size();
}

}  // namespace engine
