// Screen captures, design resolution, window life cycle, translucent pictures and label alignment,
// drawn into the real framebuffer and checked pixel by pixel.
#include "tests/engine/RenderTestSupport.h"

using namespace engine;
using namespace enginetest;
using namespace rendertest;

namespace {

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
