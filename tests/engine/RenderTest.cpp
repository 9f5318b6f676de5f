// Scenes drawn into the real framebuffer and checked pixel by pixel.
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

using namespace engine;
using namespace enginetest;

namespace {

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

Texture2D* solidTexture(int w, int h, Color4B colour) {
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

TEST_F(RenderTest, EmptySceneClearsToBlackAndLayerColorFillsItsRectangle) {
    Image empty = renderFrame();
    EXPECT_EQ(countNot(empty, 0, 0, kWidth, kHeight, kBlack), 0);

    auto* layer = LayerColor::create(Color4B(255, 0, 0, 255), 40, 30);
    layer->setPosition(10, 20);
    scene->addChild(layer);
    Image image = renderFrame();
    EXPECT_EQ(countNot(image, 10, 20, 50, 50, kRed), 0);
    EXPECT_EQ(pixelAt(image, 9, 25), kBlack);
    EXPECT_EQ(pixelAt(image, 50, 25), kBlack);
    EXPECT_EQ(pixelAt(image, 20, 19), kBlack);
    EXPECT_EQ(pixelAt(image, 20, 50), kBlack);
}

TEST_F(RenderTest, SpritesFollowAnchorScaleAndTextureRectangle) {
    writeQuadrantPng("quad.png", 20, 20);

    auto* corner = Sprite::create("quad.png");
    ASSERT_NE(corner, nullptr);
    corner->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    corner->setPosition(10, 10);
    scene->addChild(corner);

    auto* centred = Sprite::create("quad.png");  // default anchor is the middle
    centred->setPosition(80, 60);
    scene->addChild(centred);

    auto* mirrored = Sprite::create("quad.png");
    mirrored->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    mirrored->setPosition(50, 10);
    mirrored->setScaleX(-1);  // extends to the left of its position
    scene->addChild(mirrored);

    // Top-right quarter of the picture (image coordinates have their origin at the top-left).
    auto* quarter = Sprite::createWithTexture(corner->getTexture(), Rect(10, 0, 10, 10));
    quarter->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    quarter->setPosition(100, 100);
    scene->addChild(quarter);

    auto* upsideDown = Sprite::create("quad.png");
    upsideDown->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    upsideDown->setPosition(120, 10);
    upsideDown->setScaleY(-1);  // extends below its position
    upsideDown->setPositionY(30);
    scene->addChild(upsideDown);

    Image image = renderFrame();
    EXPECT_EQ(countNot(image, 10, 20, 20, 30, kRed), 0);
    EXPECT_EQ(countNot(image, 20, 20, 30, 30, kGreen), 0);
    EXPECT_EQ(countNot(image, 10, 10, 20, 20, kBlue), 0);
    EXPECT_EQ(countNot(image, 20, 10, 30, 20, kWhite), 0);
    EXPECT_EQ(pixelAt(image, 9, 15), kBlack);

    EXPECT_EQ(countNot(image, 70, 60, 80, 70, kRed), 0);
    EXPECT_EQ(countNot(image, 80, 50, 90, 60, kWhite), 0);
    EXPECT_EQ(pixelAt(image, 69, 55), kBlack);
    EXPECT_EQ(pixelAt(image, 90, 55), kBlack);

    EXPECT_EQ(countNot(image, 40, 20, 50, 30, kRed), 0);
    EXPECT_EQ(countNot(image, 30, 20, 40, 30, kGreen), 0);
    EXPECT_EQ(countNot(image, 30, 10, 40, 20, kWhite), 0);
    EXPECT_EQ(pixelAt(image, 50, 15), kBlack);

    EXPECT_EQ(countNot(image, 100, 100, 110, 110, kGreen), 0);
    EXPECT_EQ(pixelAt(image, 110, 105), kBlack);

    EXPECT_EQ(countNot(image, 120, 10, 130, 20, kRed), 0);
    EXPECT_EQ(countNot(image, 120, 20, 130, 30, kBlue), 0);
}

TEST_F(RenderTest, DrawNodeLinesAndRectanglesLandOnExactPixels) {
    auto* node = DrawNode::create(2);
    node->drawLine(Vec2(40, 10), Vec2(40, 110), Color4F(1, 0, 0, 1));
    node->drawLine(Vec2(60, 20), Vec2(150, 20), Color4F(0, 1, 0, 1));
    node->drawSolidRect(Vec2(100, 50), Vec2(120, 70), Color4F(0, 0, 1, 1));
    node->drawRect(Vec2(2, 2), Vec2(158, 118), Color4F(1, 1, 1, 1));
    scene->addChild(node);
    Image image = renderFrame();

    // A 2-unit line on x = 40 covers the pixel columns 39 and 40.
    EXPECT_EQ(countNot(image, 39, 10, 41, 110, kRed), 0);
    EXPECT_EQ(pixelAt(image, 38, 60), kBlack);
    EXPECT_EQ(pixelAt(image, 41, 60), kBlack);
    EXPECT_EQ(countNot(image, 60, 19, 150, 21, kGreen), 0);
    EXPECT_EQ(pixelAt(image, 100, 18), kBlack);
    EXPECT_EQ(pixelAt(image, 100, 21), kBlack);
    EXPECT_EQ(countNot(image, 100, 50, 120, 70, kBlue), 0);
    EXPECT_EQ(pixelAt(image, 99, 60), kBlack);
    EXPECT_EQ(pixelAt(image, 120, 60), kBlack);
    EXPECT_EQ(countNot(image, 1, 1, 3, 119, kWhite), 0);  // the frame's left side
    EXPECT_EQ(pixelAt(image, 3, 60), kBlack);

    // Clearing and refilling replaces the geometry.
    node->clear();
    node->drawPoints(std::vector<Vec2>{{20.5f, 20.5f}}.data(), 1, 1, Color4F(1, 1, 0, 1));
    Image refilled = renderFrame();
    EXPECT_EQ(pixelAt(refilled, 40, 60), kBlack);
    EXPECT_EQ(pixelAt(refilled, 20, 20), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(countNot(refilled, 0, 0, kWidth, kHeight, kBlack), 1);
}

TEST_F(RenderTest, DrawNodePolylinesPolygonsAndEllipses) {
    auto* node = DrawNode::create(2);
    const Vec2 zigzag[] = {{10, 10}, {30, 10}, {30, 30}};
    node->drawPoly(zigzag, 3, false, Color4F(1, 0, 0, 1));
    const Vec2 triangle[] = {{60, 10}, {100, 10}, {60, 50}};
    node->drawPolygon(triangle, 3, Color4F(0, 0, 1, 1), 0, Color4F(0, 0, 0, 0));
    // An ellipse twice as tall as wide: outline points at (130 +- 10, 60) and (130, 60 +- 20).
    node->drawCircle(Vec2(130, 60), 10, 0, 40, false, 1, 2, Color4F(0, 1, 0, 1));
    scene->addChild(node);
    Image image = renderFrame();

    EXPECT_EQ(pixelAt(image, 20, 10), kRed);
    EXPECT_EQ(pixelAt(image, 30, 20), kRed);
    EXPECT_EQ(pixelAt(image, 15, 25), kBlack);  // open: no closing side
    EXPECT_EQ(pixelAt(image, 65, 15), kBlue);
    EXPECT_EQ(pixelAt(image, 95, 45), kBlack);
    EXPECT_EQ(pixelAt(image, 130, 79), kGreen);
    EXPECT_EQ(pixelAt(image, 139, 60), kGreen);
    EXPECT_EQ(pixelAt(image, 130, 60), kBlack);
    EXPECT_EQ(pixelAt(image, 130, 85), kBlack);
}

TEST_F(RenderTest, ScissorCommandsClipChildrenToTheLayer) {
    auto* clipped = ClippedLayer::create();
    clipped->setContentSize(Size(40, 30));
    clipped->setPosition(20, 30);
    auto* fill = DrawNode::create();
    fill->drawSolidRect(Vec2(-100, -100), Vec2(300, 300), Color4F(1, 0, 0, 1));
    clipped->addChild(fill);
    scene->addChild(clipped);
    auto* after = LayerColor::create(Color4B(0, 0, 255, 255), 10, 10);
    after->setPosition(0, 0);
    scene->addChild(after);  // drawn after the clip ends, so not clipped

    Image image = renderFrame();
    EXPECT_EQ(countNot(image, 20, 30, 60, 60, kRed), 0);
    EXPECT_EQ(countNot(image, 60, 0, kWidth, kHeight, kBlack), 0);
    EXPECT_EQ(countNot(image, 10, 60, 60, kHeight, kBlack), 0);
    EXPECT_EQ(countNot(image, 0, 0, 10, 10, kBlue), 0);
}

TEST_F(RenderTest, ZOrderAndCascadingOpacity) {
    auto* red = LayerColor::create(Color4B(255, 0, 0, 255), 40, 40);
    auto* blue = LayerColor::create(Color4B(0, 0, 255, 255), 40, 40);
    red->setPosition(10, 10);
    blue->setPosition(30, 30);
    scene->addChild(red, 1);
    scene->addChild(blue, 0);  // added later but lower local Z: underneath
    Image image = renderFrame();
    EXPECT_EQ(pixelAt(image, 40, 40), kRed);

    blue->setGlobalZOrder(1);  // global Z beats the scene-graph order
    image = renderFrame();
    EXPECT_EQ(pixelAt(image, 40, 40), kBlue);

    auto* parent = Layer::create();
    parent->setCascadeOpacityEnabled(true);
    parent->setOpacity(128);
    auto* grey = LayerColor::create(Color4B(255, 255, 255, 255), 20, 20);
    grey->setPosition(100, 80);
    parent->addChild(grey);
    scene->addChild(parent);
    auto* plain = Layer::create();
    plain->setOpacity(128);  // no cascade: children stay opaque
    auto* full = LayerColor::create(Color4B(255, 255, 255, 255), 20, 20);
    full->setPosition(130, 80);
    plain->addChild(full);
    scene->addChild(plain);

    image = renderFrame();
    Rgba half = pixelAt(image, 110, 90);
    EXPECT_NEAR(half.r, 128, 1);
    EXPECT_EQ(pixelAt(image, 140, 90), kWhite);

    parent->setVisible(false);
    image = renderFrame();
    EXPECT_EQ(pixelAt(image, 110, 90), kBlack);
}

TEST_F(RenderTest, BlendFunctionsForStraightAndPremultipliedAlpha) {
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255), kWidth, kHeight));
    Texture2D* halfRed = solidTexture(8, 8, Color4B(255, 0, 0, 128));
    auto* straight = Sprite::createWithTexture(halfRed);
    straight->setPosition(20, 20);
    scene->addChild(straight);
    auto* asPremultiplied = Sprite::createWithTexture(halfRed);
    asPremultiplied->setBlendFunc(BlendFunc::ALPHA_PREMULTIPLIED);
    asPremultiplied->setPosition(60, 20);
    scene->addChild(asPremultiplied);
    auto* tinted = Sprite::createWithTexture(solidTexture(8, 8, Color4B(255, 255, 255, 255)));
    tinted->setColor(Color3B(255, 0, 255));
    tinted->setOpacity(255);
    tinted->setPosition(100, 20);
    scene->addChild(tinted);

