#include "menus/DataLogPickerViewMenu.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/ui/Button.h"
#include "menus/AlertViewLayer.h"
#include "menus/DesktopCommand.h"
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
        if (gateFd >= 0)
            close(gateFd);
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
    // A stub xdg-email that records its arguments, then holds until the test releases it.
    void stubLateMailer(int exitCode) {
        const std::string gate = root + "/gate";
        ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
        // Read and write: opening never blocks, and a release never waits for the stub.
        gateFd = open(gate.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(gateFd, 0);
        const std::string path = root + "/bin/xdg-email";
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fprintf(
            file, "#!/bin/sh\nprintf '%%s\\n' \"$@\" > '%s/mail-args'\nread go < '%s'\nexit %d\n",
            root.c_str(), gate.c_str(), exitCode);
        std::fclose(file);
        chmod(path.c_str(), 0755);
    }
    void releaseMailer() { ASSERT_EQ(write(gateFd, "\n", 1), 1); }
    // The mail helper's exit, then the frame that learns of it; the window itself never waits.
    void runUntilMailerEnds() {
        ASSERT_GT(menu->getMailer(), 0);
        ASSERT_TRUE(DesktopCommand::awaitExit(menu->getMailer()));
        step(1);
        ASSERT_FALSE(menu->isHelperRunning());
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
    int gateFd = -1;
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

// The mail program fails only after the user asked to delete: its alert replaces the delete
// confirmation, and neither its OK nor anything after it deletes the unconfirmed file.
TEST_F(DataLogPickerViewMenuTest, AMailFailureOverAConfirmationDeletesNothing) {
    stubLateMailer(3);
    const std::string file = dir + "/Tarno_20260101_100000.csv";
    menu->selectRow(0);
    tapNode(menu->getButton(0, 1));  // EMAIL
    ASSERT_GT(menu->getMailer(), 0);
    tapNode(menu->getButton(0, 0));  // DELETE
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->getTitle(), "Delete file");

    releaseMailer();
    runUntilMailerEnds();
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->getTitle(), "Cannot send email");
    EXPECT_EQ(menu->getPendingDelete(), "");
    alert()->buttonPressed(0);  // OK
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(alert(), nullptr);

    // A confirmation asked for again, and answered, still deletes.
    tapNode(menu->getButton(0, 0));
    ASSERT_NE(alert(), nullptr);
    alert()->buttonPressed(0);
    EXPECT_FALSE(fs::exists(file));
}

// A confirmation that goes with its menu takes its file with it.
TEST_F(DataLogPickerViewMenuTest, AConfirmationClosedWithItsMenuIsForgotten) {
    menu->retain();
    menu->selectRow(0);
    tapNode(menu->getButton(0, 0));  // DELETE
    AlertViewLayer* confirmation = alert();
    ASSERT_NE(confirmation, nullptr);
    confirmation->retain();
    MenuController::getInstance()->closeAll(false);
    step(1);
    EXPECT_EQ(menu->getPendingDelete(), "");
    menu->alertViewButtonPressed(confirmation, 0);  // a late answer from the gone alert
    EXPECT_TRUE(fs::exists(dir + "/Tarno_20260101_100000.csv"));
    confirmation->release();
    menu->release();
    menu = nullptr;
}

}  // namespace
