#include "tests/engine/EngineTestSupport.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "engine/base/AutoreleasePool.h"
#include "engine/base/UserDefault.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"

namespace enginetest {

using namespace engine;

namespace {

std::string& scratch() {
    static std::string path;
    return path;
}

class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // Without an X server (CI without Xvfb) SDL's offscreen driver gives an EGL context.
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        // Keep the GL drivers mapped after SDL closes them, so that leak reports from inside
        // Mesa carry symbols and the driver-only suppressions in lsan.supp can match them.
        for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
        }
        auto* view = GLViewImpl::createWithRect("engine_tests", Rect(0, 0, kWidth, kHeight));
        ASSERT_NE(view, nullptr) << "no OpenGL 3.3 core context";
        Director::getInstance()->setOpenGLView(view);
    }
    void TearDown() override {
        Director::destroyInstance();
        FileUtils::destroyInstance();
        UserDefault::destroyInstance();
        if (!scratch().empty())
            std::filesystem::remove_all(scratch());
    }
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment());

}  // namespace

void EngineTest::SetUp() {
    ASSERT_NE(Director::getInstance()->getOpenGLView(), nullptr);
    scene = Scene::create();
    if (Director::getInstance()->getRunningScene()) {
        Director::getInstance()->replaceScene(scene);
        step(1, 0);
    } else {
        Director::getInstance()->runWithScene(scene);
    }
}

void EngineTest::TearDown() {
    Director::getInstance()->getOpenGLView()->cancelAllTouches();
    // Drop objects the test created but never attached.
    AutoreleasePool::getInstance()->clear();
}

Image EngineTest::renderFrame(float dt) {
    Image image;
    Director::getInstance()->addAfterDrawCallback(
        [&image]() { utils::captureFramebuffer(&image); });
    Director::getInstance()->mainLoop(dt);
    EXPECT_EQ(image.getWidth(), kWidth);
    EXPECT_EQ(image.getHeight(), kHeight);
    return image;
}

void EngineTest::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        Director::getInstance()->mainLoop(dt);
}

Rgba pixelAt(const Image& image, int x, int y) {
    int row = image.getHeight() - 1 - y;
    if (x < 0 || y < 0 || x >= image.getWidth() || row < 0)
        return {0, 0, 0, 0};
    const unsigned char* p =
        image.getData() + (static_cast<size_t>(row) * image.getWidth() + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

int countNot(const Image& image, int x0, int y0, int x1, int y1, Rgba colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!(pixelAt(image, x, y) == colour))
                ++count;
        }
    }
    return count;
}

std::string scratchDirectory() {
    if (scratch().empty()) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "engine_tests_XXXXXX").string();
        std::vector<char> buffer(tmpl.begin(), tmpl.end());
        buffer.push_back('\0');
        const char* made = mkdtemp(buffer.data());
        scratch() = made ? std::string(made) + "/" : std::string("/tmp/");
    }
    return scratch();
}

std::string writeQuadrantPng(const std::string& name, int w, int h) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bool right = x >= w / 2, bottom = y >= h / 2;
            unsigned char* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = (!bottom && !right) || (bottom && right) ? 255 : 0;
            p[1] = (!bottom && right) || (bottom && right) ? 255 : 0;
            p[2] = bottom ? 255 : 0;
            p[3] = 255;
        }
    }
    Image image;
    image.initWithRawData(pixels.data(), pixels.size(), w, h, false);
    std::string path = scratchDirectory() + name;
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

}  // namespace enginetest
