#include "tests/app/AppTestSupport.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "engine/base/AutoreleasePool.h"
#include "engine/base/Director.h"
#include "engine/base/UserDefault.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"

namespace apptest {

using namespace engine;

namespace {

std::string& scratch() {
    static std::string path;
    return path;
}

class AppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        // Keep the GL drivers mapped after SDL closes them, so that leak reports from inside
        // Mesa carry symbols and the engine's driver suppressions can match them.
        for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
        }
        // Never touch the user's own store.
        std::string tmpl = (std::filesystem::temp_directory_path() / "app_tests_XXXXXX").string();
        if (const char* made = mkdtemp(tmpl.data()))
            scratch() = made;
        setenv("XDG_DATA_HOME", scratch().c_str(), 1);
        FileUtils::getInstance()->setDefaultResourceRootPath(APP_TEST_RESOURCE_ROOT);
        FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
        auto* view = GLViewImpl::createWithRect("app_tests", Rect(0, 0, kWidth, kHeight));
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
    ::testing::AddGlobalTestEnvironment(new AppEnvironment());

}  // namespace

void AppGlTest::SetUp() {
    ASSERT_NE(Director::getInstance()->getOpenGLView(), nullptr);
    scene = Scene::create();
    if (Director::getInstance()->getRunningScene()) {
        Director::getInstance()->replaceScene(scene);
        step(1, 0);
    } else {
        Director::getInstance()->runWithScene(scene);
    }
}

void AppGlTest::TearDown() {
    Director::getInstance()->getOpenGLView()->cancelAllTouches();
    // The test's scene may read the fixture's members: it leaves the stage before they go.
    Director::getInstance()->replaceScene(Scene::create());
    step(1, 0);
    AutoreleasePool::getInstance()->clear();
}

Image AppGlTest::renderFrame(float dt) {
    Image image;
    Director::getInstance()->addAfterDrawCallback(
        [&image]() { utils::captureFramebuffer(&image); });
    Director::getInstance()->mainLoop(dt);
    EXPECT_EQ(image.getWidth(), kWidth);
    EXPECT_EQ(image.getHeight(), kHeight);
    return image;
}

void AppGlTest::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        Director::getInstance()->mainLoop(dt);
}

void AppGlTest::touch(const char* phase, float x, float yFromBottom) {
    GLView* view = Director::getInstance()->getOpenGLView();
    intptr_t id = 1;
    float y = kHeight - yFromBottom;
    const std::string p = phase;
    if (p == "began")
        view->handleTouchesBegin(1, &id, &x, &y);
    else if (p == "ended")
        view->handleTouchesEnd(1, &id, &x, &y);
}

Rgb pixelAt(const Image& image, int x, int y) {
    const int row = image.getHeight() - 1 - y;
    if (x < 0 || y < 0 || x >= image.getWidth() || row < 0)
        return {-1, -1, -1};
    const unsigned char* p =
        image.getData() + (static_cast<size_t>(row) * image.getWidth() + x) * 4;
    return {p[0], p[1], p[2]};
}

int countLit(const Image& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += !(pixelAt(image, x, y) == Rgb{0, 0, 0});
    return count;
}

}  // namespace apptest
