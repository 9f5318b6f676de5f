// What the render tests share: colours, a solid texture, a clipping layer and the fixture.
#pragma once

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Layer.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/base/Utils.h"
#include "engine/platform/Application.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/GLProgramState.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"
#include "tests/engine/EngineTestSupport.h"

namespace rendertest {

using namespace engine;
using namespace enginetest;

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

inline Texture2D* solidTexture(int w, int h, Color4B colour) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour.r;
        pixels[i + 1] = colour.g;
        pixels[i + 2] = colour.b;
        pixels[i + 3] = colour.a;
    }
    auto* texture = new Texture2D();
    EXPECT_TRUE(texture->initWithData(pixels.data(), pixels.size(),
                                      Texture2D::PixelFormat::RGBA8888, w, h,
                                      Size(static_cast<float>(w), static_cast<float>(h))));
    texture->autorelease();
    return texture;
}

// A layer that clips its children to its rectangle, the way the view layers do.
class ClippedLayer : public Layer {
  public:
    CREATE_FUNC(ClippedLayer)
    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t flags) override {
        _begin.init(_globalZOrder);
        _begin.func = [this]() {
            glEnable(GL_SCISSOR_TEST);
            Director::getInstance()->getOpenGLView()->setScissorInPoints(
                _position.x, _position.y, _contentSize.width, _contentSize.height);
        };
        renderer->addCommand(&_begin);
        Layer::visit(renderer, parentTransform, flags);
        _end.init(_globalZOrder);
        _end.func = []() { glDisable(GL_SCISSOR_TEST); };
        renderer->addCommand(&_end);
    }

  private:
    CustomCommand _begin;
    CustomCommand _end;
};

class RenderTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        FileUtils::getInstance()->setDefaultResourceRootPath(scratchDirectory());
        FileUtils::getInstance()->setSearchPaths({""});
    }
};

}  // namespace rendertest