    Image image = renderFrame();
    Rgba a = pixelAt(image, 20, 20);
    EXPECT_NEAR(a.r, 128, 1);
    EXPECT_NEAR(a.b, 127, 1);
    Rgba b = pixelAt(image, 60, 20);
    EXPECT_EQ(b.r, 255);  // source taken as already multiplied
    EXPECT_NEAR(b.b, 127, 1);
    EXPECT_EQ(pixelAt(image, 100, 20), (Rgba{255, 0, 255, 255}));
}

TEST_F(RenderTest, TextureRegionUpdatesAndFiltering) {
    Texture2D* texture = solidTexture(4, 4, Color4B(0, 0, 0, 255));
    const unsigned char white[2 * 2 * 4] = {255, 255, 255, 255, 255, 255, 255, 255,
                                            255, 255, 255, 255, 255, 255, 255, 255};
    EXPECT_TRUE(texture->updateWithData(white, 2, 0, 2, 2));   // top-right 2 x 2
    EXPECT_FALSE(texture->updateWithData(white, 3, 3, 2, 2));  // would run off the texture
    texture->setAliasTexParameters();
    auto* sprite = Sprite::createWithTexture(texture);
    sprite->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    sprite->setScale(10);
    sprite->setPosition(0, 0);
    scene->addChild(sprite);

    Image image = renderFrame();
    EXPECT_EQ(countNot(image, 20, 20, 40, 40, kWhite), 0);
    EXPECT_EQ(countNot(image, 0, 0, 20, 40, kBlack), 0);
    EXPECT_EQ(countNot(image, 20, 0, 40, 20, kBlack), 0);

    texture->setAntiAliasTexParameters();
    image = renderFrame();
    Rgba edge = pixelAt(image, 20, 30);  // between a black and a white texel
    EXPECT_GT(edge.r, 0);
    EXPECT_LT(edge.r, 255);
}

