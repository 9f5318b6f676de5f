// The real tarno with a resource root of its own that lacks fonts, shaders or recordings, run
// off screen (no display): it says what is missing and where it looked, and exits 1 when its
// window could not be drawn.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/ResourceCheck.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code = -1;
    std::string output;  // standard output and error
};

// An installed-like layout: <prefix>/bin/tarno looks for its resources in
// <prefix>/share/tarno/, which holds the build tree's resources less what `without` names.
class TarnoResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prefix = fs::temp_directory_path() /
                 ("tarno_resources_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(prefix);
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share/tarno");
        fs::create_directories(prefix / "data");
        std::error_code ec;
        fs::create_hard_link(TARNO_BINARY, prefix / "bin/tarno", ec);
        if (ec)
            fs::copy_file(TARNO_BINARY, prefix / "bin/tarno");
    }
    void TearDown() override { fs::remove_all(prefix); }

    // Copies the build tree's res/ except the folders named (relative to res/).
    void installResources(std::initializer_list<const char*> without) {
        const fs::path from = fs::path(TARNO_RESOURCE_ROOT) / "res";
        const fs::path to = prefix / "share/tarno/res";
        fs::copy(from, to, fs::copy_options::recursive);
        for (const char* folder : without)
            fs::remove_all(to / folder);
    }

    // Runs tarno without a display, so it renders off screen and ends by itself.
    Outcome runOffScreen() {
        const std::string out = (prefix / "tarno.out").string();
        const std::string binary = (prefix / "bin/tarno").string();
        const std::string data = (prefix / "data").string();
        pid_t pid = fork();
        if (pid == 0) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("XDG_DATA_HOME", data.c_str(), 1);
            int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        Outcome run;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::ifstream in(out);
        run.output.assign(std::istreambuf_iterator<char>(in), {});
        return run;
    }
    fs::path picture() const { return prefix / "data/Tarno/Tarno_demo.png"; }
    std::string resFolder() const { return (prefix / "share/tarno/res/").string(); }

    fs::path prefix;
};

}  // namespace

TEST_F(TarnoResourcesTest, WithoutAnyResourcesItSaysWhatIsMissingAndWhereAndFails) {
    const Outcome run = runOffScreen();
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_NE(run.output.find("fonts/roboto/Roboto-Regular.ttf"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("shaders/WaterfallShader.fsh"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(resFolder()), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("picture"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(picture()));
}

TEST_F(TarnoResourcesTest, WithoutShadersItCannotDrawAndFails) {
    installResources({"shaders"});
    const Outcome run = runOffScreen();
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_NE(run.output.find("shaders/WaterfallShader.vsh, shaders/WaterfallShader.fsh"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("fonts/"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(picture()));
}

TEST_F(TarnoResourcesTest, WithoutRecordingsItSaysSoAndStillDraws) {
    installResources({"packets"});
    const Outcome run = runOffScreen();
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("The demonstration recordings are missing: "
                              "packets/Tarno/Tarno_discover.bin"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Looked in " + resFolder() + "desktop/sd/, " + resFolder()),
              std::string::npos)
        << run.output;
    EXPECT_TRUE(fs::exists(picture())) << run.output;
}

// Some recordings gone (a packaging mistake): counted and named, the rest still found.
TEST(ResourceCheck, NamesWhatOneGenerationLacks) {
    const fs::path root = fs::temp_directory_path() / ("tarno_check_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "res");
    fs::copy(fs::path(TARNO_RESOURCE_ROOT) / "res/packets", root / "res/packets",
             fs::copy_options::recursive);
    fs::remove(root / "res/packets/Tarno2/Tarno2_ssid.bin");
    fs::remove(root / "res/packets/TarnoDuo/TarnoDuo_spectrum5GHzWifi.bin");
    const ResourceCheck check(root.string());
    const std::vector<std::string> missing = check.missingRecordings();
    EXPECT_EQ(missing,
              (std::vector<std::string>{"packets/Tarno2/Tarno2_ssid.bin",
                                        "packets/TarnoDuo/TarnoDuo_spectrum5GHzWifi.bin"}));
    const std::vector<std::string> report = check.recordingsReport(missing);
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0].rfind("2 of ", 0), 0u) << report[0];
    EXPECT_EQ(check.missingForDrawing().size(), 4u);
    EXPECT_TRUE(check.recordingsReport({}).empty());
    fs::remove_all(root);
}
