// The application object on its own: it opens the window itself, so it runs in a program of its
// own (off screen without a display), with the store in a scratch XDG data directory.
#include "app/AppDelegate.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/base/Director.h"
#include "engine/base/UserDefault.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "menus/ScreenLog.h"
#include "model/SpectrumSettings.h"

namespace {

class AppDelegateTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        // Keep the GL drivers mapped so leak reports from inside them stay attributable.
        for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
            dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
        }
        scratch_ = std::filesystem::temp_directory_path() /
                   ("app_delegate_tests_" + std::to_string(getpid()));
        std::filesystem::create_directories(scratch_);
        setenv("XDG_DATA_HOME", scratch_.c_str(), 1);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(scratch_); }
    static inline std::filesystem::path scratch_;
};

TEST_F(AppDelegateTest, StartsOnAnEmptyStoreAndSavesInTheBackgroundAndAtTheEnd) {
    SpectrumSettings* model = SpectrumSettings::getInstance();
    AppDelegate app;
    app.initGLContextAttrs();
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    engine::Director* director = engine::Director::getInstance();

    // Window, frame rate, search paths, display class.
    ASSERT_NE(director->getOpenGLView(), nullptr);
    EXPECT_EQ(director->getOpenGLView()->getFrameSize().width, 960.f);
    EXPECT_EQ(director->getOpenGLView()->getFrameSize().height, 640.f);
    EXPECT_FLOAT_EQ(director->getAnimationInterval(), 1.f / 60.f);
    EXPECT_EQ(engine::FileUtils::getInstance()->getSearchPaths(),
              (std::vector<std::string>{"res/desktop/sd", "res", ""}));
    EXPECT_EQ(model->runtime.displayClass, 3);
    EXPECT_TRUE(engine::FileUtils::getInstance()->isFileExist("fonts/roboto/Roboto-Regular.ttf"));
    EXPECT_TRUE(std::filesystem::exists(scratch_ / "Tarno" / "settings.sqlite3"));

    // Defaults, and slot 0 written with store version 2 by the first load.
    EXPECT_EQ(model->graticule, SpectrumSettings::kGraticuleAll);
    EXPECT_EQ(model->common_settings.spectrumMode, 1);
    EXPECT_EQ(engine::UserDefault::getInstance()->getIntegerForKey("config0.version", -1), 2);

    // The log is the model's diagnostic sink; link and worker run.
    auto* log = dynamic_cast<ScreenLog*>(model->runtime.screenLog.load());
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->getLevelMask(), 31);
    EXPECT_EQ(log->getTimeoutMilliseconds(), 15000u);
    ASSERT_NE(app.getCommunication(), nullptr);
    EXPECT_TRUE(app.getCommunication()->isRunning());
    EXPECT_TRUE(app.getCommunicationDelegate()->workerRunning());
    director->mainLoop(1.f / 60.f);

    // Background: animation stops, slot 0 saved, no accessory so the link is not suspended.
    model->graticule = SpectrumSettings::kCrosshairs;
    app.applicationDidEnterBackground();
    EXPECT_FALSE(director->isAnimating());
    EXPECT_TRUE(model->runtime.inBackground);
    EXPECT_FALSE(app.getCommunication()->isSuspended());
    model->graticule = SpectrumSettings::kGraticuleAll;
    ASSERT_TRUE(model->loadConfiguration(0));
    EXPECT_EQ(model->graticule, SpectrumSettings::kCrosshairs);

    // Foreground always resumes the link.
    app.getCommunication()->setSuspended(true);
    app.applicationWillEnterForeground();
    EXPECT_TRUE(director->isAnimating());
    EXPECT_FALSE(model->runtime.inBackground);
    EXPECT_FALSE(app.getCommunication()->isSuspended());

    // The loop has ended: slot 0 is saved as at every entry into the background. The worker
    // still runs, but it only reads its published copy of the settings, never the model.
    model->graticule = SpectrumSettings::kCrosshairs;
    ASSERT_TRUE(model->saveConfiguration(0));
    model->graticule = SpectrumSettings::kGraticuleAll;
    app.applicationWillTerminate();
    model->graticule = SpectrumSettings::kCrosshairs;
    ASSERT_TRUE(model->loadConfiguration(0));
    EXPECT_EQ(model->graticule, SpectrumSettings::kGraticuleAll);

    // Orderly end: link, then worker, then the log leaves the model.
    app.shutdown();
    EXPECT_FALSE(app.getCommunication()->isRunning());
    EXPECT_FALSE(app.getCommunicationDelegate()->workerRunning());
    EXPECT_EQ(model->runtime.screenLog.load(), nullptr);
    engine::Director::destroyInstance();
}

}  // namespace