TEST_F(RenderTest, LabelsDrawTheirTextWhereTheyArePlaced) {
    auto* label = Label::createWithTTF("Tarno 42", "fonts/roboto/Roboto-Regular.ttf", 16);
    if (!label) {
        // The font is resolved through the build tree's resource root.
        FileUtils::getInstance()->setDefaultResourceRootPath(ENGINE_TEST_RESOURCE_ROOT);
        FileUtils::getInstance()->setSearchPaths({"res", ""});
        label = Label::createWithTTF("Tarno 42", "fonts/roboto/Roboto-Regular.ttf", 16);
    }
    ASSERT_NE(label, nullptr);
    label->setTextColor(Color4B(255, 0, 0, 255));
    label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    label->setPosition(20, 60);
    scene->addChild(label);
    Size size = label->getContentSize();
    EXPECT_GT(size.width, 40);
    EXPECT_LT(size.width, 100);
    EXPECT_NEAR(size.height, 19, 2);

    Image image = renderFrame();
    int x1 = 20 + static_cast<int>(size.width);
    int y0 = 60 - static_cast<int>(size.height / 2),
        y1 = 60 + static_cast<int>(size.height / 2) + 1;
    int inside = countNot(image, 20, y0, x1, y1, kBlack);
    EXPECT_GT(inside, 60);
    EXPECT_EQ(countNot(image, 0, 0, kWidth, kHeight, kBlack), inside);
    for (int y = y0; y < y1; ++y) {
        for (int x = 20; x < x1; ++x) {
            Rgba c = pixelAt(image, x, y);
            ASSERT_EQ(c.g, 0);
            ASSERT_EQ(c.b, 0);
        }
    }

    label->setOpacity(0);
    image = renderFrame();
    EXPECT_EQ(countNot(image, 0, 0, kWidth, kHeight, kBlack), 0);
}

