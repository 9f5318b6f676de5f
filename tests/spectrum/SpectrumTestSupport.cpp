#include "tests/spectrum/SpectrumTestSupport.h"

#include <dlfcn.h>

#include <cstdlib>

#include "engine/base/AutoreleasePool.h"
#include "engine/base/Director.h"
#include "engine/base/UserDefault.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "engine/renderer/GLProgramCache.h"

namespace spectrumtest {

using namespace engine;

namespace {

class SpectrumEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // Without an X server SDL's offscreen driver gives an EGL context.
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        // Keep the GL drivers mapped after SDL closes them, so that the leak checker sees the
        // drivers' own allocations through them and the suppressions can match.
        for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
        }
        auto* view = GLViewImpl::createWithRect("spectrum_tests", Rect(0, 0, kWidth, kHeight));
        ASSERT_NE(view, nullptr) << "no OpenGL 3.3 core context";
        Director::getInstance()->setOpenGLView(view);
        FileUtils::getInstance()->setDefaultResourceRootPath(SPECTRUM_TEST_RESOURCE_ROOT);
        FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
    }
    void TearDown() override {
        Director::destroyInstance();
        FileUtils::destroyInstance();
        UserDefault::destroyInstance();
    }
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new SpectrumEnvironment());

}  // namespace

void SpectrumLayerTest::SetUp() {
    ASSERT_NE(Director::getInstance()->getOpenGLView(), nullptr);
    scene = Scene::create();
    if (Director::getInstance()->getRunningScene()) {
        Director::getInstance()->replaceScene(scene);
        step(1, 0);
    } else {
        Director::getInstance()->runWithScene(scene);
    }
}

void SpectrumLayerTest::TearDown() {
    // The layers of this test leave with its scene, before its model goes.
    Director::getInstance()->replaceScene(Scene::create());
    step(1, 0);
    AutoreleasePool::getInstance()->clear();
}

Image SpectrumLayerTest::renderFrame(float dt) {
    Image image;
    Director::getInstance()->addAfterDrawCallback(
        [&image]() { utils::captureFramebuffer(&image); });
    Director::getInstance()->mainLoop(dt);
    EXPECT_EQ(image.getWidth(), kWidth);
    EXPECT_EQ(image.getHeight(), kHeight);
    return image;
}

void SpectrumLayerTest::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        Director::getInstance()->mainLoop(dt);
}

Rgb pixelAt(const Image& image, int x, int y) {
    const int row = image.getHeight() - 1 - y;
    if (x < 0 || y < 0 || x >= image.getWidth() || row < 0)
        return {0, 0, 0};
    const unsigned char* p =
        image.getData() + (static_cast<size_t>(row) * image.getWidth() + x) * 4;
    return {p[0], p[1], p[2]};
}

int countLit(const Image& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!(pixelAt(image, x, y) == Rgb{0, 0, 0}))
                ++count;
        }
    }
    return count;
}

std::string snapshotPath(const std::string& name) {
    return name;
}

}  // namespace spectrumtest
