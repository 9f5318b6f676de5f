#pragma once

#include <string>

#include "engine/2d/Node.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

class Texture2D;

// A textured quad showing a rectangle of a texture (in texture pixels, origin at the top-left),
// tinted by its colour and faded by its opacity.
class Sprite : public Node {
  public:
    static Sprite* create();
    static Sprite* create(const std::string& filename);
    static Sprite* createWithTexture(Texture2D* texture);
    static Sprite* createWithTexture(Texture2D* texture, const Rect& rect);

    ~Sprite() override;

    bool init() override;
    bool initWithFile(const std::string& filename);
    bool initWithTexture(Texture2D* texture, const Rect& rect);

    // Also resets the blend function to suit the texture's alpha.
    virtual void setTexture(Texture2D* texture);
    Texture2D* getTexture() const { return _texture; }
    // Shows this part of the texture; the content size becomes the rectangle's size.
    virtual void setTextureRect(const Rect& rect);
    const Rect& getTextureRect() const { return _rect; }

    void setFlippedX(bool flipped);
    void setFlippedY(bool flipped);
    bool isFlippedX() const { return _flippedX; }
    bool isFlippedY() const { return _flippedY; }

    void setBlendFunc(const BlendFunc& blend);
    const BlendFunc& getBlendFunc() const { return _blendFunc; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;
    // The quad: the content rectangle.
    bool getDrawnBounds(Rect* local) const override {
        *local = Rect(Vec2(), _contentSize);
        return true;
    }

    Sprite() = default;

  protected:
    void updateQuad();

    Texture2D* _texture = nullptr;
    Rect _rect;
    bool _flippedX = false;
    bool _flippedY = false;
    BlendFunc _blendFunc = BlendFunc::ALPHA_PREMULTIPLIED;
    V2F_C4B_T2F _quad[6];
    TrianglesCommand _command;
};

}  // namespace engine
