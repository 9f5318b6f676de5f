#include "tests/engine/EngineTestSupport.h"

#include <vector>

namespace enginetest {

using namespace engine;

namespace {

[[maybe_unused]] const bool windowInstalled = gltest::installWindow({.title = "engine_tests",
                                                                     .width = kWidth,
                                                                     .height = kHeight,
                                                                     .resourceRoot = {},
                                                                     .searchPaths = {},
                                                                     .privateDataHome = false});

}  // namespace

Rgba pixelAt(const Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgba{p[0], p[1], p[2], p[3]} : Rgba{0, 0, 0, 0};
}

int countNot(const Image& image, int x0, int y0, int x1, int y1, Rgba colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!(pixelAt(image, x, y) == colour))
                ++count;
        }
    }
    return count;
}

std::string writeQuadrantPng(const std::string& name, int w, int h) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bool right = x >= w / 2, bottom = y >= h / 2;
            unsigned char* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = (!bottom && !right) || (bottom && right) ? 255 : 0;
            p[1] = (!bottom && right) || (bottom && right) ? 255 : 0;
            p[2] = bottom ? 255 : 0;
            p[3] = 255;
        }
    }
    Image image;
    image.initWithRawData(pixels.data(), pixels.size(), w, h, false);
    std::string path = scratchDirectory() + name;
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

}  // namespace enginetest
