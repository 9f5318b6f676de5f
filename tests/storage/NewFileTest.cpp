#include "storage/NewFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "tests/storage/TempDirectory.h"

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAndClose(NewFile& file, const std::string& text) {
    std::FILE* stream = file.releaseAsStream("w");
    ASSERT_NE(stream, nullptr);
    std::fputs(text.c_str(), stream);
    std::fclose(stream);
}

TEST(NewFileTest, ATakenNameGetsTheNextFreeNumberAndKeepsTheOldFile) {
    TempDirectory dir;
    const std::string base = dir.path().string() + "/";
    NewFile first = createNewFile(base, "Tarno_20260304_050607", ".png");
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.path, base + "Tarno_20260304_050607.png");
    writeAndClose(first, "first");
    NewFile second = createNewFile(base, "Tarno_20260304_050607", ".png");
    NewFile third = createNewFile(base + "Tarno_20260304_050607.png");
    ASSERT_TRUE(second.ok());
    ASSERT_TRUE(third.ok());
    EXPECT_EQ(second.path, base + "Tarno_20260304_050607_2.png");
    EXPECT_EQ(third.path, base + "Tarno_20260304_050607_3.png");
    writeAndClose(second, "second");
    writeAndClose(third, "third");
    EXPECT_EQ(contents(first.path), "first");
    EXPECT_EQ(contents(second.path), "second");
}

TEST(NewFileTest, LinksAndDirectoriesAtTheNameAreNeverFollowedOrReplaced) {
    TempDirectory dir;
    const std::string base = dir.path().string() + "/";
    const std::string target = base + "target.txt";
    std::ofstream(target) << "the user's file";
    ASSERT_EQ(symlink(target.c_str(), (base + "out.csv").c_str()), 0);
    ASSERT_EQ(symlink((base + "nowhere").c_str(), (base + "out_2.csv").c_str()), 0);
    ASSERT_EQ(mkdir((base + "out_3.csv").c_str(), 0700), 0);

    NewFile file = createNewFile(base + "out.csv");
    ASSERT_TRUE(file.ok()) << file.failure();
    EXPECT_EQ(file.path, base + "out_4.csv");
    writeAndClose(file, "new");
    EXPECT_EQ(contents(target), "the user's file");
    EXPECT_NE(access((base + "nowhere").c_str(), F_OK), 0);

    // Without numbering a taken name is an error that says so.
    NewFile exact = createNewFile(base + "out.csv", false);
    EXPECT_FALSE(exact.ok());
    EXPECT_EQ(exact.error, EEXIST);
    EXPECT_EQ(exact.failure(), base + "out.csv: File exists");
    EXPECT_EQ(contents(target), "the user's file");
}

TEST(NewFileTest, NamesWithoutAnExtensionAndMissingFoldersFailClearly) {
    TempDirectory dir;
    const std::string base = dir.path().string() + "/";
    NewFile plain = createNewFile(base + "recording");
    NewFile again = createNewFile(base + "recording");
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.path, base + "recording_2");
    NewFile missing = createNewFile(base + "no/such/folder.png");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure(), base + "no/such/folder.png: No such file or directory");
    EXPECT_EQ(missing.releaseAsStream("w"), nullptr);
    std::FILE* a = plain.releaseAsStream("w");
    std::FILE* b = again.releaseAsStream("w");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    std::fclose(a);
    std::fclose(b);
}

}  // namespace
