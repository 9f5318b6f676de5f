#include "tests/engine-ui/UiTestSupport.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "engine/base/AutoreleasePool.h"
#include "engine/base/UserDefault.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"

namespace uitest {

using namespace engine;

namespace {

std::string& scratch() {
    static std::string path;
    return path;
}

// Mesa's software driver keeps some allocations only in its own globals and is unloaded when
// the window closes, after which LeakSanitizer would report them as leaks of ours. Pinning the
// driver in memory keeps them reachable. Missing libraries are simply skipped.
void keepGlDriverLoaded() {
    for (const char* library :
         {"libGLX_mesa.so.0", "libEGL_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
        dlopen(library, RTLD_LAZY | RTLD_NODELETE);
    }
}

class UiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // Without an X server SDL's offscreen driver gives an EGL context.
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        keepGlDriverLoaded();
        auto* view = GLViewImpl::createWithRect("engine_ui_tests", Rect(0, 0, kWidth, kHeight));
        ASSERT_NE(view, nullptr) << "no OpenGL 3.3 core context";
        Director::getInstance()->setOpenGLView(view);
        // Fonts come from the build tree's resource root, as the program finds them.
        FileUtils::getInstance()->setDefaultResourceRootPath(UI_TEST_RESOURCE_ROOT);
        FileUtils::getInstance()->setSearchPaths({"res", ""});
    }
    void TearDown() override {
        Director::destroyInstance();
        FileUtils::destroyInstance();
        UserDefault::destroyInstance();
        if (!scratch().empty())
            std::filesystem::remove_all(scratch());
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment());

std::string scratchDirectory() {
    if (scratch().empty()) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "engine_ui_tests_XXXXXX").string();
        std::vector<char> buffer(tmpl.begin(), tmpl.end());
        buffer.push_back('\0');
        const char* made = mkdtemp(buffer.data());
        scratch() = made ? std::string(made) + "/" : std::string("/tmp/");
    }
    return scratch();
}

}  // namespace

void UiTest::SetUp() {
    ASSERT_NE(Director::getInstance()->getOpenGLView(), nullptr);
    scene = Scene::create();
    if (Director::getInstance()->getRunningScene()) {
        Director::getInstance()->replaceScene(scene);
        step(1, 0);
    } else {
        Director::getInstance()->runWithScene(scene);
    }
}

void UiTest::TearDown() {
    Director::getInstance()->getOpenGLView()->cancelAllTouches();
    AutoreleasePool::getInstance()->clear();
}

Image UiTest::renderFrame(float dt) {
    Image image;
    Director::getInstance()->addAfterDrawCallback(
        [&image]() { utils::captureFramebuffer(&image); });
    Director::getInstance()->mainLoop(dt);
    EXPECT_EQ(image.getWidth(), kWidth);
    EXPECT_EQ(image.getHeight(), kHeight);
    return image;
}

void UiTest::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        Director::getInstance()->mainLoop(dt);
}

void UiTest::touchBegan(intptr_t id, float x, float y) {
    float wy = kHeight - y;
    Director::getInstance()->getOpenGLView()->handleTouchesBegin(1, &id, &x, &wy);
}
void UiTest::touchMoved(intptr_t id, float x, float y) {
    float wy = kHeight - y;
    Director::getInstance()->getOpenGLView()->handleTouchesMove(1, &id, &x, &wy);
}
void UiTest::touchEnded(intptr_t id, float x, float y) {
    float wy = kHeight - y;
    Director::getInstance()->getOpenGLView()->handleTouchesEnd(1, &id, &x, &wy);
}
void UiTest::touchCancelled(intptr_t id, float x, float y) {
    float wy = kHeight - y;
    Director::getInstance()->getOpenGLView()->handleTouchesCancel(1, &id, &x, &wy);
}
void UiTest::tap(float x, float y) {
    touchBegan(0, x, y);
    touchEnded(0, x, y);
}

Rgb pixelAt(const Image& image, int x, int y) {
    int row = image.getHeight() - 1 - y;
    if (x < 0 || y < 0 || x >= image.getWidth() || row < 0)
        return {0, 0, 0};
    const unsigned char* p =
        image.getData() + (static_cast<size_t>(row) * image.getWidth() + x) * 4;
    return {p[0], p[1], p[2]};
}

int countColour(const Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (pixelAt(image, x, y) == colour)
                ++count;
        }
    }
    return count;
}

std::string writePng(const std::string& name, int w, int h,
                     const std::function<Rgb(int x, int y)>& paint) {
    return writeRgbaPng(name, w, h, [&paint](int x, int y, uint8_t rgba[4]) {
        Rgb c = paint(x, y);
        rgba[0] = c.r;
        rgba[1] = c.g;
        rgba[2] = c.b;
        rgba[3] = 255;
    });
}

std::string writeRgbaPng(const std::string& name, int w, int h,
                         const std::function<void(int x, int y, uint8_t rgba[4])>& paint) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            paint(x, y, &pixels[(static_cast<size_t>(y) * w + x) * 4]);
    }
    Image image;
    image.initWithRawData(pixels.data(), pixels.size(), w, h, false);
    std::string path = scratchDirectory() + name;
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

std::string writeSolidPng(const std::string& name, int w, int h, Rgb colour) {
    return writePng(name, w, h, [colour](int, int) { return colour; });
}

}  // namespace uitest
