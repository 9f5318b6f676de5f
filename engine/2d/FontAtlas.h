#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/base/Ref.h"
#include "engine/base/Types.h"

typedef struct FT_FaceRec_* FT_Face;
typedef struct FT_LibraryRec_* FT_Library;

namespace engine {

class Texture2D;

// The glyphs of one font file at one pixel size, rasterised by FreeType on first use into a
// single atlas texture (white, coverage in alpha). Advances are kept in 26.6 fixed point:
// the font's spacing lives in fractional advances, and rounding each glyph's advance makes
// text visibly uneven. A character the font lacks is drawn from an installed font that has it
// (FontAtlasFallback), opened once per atlas at the atlas's size, so names in any script show.
class FontAtlas : public Ref {
  public:
    static constexpr int ATLAS_SIZE = 1024;

    struct Glyph {
        Rect rect;     // in the atlas, pixels, origin top-left
        int bearingX;  // bitmap left edge relative to the pen
        int bearingY;  // bitmap top edge above the baseline
        long advance;  // 26.6
        bool inAtlas;  // false for empty glyphs (space) and when the atlas is full
    };

    static FontAtlas* create(FT_Library library, const std::string& path, float size);
    ~FontAtlas() override;

    const Glyph& getGlyph(char32_t codepoint);
    Texture2D* getTexture() const { return _texture; }
    long getAscender() const { return _ascender; }      // 26.6
    long getLineHeight() const { return _lineHeight; }  // 26.6
    // Installed fonts this atlas opened for characters its own font lacks.
    size_t getFallbackFaceCount() const { return _fallbackFaces.size(); }

  private:
    FontAtlas() = default;
    bool init(FT_Library library, const std::string& path, float size);
    // The face that draws the code point: the atlas's own, or an installed one that has it.
    FT_Face faceFor(char32_t codepoint);

    FT_Library _library = nullptr;
    FT_Face _face = nullptr;
    unsigned _pixels = 1;
    std::map<std::string, FT_Face> _fallbackFaces;  // "file#index"; null when it failed to open
    Texture2D* _texture = nullptr;
    std::unordered_map<char32_t, Glyph> _glyphs;
    std::vector<unsigned char> _scratch;
    int _penX = 1;
    int _penY = 1;
    int _rowHeight = 0;
    long _ascender = 0;
    long _lineHeight = 0;
    bool _full = false;
};

}  // namespace engine
