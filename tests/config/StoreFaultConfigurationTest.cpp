// Configuration slots on a real store file under I/O faults: the user's saved settings load when
// the file can be read at all, and a save that cannot be written leaves the file as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/FaultyVfs.h"
#include "tests/storage/TempDirectory.h"

namespace {

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
}

class StoreFaultConfigurationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FaultyVfs::install();
        FaultyVfs::clear();
        SpectrumSettings saved;
        saved.spectrum_settings.band = 1;
        saved.spectrum_settings.traceModes[1] = 3;
        saved.power_setting.triggerLevel = -20.0f;
        SqliteKeyValueStore store(path_);
        ASSERT_TRUE(ConfigurationStore(store).save(saved, 0));
        store.close();
        original_ = readFile(path_);
    }
    void TearDown() override { FaultyVfs::clear(); }

    // Start-up and exit of a run on the armed faults: load slot 0, change it, save it.
    void runOnFaults(SpectrumSettings& settings) {
        testing::internal::CaptureStderr();
        {
            SqliteKeyValueStore store(path_);
            ConfigurationStore configuration(store);
            EXPECT_TRUE(configuration.load(settings, 0));
            SpectrumSettings changed;
            changed.spectrum_settings.traceModes[2] = 5;
            EXPECT_FALSE(configuration.save(changed, 0));
        }
        message_ = testing::internal::GetCapturedStderr();
        FaultyVfs::clear();
        EXPECT_EQ(readFile(path_), original_);
    }

    TempDirectory dir_;
    std::string path_ = dir_.file("settings.sqlite3");
    std::vector<char> original_;
    std::string message_;
};

TEST_F(StoreFaultConfigurationTest, FullDiskLoadsTheSavedSlotAndKeepsTheFile) {
    FaultyVfs::fail(FaultyVfs::Operation::write, SQLITE_FULL);
    FaultyVfs::fail(FaultyVfs::Operation::shmMap, SQLITE_IOERR_SHMSIZE);
    SpectrumSettings loaded;
    runOnFaults(loaded);
    EXPECT_EQ(loaded.spectrum_settings.band, 1);
    EXPECT_EQ(loaded.spectrum_settings.traceModes[1], 3);
    EXPECT_EQ(loaded.power_setting.triggerLevel, -20.0f);
    EXPECT_NE(message_.find("changes will not be saved"), std::string::npos) << message_;

    // With room again, the next run finds the slot as it was saved.
    SqliteKeyValueStore store(path_);
    SpectrumSettings next;
    ASSERT_TRUE(ConfigurationStore(store).load(next, 0));
    EXPECT_EQ(next.spectrum_settings.band, 1);
    EXPECT_EQ(next.spectrum_settings.traceModes[2], 0);
}

TEST_F(StoreFaultConfigurationTest, UnreadableStoreRunsOnDefaultsAndKeepsTheFile) {
    FaultyVfs::fail(FaultyVfs::Operation::open, SQLITE_PERM, "settings.sqlite3");
    SpectrumSettings loaded;
    runOnFaults(loaded);
    EXPECT_EQ(loaded.spectrum_settings.band, 0);
    EXPECT_EQ(loaded.power_setting.triggerLevel, PowerSettings{}.triggerLevel);
    EXPECT_NE(message_.find("using defaults"), std::string::npos) << message_;

    SqliteKeyValueStore store(path_);
    SpectrumSettings next;
    ASSERT_TRUE(ConfigurationStore(store).load(next, 0));
    EXPECT_EQ(next.spectrum_settings.band, 1);
}

}  // namespace
