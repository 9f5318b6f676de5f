// Start-up on a store that cannot be written (a full disk) and holds an out-of-range value: the
// window loads the saved settings, shows both problems in its on-screen log, and at the end the
// user's file is exactly as it was. A program of its own: the store is opened once per process.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "engine/base/Director.h"
#include "menus/ScreenLog.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/FaultyVfs.h"

namespace {

std::vector<char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
}

size_t countContaining(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
        return line.find(text) != std::string::npos;
    }));
}

size_t occurrences(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++count;
    }
    return count;
}

TEST(StoreProblemsOnScreenTest, FullDiskAndBadValueAreShownAndTheFileIsKept) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // Keep the GL drivers mapped after SDL closes the display: unloaded, the driver takes the
    // globals that still point at its caches with it, and LeakSanitizer reports those caches as
    // leaks with stacks it cannot symbolise.
    for (const char* driver : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
                               "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
        dlopen(driver, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
    }
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("store_problems_" + std::to_string(getpid()));
    const std::filesystem::path path = scratch / "Tarno" / "settings.sqlite3";
    std::filesystem::create_directories(path.parent_path());
    setenv("XDG_DATA_HOME", scratch.c_str(), 1);
    {
        SpectrumSettings saved;
        saved.graticule = SpectrumSettings::kMajorGrid;
        saved.spectrum_settings.band = 99;
        SqliteKeyValueStore store(path.string());
        ASSERT_TRUE(ConfigurationStore(store).save(saved, 0));
    }
    const std::vector<char> original = readFile(path);

    FaultyVfs::install();
    FaultyVfs::fail(FaultyVfs::Operation::write, SQLITE_FULL);
    FaultyVfs::fail(FaultyVfs::Operation::shmMap, SQLITE_IOERR_SHMSIZE);
    testing::internal::CaptureStderr();
    SpectrumSettings* model = SpectrumSettings::getInstance();
    {
        AppDelegate app;
        app.initGLContextAttrs();
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        EXPECT_EQ(model->graticule, SpectrumSettings::kMajorGrid);
        EXPECT_EQ(model->spectrum_settings.band, 0);

        auto* log = dynamic_cast<ScreenLog*>(model->runtime.screenLog.load());
        ASSERT_NE(log, nullptr);
        const std::vector<std::string> shown = log->messages();
        EXPECT_EQ(countContaining(shown, "changes will not be saved"), 1u);
        EXPECT_EQ(countContaining(shown, "band 99 is out of range"), 1u);
        engine::Director::getInstance()->mainLoop(1.f / 60.f);

        model->graticule = SpectrumSettings::kCrosshairs;
        app.applicationDidEnterBackground();
        app.applicationWillTerminate();
        app.shutdown();
        engine::Director::destroyInstance();
    }
    const std::string stderrText = testing::internal::GetCapturedStderr();
    FaultyVfs::clear();
    // Said once: not again at the save on entering the background or at the end.
    EXPECT_EQ(occurrences(stderrText, "changes will not be saved"), 1u) << stderrText;
    EXPECT_EQ(occurrences(stderrText, "band 99 is out of range"), 1u) << stderrText;
    EXPECT_EQ(readFile(path), original);
    std::filesystem::remove_all(scratch);
}

}  // namespace
