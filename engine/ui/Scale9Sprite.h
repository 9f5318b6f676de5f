#pragma once

#include <string>
#include <vector>

#include "engine/2d/Node.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {
class Texture2D;
}

namespace engine::ui {

// An image stretched to its content size. Sliced, the four corners keep their size, the edges
// stretch along their length and the centre both ways, so a rounded panel or a label tag can
// take any size; simple, the whole image stretches. The insets are measured on the image (in
// texture pixels) from its left, right, top and bottom edges; by default each is a third.
// A content size smaller than two opposite corners shrinks those corners in proportion.
class Scale9Sprite : public Node {
  public:
    enum class RenderingType { SIMPLE, SLICE };

    static Scale9Sprite* create();
    static Scale9Sprite* create(const std::string& file);
    // capInsets: origin = (left, top) inset, size = the centre's size, in texture pixels.
    static Scale9Sprite* create(const std::string& file, const Rect& capInsets);
    static Scale9Sprite* createWithTexture(Texture2D* texture);

    ~Scale9Sprite() override;
    bool init() override;
    bool initWithFile(const std::string& file, const Rect& capInsets = Rect::ZERO);
    bool initWithTexture(Texture2D* texture, const Rect& rect, const Rect& capInsets);

    // Replaces the image (nullptr shows nothing); the content size follows the new image's
    // size only while it was the old one's.
    void setTexture(Texture2D* texture);
    Texture2D* getTexture() const { return _texture; }
    // Shows only this part of the texture (texture pixels, origin at the top-left).
    void setTextureRect(const Rect& rect);
    const Rect& getTextureRect() const { return _rect; }
    const Size& getOriginalSize() const { return _rect.size; }

    void setCapInsets(const Rect& capInsets);
    Rect getCapInsets() const;
    void setInsetLeft(float inset);
    void setInsetRight(float inset);
    void setInsetTop(float inset);
    void setInsetBottom(float inset);
    float getInsetLeft() const { return _insetLeft; }
    float getInsetRight() const { return _insetRight; }
    float getInsetTop() const { return _insetTop; }
    float getInsetBottom() const { return _insetBottom; }
    // Insets as fractions of the image's width (left, right) and height (top, bottom).
    void setInsetFractions(float left, float right, float top, float bottom);

    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _renderingType == RenderingType::SLICE; }
    void setRenderingType(RenderingType type);
    RenderingType getRenderingType() const { return _renderingType; }
    void setPreferredSize(const Size& size) { setContentSize(size); }
    const Size& getPreferredSize() const { return _contentSize; }

    void setBlendFunc(const BlendFunc& blend) {
        if (blend == _blendFunc)
            return;
        _blendFunc = blend;
        markStale();
    }
    const BlendFunc& getBlendFunc() const { return _blendFunc; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

    Scale9Sprite();

  protected:
    void clampInsets();
    void buildVertices();
    void addQuad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                 const Color4B& color);

    Texture2D* _texture = nullptr;
    Rect _rect;
    float _insetLeft = 0, _insetRight = 0, _insetTop = 0, _insetBottom = 0;
    bool _defaultInsets = true;
    // The texture, rectangle and insets as last drawn or marked, to tell a real change.
    const Texture2D* _shownTexture = nullptr;
    Rect _shownRect;
    float _shownInsets[4] = {0, 0, 0, 0};
    RenderingType _renderingType = RenderingType::SLICE;
    BlendFunc _blendFunc = BlendFunc::ALPHA_PREMULTIPLIED;
    std::vector<V2F_C4B_T2F> _vertices;
    TrianglesCommand _command;
};

}  // namespace engine::ui
