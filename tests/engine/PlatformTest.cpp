// Resource lookup, the writable directory, stored values and device queries.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/base/UserDefault.h"
#include "engine/platform/Device.h"
#include "engine/platform/FileUtils.h"
#include "storage/MemoryKeyValueStore.h"
#include "storage/SqliteKeyValueStore.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = scratchDirectory() + "root/";
        files = FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(root);
        files->setSearchPaths({"res/desktop/sd", "res", ""});
    }
    void TearDown() override {
        files->setDefaultResourceRootPath(savedRoot);
        files->setSearchPaths(savedPaths);
    }
    std::string root;
    FileUtils* files = nullptr;
    std::string savedRoot;
    std::vector<std::string> savedPaths;
};

TEST_F(PlatformTest, SearchPathsAreTriedInOrder) {
    writeFile(root + "res/desktop/sd/fonts/a.ttf", "sd");
    writeFile(root + "res/fonts/a.ttf", "res");
    writeFile(root + "fonts/a.ttf", "root");
    writeFile(root + "res/fonts/b.ttf", "res");
    writeFile(root + "fonts/c.ttf", "root");
    std::filesystem::create_directories(root + "res/fonts/dir.ttf");

    EXPECT_EQ(files->fullPathForFilename("fonts/a.ttf"), root + "res/desktop/sd/fonts/a.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/b.ttf"), root + "res/fonts/b.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/c.ttf"), root + "fonts/c.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/missing.ttf"), "");
    EXPECT_EQ(files->fullPathForFilename("fonts/dir.ttf"), "");  // directories are not files
    EXPECT_EQ(files->fullPathForFilename(root + "fonts/c.ttf"), root + "fonts/c.ttf");

    // A file that appears later is found (misses are not remembered), and a removed one is
    // no longer returned from the cache.
    writeFile(root + "res/packets/late.bin", "x");
    EXPECT_EQ(files->fullPathForFilename("packets/late.bin"), root + "res/packets/late.bin");
    std::filesystem::remove(root + "res/desktop/sd/fonts/a.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/a.ttf"), root + "res/fonts/a.ttf");
}

TEST_F(PlatformTest, FallbackDirectoryServesOnlyWhatNoSearchPathHolds) {
    const std::string system = scratchDirectory() + "system-fonts/";
    writeFile(system + "Sans.ttf", "system");
    writeFile(system + "Bold.ttf", "system");
    writeFile(root + "res/fonts/sans/Bold.ttf", "bundled");
    files->addFallbackDirectory("fonts/sans/", system.substr(0, system.size() - 1));

    EXPECT_EQ(files->fullPathForFilename("fonts/sans/Sans.ttf"), system + "Sans.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/sans/Bold.ttf"), root + "res/fonts/sans/Bold.ttf");
    EXPECT_EQ(files->fullPathForFilename("fonts/sans/Missing.ttf"), "");
    EXPECT_EQ(files->getStringFromFile("fonts/sans/Sans.ttf"), "system");
}

TEST_F(PlatformTest, WholeFilesAreReadAsBytesAndText) {
    const std::string bytes("\x00\x01\xff\x7f", 4);
    writeFile(root + "res/packets/x.bin", bytes);
    Data data = files->getDataFromFile("packets/x.bin");
    ASSERT_EQ(data.getSize(), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.getBytes()), 4), bytes);
    EXPECT_TRUE(files->getDataFromFile("packets/none.bin").isNull());
    writeFile(root + "shaders/s.fsh", "void main() {}\n");
    EXPECT_EQ(files->getStringFromFile("shaders/s.fsh"), "void main() {}\n");

    std::string out = scratchDirectory() + "written.bin";
    EXPECT_TRUE(files->writeDataToFile(data, out));
    EXPECT_EQ(files->getDataFromFile(out), data);
    EXPECT_FALSE(files->writeDataToFile(data, scratchDirectory() + "no/such/dir/x.bin"));
}

