#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/TempDirectory.h"

namespace {

// Runs `body` in a child process; the body ends by killing itself with SIGKILL while its store
// is still in scope, so no destructor, atexit handler or buffered I/O gets to tidy up.
template <typename Body>
bool runAndKill(Body body) {
    pid_t child = fork();
    if (child == 0) {
        body();
        _exit(1);  // the body returned instead of dying
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
           WTERMSIG(status) == SIGKILL;
}

TEST(CrashSafetyTest, KillBeforeFlushKeepsTheLastCommittedValues) {
    TempDirectory dir;
    const std::string path = dir.file("settings.sqlite3");
    const std::vector<uint8_t> before(44, 0x11);
    const std::vector<uint8_t> after(44, 0x22);

    ASSERT_TRUE(runAndKill([&] {
        SqliteKeyValueStore store(path);
        store.setInteger("slot.version", 2);
        store.setData("slot.cursors", before);
        store.setData("slot.common", std::vector<uint8_t>(16, 0x33));
        if (!store.flush()) {
            _exit(1);
        }
        // Half of the next save, then the process dies.
        store.setInteger("slot.version", 3);
        store.setData("slot.cursors", after);
        store.setData("slot.extra", after);
        raise(SIGKILL);
    }));

    SqliteKeyValueStore store(path);
    ASSERT_TRUE(store.isOpen());
    EXPECT_EQ(store.getInteger("slot.version", -1), 2);
    EXPECT_EQ(store.getData("slot.cursors"), before);
    EXPECT_EQ(store.getData("slot.common"), std::vector<uint8_t>(16, 0x33));
    EXPECT_TRUE(store.getData("slot.extra").empty());
}

TEST(CrashSafetyTest, KillAfterFlushKeepsEverythingFlushed) {
    TempDirectory dir;
    const std::string path = dir.file("settings.sqlite3");
    // The write-ahead log is not checkpointed when the process dies; the reopen must replay it.
    ASSERT_TRUE(runAndKill([&] {
        SqliteKeyValueStore store(path);
        for (int i = 0; i < 50; ++i) {
            store.setInteger("key" + std::to_string(i), i);
            if (!store.flush()) {
                _exit(1);
            }
        }
        raise(SIGKILL);
    }));

    SqliteKeyValueStore store(path);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(store.getInteger("key" + std::to_string(i), -1), i);
    }
}

}  // namespace
