#include "menus/DataLogPickerViewMenu.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/ui/Button.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"
#include "tests/support/GlTestWindow.h"

using namespace menutest;
namespace fs = std::filesystem;

namespace {

// A data directory with the live settings store, a link, a folder and shell-hostile names, and
// a stub xdg-email first on PATH that records its arguments.
class DataLogPickerViewMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        root = gltest::scratchDirectory() + "files-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = root + "/data";
        fs::create_directories(dir);
        fs::create_directories(root + "/bin");
        for (const char* name :
             {"settings.sqlite3", "settings.sqlite3-wal", "settings.sqlite3-shm",
              "Tarno_20260101_100000.csv", "Tarno_$(touch x).csv", "Tarno_%s%n.png"}) {
            touch(name, 100);
        }
        touch("Tarno_20260101_100000.csv", 300);  // newest
        fs::create_directory(dir + "/Tarno_folder.csv");
        fs::create_symlink(dir + "/settings.sqlite3", dir + "/Tarno_link.png");
        oldPath = std::getenv("PATH");
        setenv("PATH", (root + "/bin:" + oldPath).c_str(), 1);
        SpectrumSettings::getInstance()->runtime.dataLogState = 0;
        MenuController::getInstance()->setScene(scene);
        menu = DataLogPickerViewMenu::create(dir);
        MenuController::getInstance()->showMenu(menu, engine::Rect(400, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        MenuController::getInstance()->detach();
        MenuGlTest::TearDown();
        fs::remove_all(root);
    }
    void touch(const std::string& name, long seconds) {
        const std::string path = dir + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
        struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    void stubMailer(int exitCode) {
        const std::string path = root + "/bin/xdg-email";
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fprintf(file, "#!/bin/sh\nprintf '%%s\\n' \"$@\" > '%s/mail-args'\nexit %d\n",
                     root.c_str(), exitCode);
        std::fclose(file);
        chmod(path.c_str(), 0755);
    }
    // Frames until the mail helper has ended; the window never waits for it.
    void runUntilMailerEnds() {
        for (int i = 0; i < 3000 && menu->isHelperRunning(); ++i)
            step(1);
    }
    std::vector<std::string> mailArguments() {
        std::vector<std::string> lines;
        std::FILE* file = std::fopen((root + "/mail-args").c_str(), "r");
        if (!file)
            return lines;
        char line[1024];
        while (std::fgets(line, sizeof line, file))
            lines.emplace_back(line, std::strcspn(line, "\n"));
        std::fclose(file);
        return lines;
    }
    AlertViewLayer* alert() { return menu->getOpenAlert(); }

    std::string root, dir, oldPath;
    DataLogPickerViewMenu* menu = nullptr;
};

TEST_F(DataLogPickerViewMenuTest, ListsLogsAndScreenshotsOnly) {
    renderFrame().saveToFile("data-log-files.png");  // for a person to look at
    const std::vector<std::string> expected = {"Tarno_20260101_100000.csv", "Tarno_%s%n.png",
                                               "Tarno_$(touch x).csv"};
    EXPECT_EQ(menu->getFiles(), expected);
    EXPECT_EQ(menu->getSelectedRow(), 0);
}

TEST_F(DataLogPickerViewMenuTest, DeleteRemovesExactlyTheConfirmedFile) {
    menu->selectRow(2);
    tapNode(menu->getButton(0, 0));  // DELETE
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->getTitle(), "Delete file");
    EXPECT_EQ(alert()->getMessage(), "Are you sure you want to delete this file?");
    EXPECT_EQ(alert()->getDetail(), "Tarno_$(touch x).csv");
    alert()->buttonPressed(1);  // CANCEL
    EXPECT_TRUE(fs::exists(dir + "/Tarno_$(touch x).csv"));

    tapNode(menu->getButton(0, 0));
    alert()->buttonPressed(0);
    EXPECT_FALSE(fs::exists(dir + "/Tarno_$(touch x).csv"));
    EXPECT_FALSE(fs::exists("x"));
    EXPECT_TRUE(fs::exists(dir + "/settings.sqlite3"));
    // The list is rebuilt and the selection kept inside it.
    ASSERT_EQ(menu->getFiles().size(), 2u);
    EXPECT_EQ(menu->getSelectedRow(), 1);

    // The log being written is never deleted.
    SpectrumSettings::getInstance()->runtime.dataLogState = 2;
    menu->selectRow(0);
    tapNode(menu->getButton(0, 0));
    alert()->buttonPressed(0);
    EXPECT_TRUE(fs::exists(dir + "/Tarno_20260101_100000.csv"));
    SpectrumSettings::getInstance()->runtime.dataLogState = 0;
}

TEST_F(DataLogPickerViewMenuTest, EmailHandsTheDesktopTheAbsolutePathUntouched) {
    stubMailer(0);
    menu->selectRow(2);
    tapNode(menu->getButton(0, 1));  // EMAIL
    runUntilMailerEnds();
    EXPECT_EQ(mailArguments(), (std::vector<std::string>{"--subject", "Tarno Data Log", "--attach",
                                                         dir + "/Tarno_$(touch x).csv"}));
    EXPECT_EQ(alert(), nullptr);
    EXPECT_FALSE(fs::exists("x"));
}

TEST_F(DataLogPickerViewMenuTest, MailFailureShowsTheAlertAndThePath) {
    stubMailer(3);
    tapNode(menu->getButton(0, 1));
    runUntilMailerEnds();
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->getTitle(), "Cannot send email");
    EXPECT_EQ(alert()->getMessage(), "Please setup Mail to send and receive email.");
    EXPECT_EQ(alert()->getDetail(), dir + "/Tarno_20260101_100000.csv");
    // No mailer at all: the same alert at once.
    alert()->buttonPressed(0);
    fs::remove(root + "/bin/xdg-email");
    setenv("PATH", (root + "/bin").c_str(), 1);
    tapNode(menu->getButton(0, 1));
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->getTitle(), "Cannot send email");
}

}  // namespace