TEST_F(PlatformTest, WritablePathIsTheXdgDataDirectory) {
    const char* old = std::getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", (scratchDirectory() + "xdg").c_str(), 1);
    files->setWritableDirectoryName("Tarno");
    std::string path = files->getWritablePath();
    EXPECT_EQ(path, scratchDirectory() + "xdg/Tarno/");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    writeFile(path + "Tarno_1.csv", "a");
    writeFile(path + "Tarno_0.png", "b");
    EXPECT_EQ(files->listFiles(path), (std::vector<std::string>{"Tarno_0.png", "Tarno_1.csv"}));
    EXPECT_TRUE(files->removeFile(path + "Tarno_1.csv"));
    EXPECT_EQ(files->listFiles(path).size(), 1u);

    setenv("XDG_DATA_HOME", "relative/dir", 1);  // invalid by the XDG rules: fall back to HOME
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(files->getWritablePath().rfind(home + "/.local/share/Tarno/", 0), 0u);
    }
    // Without HOME: the account's own home, never a shared folder where others plant links.
    unsetenv("HOME");
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(files->getWritablePath(), std::string(entry->pw_dir) + "/.local/share/Tarno/");
    if (!home.empty())
        setenv("HOME", home.c_str(), 1);
    if (old) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

TEST(UserDefaultTest, ValuesReadBackWithTheirKindAndDefaults) {
    MemoryKeyValueStore memory;
    UserDefault::setStore(&memory);
    UserDefault* store = UserDefault::getInstance();
    store->setIntegerForKey("config0.version", 2);
    store->setBoolForKey("config0.valid", true);
    const unsigned char blob[] = {1, 2, 0, 255};
    store->setDataForKey("config0.spectrum_settings", Data(blob, sizeof(blob)));
    EXPECT_TRUE(store->flush());
    EXPECT_EQ(memory.flushCount(), 1);

    EXPECT_EQ(store->getIntegerForKey("config0.version", 7), 2);
    EXPECT_TRUE(store->getBoolForKey("config0.valid", false));
    Data data = store->getDataForKey("config0.spectrum_settings");
    ASSERT_EQ(data.getSize(), 4u);
    EXPECT_EQ(data.getBytes()[3], 255);
    EXPECT_EQ(store->getIntegerForKey("config9.version", 7), 7);
    EXPECT_TRUE(store->getDataForKey("config9.spectrum_settings").isNull());
    const unsigned char fallback[] = {9};
    EXPECT_EQ(store->getDataForKey("config9.x", Data(fallback, 1)).getSize(), 1u);
    // A blob asked for as an integer is not silently reinterpreted.
    EXPECT_EQ(store->getIntegerForKey("config0.spectrum_settings", -1), -1);

    memory.setFlushResult(false);  // a failed commit is reported, not swallowed
    EXPECT_FALSE(store->flush());
    UserDefault::setStore(nullptr);
}

TEST(UserDefaultTest, FlushedValuesSurviveReopeningTheStoreFile) {
    std::string path = scratchDirectory() + "settings.sqlite3";
    {
        SqliteKeyValueStore file(path);
        UserDefault::setStore(&file);
        UserDefault::getInstance()->setIntegerForKey("config1.version", 2);
        UserDefault::getInstance()->setDataForKey(
            "config1.cursors", Data(std::vector<unsigned char>(44, 7).data(), 44));
        EXPECT_TRUE(UserDefault::getInstance()->flush());
        UserDefault::setStore(nullptr);
    }
    SqliteKeyValueStore reopened(path);
    UserDefault::setStore(&reopened);
    EXPECT_EQ(UserDefault::getInstance()->getIntegerForKey("config1.version", 0), 2);
    Data cursors = UserDefault::getInstance()->getDataForKey("config1.cursors");
    ASSERT_EQ(cursors.getSize(), 44u);
    EXPECT_EQ(cursors.getBytes()[43], 7);
    UserDefault::setStore(nullptr);
}

TEST(DeviceTest, DpiIsPositiveAndKeepScreenOnIsHarmless) {
    EXPECT_GT(Device::getDPI(), 0);
    Device::setKeepScreenOn(true);
    Device::setKeepScreenOn(false);
}

}  // namespace
