#include "tests/support/GlTestWindow.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/base/Director.h"
#include "engine/base/UserDefault.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"

namespace gltest {

namespace {

std::string& scratch() {
    static std::string path;
    return path;
}

class WindowEnvironment : public ::testing::Environment {
  public:
    explicit WindowEnvironment(WindowSetup setup) : setup_(std::move(setup)) {}

    void SetUp() override {
        using namespace engine;
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        // Keep the GL drivers mapped after SDL closes them, so that leak reports from inside
        // Mesa carry symbols and the driver suppressions can match them.
        for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
        }
        if (setup_.privateDataHome)
            setenv("XDG_DATA_HOME", scratchDirectory().c_str(), 1);
        if (!setup_.resourceRoot.empty()) {
            FileUtils::getInstance()->setDefaultResourceRootPath(setup_.resourceRoot);
            FileUtils::getInstance()->setSearchPaths(setup_.searchPaths);
        }
        auto* view = GLViewImpl::createWithRect(
            setup_.title,
            Rect(0, 0, static_cast<float>(setup_.width), static_cast<float>(setup_.height)));
        ASSERT_NE(view, nullptr) << "no OpenGL 3.3 core context";
        Director::getInstance()->setOpenGLView(view);
    }
    void TearDown() override {
        using namespace engine;
        Director::destroyInstance();
        FileUtils::destroyInstance();
        UserDefault::destroyInstance();
        if (!scratch().empty())
            std::filesystem::remove_all(scratch());
    }

  private:
    WindowSetup setup_;
};

}  // namespace

bool installWindow(const WindowSetup& setup) {
    ::testing::AddGlobalTestEnvironment(new WindowEnvironment(setup));
    return true;
}

std::string scratchDirectory() {
    if (scratch().empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarno_tests_XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        scratch() = made ? std::string(made) + "/" : std::string("/tmp/");
    }
    return scratch();
}

}  // namespace gltest
