// Scenes drawn into the real framebuffer and checked pixel by pixel.
#include "tests/engine/RenderTestSupport.h"

using namespace engine;
using namespace enginetest;
using namespace rendertest;

namespace {

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

}  // namespace