TEST_F(RenderTest, LabelMeasuresLinesAndUnitSymbols) {
    FileUtils::getInstance()->setDefaultResourceRootPath(ENGINE_TEST_RESOURCE_ROOT);
    FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
    auto* narrow = Label::createWithTTF("iiii", "fonts/roboto/Roboto-Regular.ttf", 20);
    auto* wide = Label::createWithTTF("WWWW", "fonts/roboto/Roboto-Regular.ttf", 20);
    auto* twoLines = Label::createWithTTF("PEAKS \n(HORZ):", "fonts/roboto/Roboto-Regular.ttf", 20);
    auto* symbols = Label::createWithTTF("µ μ Δ ° ∞", "fonts/roboto/Roboto-Bold.ttf", 20);
    ASSERT_TRUE(narrow && wide && twoLines && symbols);
    EXPECT_GT(wide->getContentSize().width, 2 * narrow->getContentSize().width);
    EXPECT_EQ(twoLines->getStringNumLines(), 2);
    EXPECT_FLOAT_EQ(twoLines->getContentSize().height, 2 * twoLines->getLineHeight());
    EXPECT_EQ(narrow->getContentSize().height, twoLines->getLineHeight());

    // Every symbol has a real glyph, so each draws ink of its own.
    symbols->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    symbols->setPosition(5, 40);
    scene->addChild(symbols);
    Image image = renderFrame();
    for (const char* s : {"µ", "μ", "Δ", "°", "∞"}) {
        auto* one = Label::createWithTTF(s, "fonts/roboto/Roboto-Bold.ttf", 20);
        ASSERT_NE(one, nullptr);
        EXPECT_GT(one->getContentSize().width, 5) << s;
    }
    EXPECT_GT(countNot(image, 0, 40, kWidth, 70, kBlack), 100);

    std::u32string decoded = Label::decodeUtf8("µΔ\xff\xe2\x88");
    EXPECT_EQ(decoded, (std::u32string{0xB5, 0x394, 0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(Label::decodeUtf8("\xc0\xaf"), (std::u32string{0xFFFD, 0xFFFD}));  // overlong
}

TEST_F(RenderTest, RawGlWithTheUniformColourProgram) {
    // What a layer with its own line shader does: a custom command with the node's transform.
    class RawLayer : public Layer {
      public:
        CREATE_FUNC(RawLayer)
        void draw(Renderer* renderer, const Mat4& transform, uint32_t) override {
            _command.init(_globalZOrder);
            _command.func = [this, transform]() {
                GLProgram* program = GLProgramCache::getInstance()->getGLProgram(
                    GLProgram::SHADER_NAME_POSITION_U_COLOR);
                program->use();
                program->setUniformsForBuiltins(transform);
                program->setUniformLocationWith4f(program->getUniformLocation("u_color"), 0, 1, 0,
                                                  1);
                program->setUniformLocationWith1f(program->getUniformLocation("u_pointSize"), 3);
                const Vec2 quad[] = {{0, 0}, {10, 0}, {10, 10}, {0, 0}, {10, 10}, {0, 10}};
                GL::drawPositions(GL_TRIANGLES, quad, 6);
                const Vec2 point[] = {{30.5f, 5.5f}};
                GL::drawPositions(GL_POINTS, point, 1);
            };
            renderer->addCommand(&_command);
        }

      private:
        CustomCommand _command;
    };
    auto* layer = RawLayer::create();
    layer->setPosition(50, 50);
    scene->addChild(layer);
    auto* after = LayerColor::create(Color4B(255, 0, 0, 255), 5, 5);  // state restored after
    scene->addChild(after);
    Image image = renderFrame();
    EXPECT_EQ(countNot(image, 50, 50, 60, 60, kGreen), 0);
    EXPECT_EQ(countNot(image, 79, 54, 82, 57, kGreen), 0);
    EXPECT_EQ(pixelAt(image, 83, 55), kBlack);
    EXPECT_EQ(countNot(image, 0, 0, 5, 5, kRed), 0);
}

TEST_F(RenderTest, ProgramStateUniformsAndExtraTexture) {
    const char* vertex =
        "in vec4 a_position; in vec2 a_texCoord; out vec2 v_texCoord;\n"
        "void main() { gl_Position = CC_MVPMatrix * a_position; v_texCoord = a_texCoord; }\n";
    const char* fragment =
        "in vec2 v_texCoord; uniform vec4 u_tint; uniform vec2 textureSize; uniform sampler2D "
        "u_second; out vec4 fragColor;\n"
        "void main() { fragColor = vec4(u_tint.r, texture(u_second, v_texCoord).g, "
        "textureSize.x / 255.0, 1.0); }\n";
    GLProgram* program = GLProgram::createWithByteArrays(vertex, fragment);
    ASSERT_NE(program, nullptr);
    GLProgramCache::getInstance()->addGLProgram(program, "TestTint");
    EXPECT_EQ(GLProgramCache::getInstance()->getGLProgram("TestTint"), program);

    auto* state = GLProgramState::create(program);
    state->setUniformVec4("u_tint", Vec4(1, 0, 0, 1));
    state->setUniformVec2("textureSize", Vec2(64, 0));
    state->setUniformTexture("u_second", solidTexture(2, 2, Color4B(0, 255, 0, 255)));
    auto* sprite = Sprite::createWithTexture(solidTexture(10, 10, Color4B(0, 0, 0, 255)));
    sprite->setGLProgramState(state);
    sprite->setPosition(20, 20);
    scene->addChild(sprite);
    Image image = renderFrame();
    Rgba c = pixelAt(image, 20, 20);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 255);
    EXPECT_NEAR(c.b, 64, 1);

    EXPECT_EQ(GLProgram::createWithByteArrays(vertex, "this is not GLSL"), nullptr);
}

TEST_F(RenderTest, ScreenCaptureWritesWhatWasDrawn) {
    auto* layer = LayerColor::create(Color4B(0, 255, 0, 255), 30, 20);
    layer->setPosition(5, 7);
    scene->addChild(layer);
    std::string path = scratchDirectory() + "capture.png";
    bool done = false, succeeded = false;
    utils::captureScreen(
        [&](bool ok, const std::string& file) {
            done = true;
            succeeded = ok;
            EXPECT_EQ(file, path);
        },
        path);
    renderFrame();
    ASSERT_TRUE(done);
    EXPECT_TRUE(succeeded);
    Image saved;
    ASSERT_TRUE(saved.initWithImageFile(path));
    ASSERT_EQ(saved.getWidth(), kWidth);
    EXPECT_EQ(pixelAt(saved, 10, 10), kGreen);
    EXPECT_EQ(pixelAt(saved, 4, 10), kBlack);
    EXPECT_EQ(pixelAt(saved, 10, 27), kBlack);
}

TEST_F(RenderTest, ScreenCapturesNeverOverwriteNorFollowALink) {
    const std::string dir = scratchDirectory();
    const std::string target = dir + "someone-elses.txt";
    std::ofstream(target) << "keep me";
    ASSERT_EQ(symlink(target.c_str(), (dir + "shot.png").c_str()), 0);
    std::vector<std::string> written;
    for (int i = 0; i < 2; ++i) {
        utils::captureScreen(
            [&](bool ok, const std::string& file) {
                EXPECT_TRUE(ok) << file;
                written.push_back(file);
            },
            dir + "shot.png");
    }
    renderFrame();
    EXPECT_EQ(written, (std::vector<std::string>{dir + "shot_2.png", dir + "shot_3.png"}));
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me");
    Image saved;
    EXPECT_TRUE(saved.initWithImageFile(dir + "shot_3.png"));

    // A folder that cannot take the file: the reason reaches the callback.
    std::string failure;
    utils::captureScreen([&](bool ok, const std::string& file) { failure = ok ? "" : file; },
                         dir + "missing/shot.png");
    renderFrame();
    EXPECT_EQ(failure, dir + "missing/shot.png: No such file or directory");
}

}  // namespace

namespace {

TEST_F(RenderTest, DesignResolutionScalesDrawingScissorAndTouches) {
    GLView* view = Director::getInstance()->getOpenGLView();
    view->setDesignResolutionSize(kWidth / 2, kHeight / 2, ResolutionPolicy::EXACT_FIT);
    EXPECT_EQ(Director::getInstance()->getWinSize(), Size(kWidth / 2, kHeight / 2));
    auto* clipped = ClippedLayer::create();
    clipped->setContentSize(Size(10, 10));
    clipped->setPosition(10, 10);
    auto* fill = LayerColor::create(Color4B(0, 255, 0, 255), 50, 50);
    clipped->addChild(fill);
    scene->addChild(clipped);
    Image image = renderFrame();
    // 10 design units are 20 pixels; the scissor follows the same mapping.
    EXPECT_EQ(countNot(image, 20, 20, 40, 40, kGreen), 0);
    EXPECT_EQ(countNot(image, 0, 0, kWidth, 20, kBlack), 0);
    EXPECT_EQ(countNot(image, 40, 0, kWidth, kHeight, kBlack), 0);

    Vec2 seen;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&](Touch* t, Event*) {
        seen = t->getLocation();
        return false;
    };
    scene->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, scene);
    const intptr_t id = 5;
    const float x = 40, y = kHeight - 20;  // window point (40, 20 from the bottom)
    view->handleTouchesBegin(1, &id, &x, &y);
    EXPECT_EQ(seen, Vec2(20, 10));

    view->setDesignResolutionSize(0, 0, ResolutionPolicy::UNKNOWN);
    EXPECT_EQ(Director::getInstance()->getWinSize(), Size(kWidth, kHeight));
    renderFrame();  // the projection returns to one unit per pixel
    Image back = renderFrame();
    EXPECT_EQ(countNot(back, 10, 10, 20, 20, kGreen), 0);
    EXPECT_EQ(pixelAt(back, 20, 20), kBlack);
}

