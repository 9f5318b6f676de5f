#pragma once

#include <string>
#include <vector>

#include "engine/2d/Node.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

class FontAtlas;

// Text in a TrueType font. The content size is the measured text (widest line by the line
// height times the lines) unless fixed dimensions are given, in which case the text is aligned
// inside them. Lines break at '\n' only. Glyphs sit on whole pixels.
class Label : public Node {
  public:
    static Label* createWithTTF(const std::string& text, const std::string& fontFile,
                                float fontSize, const Size& dimensions = Size::ZERO,
                                TextHAlignment hAlignment = TextHAlignment::LEFT,
                                TextVAlignment vAlignment = TextVAlignment::TOP);
    ~Label() override;

    bool initWithTTF(const std::string& text, const std::string& fontFile, float fontSize,
                     const Size& dimensions, TextHAlignment hAlignment, TextVAlignment vAlignment);

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    int getStringNumLines() const { return static_cast<int>(_lineWidths.size()); }
    // Multiplied with the node colour and opacity.
    void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }
    void setAlignment(TextHAlignment hAlignment);
    void setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment);
    void setHorizontalAlignment(TextHAlignment hAlignment) { setAlignment(hAlignment); }
    TextHAlignment getHorizontalAlignment() const { return _hAlignment; }
    void setDimensions(float width, float height);
    const Size& getDimensions() const { return _dimensions; }
    float getLineHeight() const;
    float getFontSize() const { return _fontSize; }
    const std::string& getFontFile() const { return _fontFile; }
    void setBlendFunc(const BlendFunc& blend) {
        if (blend == _blendFunc)
            return;
        _blendFunc = blend;
        markStale();
    }

    // The glyph quads laid out last.
    bool getDrawnBounds(Rect* local) const override;
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

    // UTF-8 to code points; malformed sequences become U+FFFD instead of being skipped silently.
    static std::u32string decodeUtf8(const std::string& text);

  protected:
    Label() = default;
    void layout();

    std::string _text;
    std::string _fontFile;
    float _fontSize = 0;
    FontAtlas* _atlas = nullptr;
    Size _dimensions;
    TextHAlignment _hAlignment = TextHAlignment::LEFT;
    TextVAlignment _vAlignment = TextVAlignment::TOP;
    Color4B _textColor = Color4B::WHITE;
    BlendFunc _blendFunc = BlendFunc::ALPHA_NON_PREMULTIPLIED;
    std::vector<int> _lineWidths;
    std::vector<V2F_C4B_T2F> _vertices;
    Color4B _vertexColor{0, 0, 0, 0};
    bool _layoutDirty = true;
    TrianglesCommand _command;
};

}  // namespace engine
