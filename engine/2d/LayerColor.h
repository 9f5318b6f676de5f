#pragma once

#include "engine/2d/Layer.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

// A layer filled with one colour; its opacity is the colour's alpha.
class LayerColor : public Layer {
  public:
    static LayerColor* create();
    static LayerColor* create(const Color4B& color);
    static LayerColor* create(const Color4B& color, float width, float height);

    bool init() override;
    bool initWithColor(const Color4B& color);
    bool initWithColor(const Color4B& color, float width, float height);

    void setBlendFunc(const BlendFunc& blend) {
        if (blend == _blendFunc)
            return;
        _blendFunc = blend;
        markStale();
    }
    const BlendFunc& getBlendFunc() const { return _blendFunc; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

  protected:
    LayerColor() = default;

    BlendFunc _blendFunc = BlendFunc::ALPHA_NON_PREMULTIPLIED;
    V2F_C4B_T2F _vertices[6];
    TrianglesCommand _command;
};

}  // namespace engine