class BackgroundRecorder : public Application {
  public:
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override { events.push_back("background"); }
    void applicationWillEnterForeground() override { events.push_back("foreground"); }
    std::vector<std::string> events;
};

TEST_F(RenderTest, MinimisingAndRestoringTheWindowReachTheApplication) {
    BackgroundRecorder app;
    ASSERT_EQ(Application::getInstance(), &app);
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_MINIMIZED;
    Director::getInstance()->getOpenGLView()->handleEvent(e);
    e.window.event = SDL_WINDOWEVENT_RESTORED;
    Director::getInstance()->getOpenGLView()->handleEvent(e);
    EXPECT_EQ(app.events, (std::vector<std::string>{"background", "foreground"}));
}

}  // namespace

namespace {

TEST_F(RenderTest, TranslucentPngsArePremultipliedAndNodesFade) {
    // 50 % alpha red written as straight alpha in the file.
    std::vector<unsigned char> pixels(4 * 4 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 255;
        pixels[i + 3] = 128;
    }
    Image file;
    ASSERT_TRUE(file.initWithRawData(pixels.data(), pixels.size(), 4, 4, false));
    ASSERT_TRUE(file.saveToFile(scratchDirectory() + "half.png"));
    auto* sprite = Sprite::create("half.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(sprite->getTexture()->hasPremultipliedAlpha());
    sprite->setPosition(20, 20);
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255), kWidth, kHeight), -1);
    scene->addChild(sprite);

    auto* node = DrawNode::create();
    node->drawSolidRect(Vec2(60, 10), Vec2(80, 30), Color4F(1, 1, 1, 1));
    node->setOpacity(64);
    scene->addChild(node);

    Image image = renderFrame();
    Rgba p = pixelAt(image, 20, 20);
    EXPECT_NEAR(p.r, 128, 1);
    EXPECT_NEAR(p.b, 127, 1);
    Rgba faded = pixelAt(image, 70, 20);
    EXPECT_NEAR(faded.r, 64, 1);
    EXPECT_NEAR(faded.b, 255, 1);

    // Missing and broken files give no sprite rather than a crash or an empty one.
    EXPECT_EQ(Sprite::create("missing.png"), nullptr);
    FileUtils::getInstance()->writeDataToFile(Data(pixels.data(), 16),
                                              scratchDirectory() + "bad.png");
    EXPECT_EQ(Sprite::create("bad.png"), nullptr);
}

