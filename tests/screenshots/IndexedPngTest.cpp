#include "tools/screenshots/IndexedPng.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/Image.h"

namespace {

class IndexedPngTest : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(path); }

    static engine::Image makeImage(int width, int height, const std::vector<unsigned char>& rgba) {
        engine::Image image;
        EXPECT_TRUE(image.initWithRawData(rgba.data(), rgba.size(), width, height, false));
        return image;
    }
    engine::Image readBack() {
        engine::Image image;
        EXPECT_TRUE(image.initWithImageFile(path));
        return image;
    }

    std::string path =
        (std::filesystem::temp_directory_path() / ("indexed-" + std::to_string(getpid()) + ".png"))
            .string();
};

TEST_F(IndexedPngTest, FewColoursComeBackExactlyInPlace) {
    // Four colours in a pattern that a swapped palette index or a flipped row would spoil.
    const unsigned char colours[4][3] = {{0, 0, 0}, {255, 0, 0}, {12, 200, 34}, {255, 255, 255}};
    const int w = 7, h = 5;
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* c = colours[(x + 2 * y) % 4];
            rgba.insert(rgba.end(), {c[0], c[1], c[2], 255});
        }
    }
    ASSERT_TRUE(saveIndexedPng(makeImage(w, h, rgba), path));
    const engine::Image back = readBack();
    ASSERT_EQ(back.getWidth(), w);
    ASSERT_EQ(back.getHeight(), h);
    EXPECT_EQ(std::vector<unsigned char>(back.getData(), back.getData() + back.getDataLen()), rgba);
}

TEST_F(IndexedPngTest, ManyColoursFitThePaletteAndStayClose) {
    // A smooth two-channel gradient: 4096 colours into 64.
    const int w = 64, h = 64;
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            rgba.insert(rgba.end(), {static_cast<unsigned char>(x * 4),
                                     static_cast<unsigned char>(y * 4), 90, 255});
    }
    ASSERT_TRUE(saveIndexedPng(makeImage(w, h, rgba), path, 64));
    const engine::Image back = readBack();
    ASSERT_EQ(back.getDataLen(), rgba.size());
    std::set<uint32_t> distinct;
    int worst = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const unsigned char* p = back.getData() + i;
        distinct.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int(p[c]) - int(rgba[i + c])));
        EXPECT_EQ(p[3], 255);
    }
    EXPECT_LE(distinct.size(), 64u);
    EXPECT_GT(distinct.size(), 32u);  // the palette is used, not collapsed
    EXPECT_LE(worst, 32);             // 8 x 8 cells of a 256-wide gradient: 16 either side
}

TEST_F(IndexedPngTest, AnEmptyImageOrAnUnwritablePathFails) {
    EXPECT_FALSE(saveIndexedPng(engine::Image(), path));
    const std::vector<unsigned char> pixel = {1, 2, 3, 255};
    EXPECT_FALSE(saveIndexedPng(makeImage(1, 1, pixel), "/nonexistent-dir/x.png"));
}

}  // namespace
