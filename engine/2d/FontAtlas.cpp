#include "engine/2d/FontAtlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>

#include "engine/2d/FontAtlasFallback.h"
#include "engine/renderer/Texture2D.h"

namespace engine {

FontAtlas* FontAtlas::create(FT_Library library, const std::string& path, float size) {
    auto* atlas = new FontAtlas();
    if (atlas->init(library, path, size))
        return atlas;  // owned by the cache, not autoreleased
    delete atlas;
    return nullptr;
}

FontAtlas::~FontAtlas() {
    safeRelease(_texture);
    for (auto& [file, face] : _fallbackFaces) {
        if (face)
            FT_Done_Face(face);
    }
    if (_face)
        FT_Done_Face(_face);
}

bool FontAtlas::init(FT_Library library, const std::string& path, float size) {
    if (!library || size <= 0)
        return false;
    if (FT_New_Face(library, path.c_str(), 0, &_face) != 0)
        return false;
    _library = library;
    FT_Select_Charmap(_face, FT_ENCODING_UNICODE);
    const long pixels = std::lround(size);
    _pixels = pixels > 0 ? static_cast<unsigned>(pixels) : 1;
    if (FT_Set_Pixel_Sizes(_face, 0, _pixels) != 0)
        return false;
    _ascender = _face->size->metrics.ascender;
    _lineHeight = _face->size->metrics.height;

    // Transparent white, so filtering at glyph edges never pulls in a dark fringe.
    std::vector<unsigned char> clear(static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE * 4);
    for (size_t i = 0; i < clear.size(); i += 4)
        clear[i] = clear[i + 1] = clear[i + 2] = 255;
    _texture = new Texture2D();
    if (!_texture->initWithData(clear.data(), clear.size(), Texture2D::PixelFormat::RGBA8888,
                                ATLAS_SIZE, ATLAS_SIZE, Size(ATLAS_SIZE, ATLAS_SIZE))) {
        return false;
    }
    return true;
}

FT_Face FontAtlas::faceFor(char32_t codepoint) {
    // Controls have no glyph anywhere; asking fontconfig about them would only cost time.
    if (codepoint < 0x20 || FT_Get_Char_Index(_face, codepoint) != 0)
        return _face;
    const FontAtlasFallback::Font font = FontAtlasFallback::fontFor(codepoint);
    if (font.file.empty())
        return _face;  // drawn as the font's missing-glyph box
    const std::string key = font.file + "#" + std::to_string(font.index);
    auto known = _fallbackFaces.find(key);
    if (known == _fallbackFaces.end()) {
        FT_Face face = nullptr;
        if (FT_New_Face(_library, font.file.c_str(), font.index, &face) == 0) {
            FT_Select_Charmap(face, FT_ENCODING_UNICODE);
            if (FT_Set_Pixel_Sizes(face, 0, _pixels) != 0) {
                FT_Done_Face(face);
                face = nullptr;
            }
        } else {
            face = nullptr;
        }
        known = _fallbackFaces.emplace(key, face).first;
    }
    return known->second && FT_Get_Char_Index(known->second, codepoint) != 0 ? known->second
                                                                             : _face;
}

const FontAtlas::Glyph& FontAtlas::getGlyph(char32_t codepoint) {
    auto it = _glyphs.find(codepoint);
    if (it != _glyphs.end())
        return it->second;

    Glyph glyph{Rect::ZERO, 0, 0, 0, false};
    FT_Face face = faceFor(codepoint);
    if (FT_Load_Char(face, codepoint, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
        FT_GlyphSlot slot = face->glyph;
        // linearHoriAdvance is the unhinted advance in 16.16; keep 26.6.
        glyph.advance = static_cast<long>(slot->linearHoriAdvance >> 10);
        glyph.bearingX = slot->bitmap_left;
        glyph.bearingY = slot->bitmap_top;
        const FT_Bitmap& bitmap = slot->bitmap;
        int w = static_cast<int>(bitmap.width);
        int h = static_cast<int>(bitmap.rows);
        if (w > 0 && h > 0 && bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            if (_penX + w + 1 > ATLAS_SIZE) {
                _penX = 1;
                _penY += _rowHeight + 1;
                _rowHeight = 0;
            }
            if (_penY + h + 1 > ATLAS_SIZE || w + 2 > ATLAS_SIZE) {
                if (!_full)
                    std::fprintf(stderr, "FontAtlas: atlas full, glyphs dropped\n");
                _full = true;
            } else {
                _scratch.assign(static_cast<size_t>(w) * h * 4, 255);
                for (int y = 0; y < h; ++y) {
                    const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
                    for (int x = 0; x < w; ++x) {
                        _scratch[(static_cast<size_t>(y) * w + x) * 4 + 3] = row[x];
                    }
                }
                _texture->updateWithData(_scratch.data(), _penX, _penY, w, h);
                glyph.rect = Rect(static_cast<float>(_penX), static_cast<float>(_penY),
                                  static_cast<float>(w), static_cast<float>(h));
                glyph.inAtlas = true;
                _penX += w + 1;
                if (h > _rowHeight)
                    _rowHeight = h;
            }
        }
    }
    return _glyphs.emplace(codepoint, glyph).first->second;
}

}  // namespace engine
