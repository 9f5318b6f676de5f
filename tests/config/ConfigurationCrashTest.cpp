#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/TempDirectory.h"

namespace {

// Passes writes through to the real store until `writesBeforeDeath` have been made, then kills
// the process; a flush kills it too. Stands in for a crash or power cut in the middle of a save.
class DyingStore final : public KeyValueStore {
  public:
    DyingStore(KeyValueStore& inner, int writesBeforeDeath)
        : inner_(inner), writesLeft_(writesBeforeDeath) {}

    int getInteger(std::string_view key, int defaultValue) override {
        return inner_.getInteger(key, defaultValue);
    }
    bool getBool(std::string_view key, bool defaultValue) override {
        return inner_.getBool(key, defaultValue);
    }
    std::vector<uint8_t> getData(std::string_view key) override { return inner_.getData(key); }
    size_t dataSize(std::string_view key) override { return inner_.dataSize(key); }
    void setInteger(std::string_view key, int value) override {
        write();
        inner_.setInteger(key, value);
    }
    void setBool(std::string_view key, bool value) override {
        write();
        inner_.setBool(key, value);
    }
    void setData(std::string_view key, std::span<const uint8_t> bytes) override {
        write();
        inner_.setData(key, bytes);
    }
    bool flush() override {
        raise(SIGKILL);
        return false;
    }

  private:
    void write() {
        if (writesLeft_-- == 0) {
            raise(SIGKILL);
        }
    }

    KeyValueStore& inner_;
    int writesLeft_;
};

void changeSettings(SpectrumSettings& s) {
    s.graticule = 2;
    s.cursors.verticalX[0] = 42.0f;
    s.spectrum_settings.traceModes[0] = 1;
    s.power_setting.triggerLevel = -3.0f;
    s.reference.history = {{-5.0f, -6.0f}};
    s.reference.isValid = true;
    s.demo.signalType = 3;
}

TEST(ConfigurationCrashTest, KillDuringASaveKeepsThePreviousSlot) {
    TempDirectory dir;
    const std::string path = dir.file("settings.sqlite3");
    {
        SqliteKeyValueStore store(path);
        SpectrumSettings previous;
        previous.graticule = 8;
        previous.spectrum_settings.holdTime = 2.5f;
        ASSERT_TRUE(ConfigurationStore(store).save(previous, 1));
    }

    // A slot save makes 19 writes before its flush; die before the first, in the middle, after
    // the last.
    for (int writes : {0, 1, 9, 18, 19}) {
        pid_t child = fork();
        if (child == 0) {
            SqliteKeyValueStore store(path);
            DyingStore dying(store, writes);
            SpectrumSettings changed;
            changeSettings(changed);
            ConfigurationStore(dying).save(changed, 1);
            _exit(1);  // not reached
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << writes;

        SqliteKeyValueStore store(path);
        SpectrumSettings loaded;
        ASSERT_TRUE(ConfigurationStore(store).load(loaded, 1));
        EXPECT_EQ(loaded.graticule, 8u) << writes;
        EXPECT_EQ(loaded.spectrum_settings.holdTime, 2.5f) << writes;
        EXPECT_EQ(loaded.cursors.verticalX[0], 100.0f) << writes;
        EXPECT_TRUE(loaded.reference.history.empty()) << writes;
        EXPECT_EQ(loaded.demo.signalType, 1) << writes;
    }

    // The same save left to finish does replace the slot.
    {
        SqliteKeyValueStore store(path);
        SpectrumSettings changed;
        changeSettings(changed);
        ASSERT_TRUE(ConfigurationStore(store).save(changed, 1));
    }
    SqliteKeyValueStore store(path);
    SpectrumSettings loaded;
    ASSERT_TRUE(ConfigurationStore(store).load(loaded, 1));
    EXPECT_EQ(loaded.graticule, 2u);
    EXPECT_EQ(loaded.reference.history, (std::vector<std::vector<float>>{{-5.0f, -6.0f}}));
}

}  // namespace
