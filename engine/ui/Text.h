#pragma once

#include <string>

#include "engine/ui/Widget.h"

namespace engine {
class Label;
}

namespace engine::ui {

// A line (or lines) of TrueType text as a widget; its size is the text's size unless a text
// area is set, in which case the text is aligned inside that area.
class Text : public Widget {
  public:
    static Text* create();
    // nullptr when the font cannot be loaded.
    static Text* create(const std::string& textContent, const std::string& fontName,
                        float fontSize);
    bool init() override;
    bool init(const std::string& textContent, const std::string& fontName, float fontSize);

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    void setFontSize(float size);
    float getFontSize() const { return _fontSize; }
    // Returns false (and keeps the old font) when the file cannot be loaded.
    bool setFontName(const std::string& name);
    const std::string& getFontName() const { return _fontName; }
    void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }
    void setTextHorizontalAlignment(TextHAlignment alignment);
    void setTextVerticalAlignment(TextVAlignment alignment);
    void setTextAreaSize(const Size& size);
    const Size& getTextAreaSize() const { return _areaSize; }
    Label* getVirtualRenderer() const { return _label; }

  protected:
    Text() = default;
    bool rebuild();
    Size getVirtualRendererSize() const override;
    void onSizeChanged() override;

    Label* _label = nullptr;
    std::string _text;
    std::string _fontName;
    float _fontSize = 10;
    Color4B _textColor = Color4B::WHITE;
    TextHAlignment _hAlignment = TextHAlignment::LEFT;
    TextVAlignment _vAlignment = TextVAlignment::TOP;
    Size _areaSize;
};

}  // namespace engine::ui
