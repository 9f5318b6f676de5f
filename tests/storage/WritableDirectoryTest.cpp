#include "storage/WritableDirectory.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/storage/TempDirectory.h"

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WritableDirectoryTest, FollowsXdgDataHomeAndCreatesTheDirectory) {
    TempDirectory dir;
    const std::string xdg = dir.file("data/nested");
    ScopedEnv env("XDG_DATA_HOME", xdg.c_str());
    EXPECT_EQ(writableDirectory(), xdg + "/Tarno/");
    EXPECT_TRUE(std::filesystem::is_directory(xdg + "/Tarno"));
    // Asking again with the directory present gives the same answer.
    EXPECT_EQ(writableDirectory(), xdg + "/Tarno/");
}

TEST(WritableDirectoryTest, FallsBackToHomeForUnsetOrRelativeXdgDataHome) {
    TempDirectory dir;
    ScopedEnv home("HOME", dir.path().c_str());
    const std::string expected = dir.file(".local/share/Tarno/");
    {
        ScopedEnv env("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(writableDirectory(), expected);
    }
    {
        ScopedEnv env("XDG_DATA_HOME", "relative/path");
        EXPECT_EQ(writableDirectory(), expected);
    }
    {
        ScopedEnv env("XDG_DATA_HOME", "");
        EXPECT_EQ(writableDirectory(), expected);
    }
}

TEST(WritableDirectoryTest, AFileInTheWayIsReported) {
    TempDirectory dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("xdg")));
    {
        std::FILE* f = std::fopen(dir.file("xdg/Tarno").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    ScopedEnv env("XDG_DATA_HOME", dir.file("xdg").c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(writableDirectory(), "");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot create"), std::string::npos);
}

TEST(WritableDirectoryTest, WithoutHomeTheAccountsOwnHomeIsUsedNeverASharedFolder) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[16384];
    ASSERT_EQ(getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found), 0);
    ASSERT_NE(found, nullptr);
    {
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(homeDirectory(), found->pw_dir);
    }
    {
        ScopedEnv home("HOME", "relative/home");
        EXPECT_EQ(homeDirectory(), found->pw_dir);
    }
    ScopedEnv home("HOME", "/some/home");
    EXPECT_EQ(homeDirectory(), "/some/home");
}

}  // namespace