TEST_F(RenderTest, LabelAlignmentInsideFixedDimensions) {
    FileUtils::getInstance()->setDefaultResourceRootPath(ENGINE_TEST_RESOURCE_ROOT);
    FileUtils::getInstance()->setSearchPaths({"res", ""});
    auto* right = Label::createWithTTF("I\nIIII", "fonts/roboto/Roboto-Bold.ttf", 20, Size(100, 60),
                                       TextHAlignment::RIGHT);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->getContentSize(), Size(100, 60));
    right->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    right->setPosition(10, 10);
    scene->addChild(right);
    Image image = renderFrame();
    // Both lines end at the right edge, so the longer second line starts further left.
    int rowHeight = static_cast<int>(right->getLineHeight());
    auto leftmostInk = [&](int y0, int y1) {
        for (int x = 0; x < kWidth; ++x) {
            if (countNot(image, x, y0, x + 1, y1, kBlack) > 0)
                return x;
        }
        return -1;
    };
    auto rightmostInk = [&](int y0, int y1) {
        for (int x = kWidth - 1; x >= 0; --x) {
            if (countNot(image, x, y0, x + 1, y1, kBlack) > 0)
                return x;
        }
        return -1;
    };
    int first = leftmostInk(70 - rowHeight, 70),
        second = leftmostInk(70 - 2 * rowHeight, 70 - rowHeight);
    EXPECT_GT(first, 90);
    EXPECT_LT(second, first - 8);
    EXPECT_GE(rightmostInk(70 - rowHeight, 70), 104);
    EXPECT_LT(rightmostInk(70 - rowHeight, 70), 110);
    EXPECT_NEAR(rightmostInk(70 - 2 * rowHeight, 70 - rowHeight), rightmostInk(70 - rowHeight, 70),
                1);
    EXPECT_EQ(countNot(image, 0, 0, 10, kHeight, kBlack), 0);
}

}  // namespace
