#include "tests/engine-ui/UiTestSupport.h"

#include <vector>

#include "tests/support/GlTestWindow.h"

namespace uitest {

using namespace engine;

namespace {

// Fonts come from the build tree's resource root, as the program finds them.
[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "engine_ui_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = UI_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res", ""},
                           .privateDataHome = false});

}  // namespace

Rgb pixelAt(const Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgb{p[0], p[1], p[2]} : Rgb{0, 0, 0};
}

int countColour(const Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (pixelAt(image, x, y) == colour)
                ++count;
        }
    }
    return count;
}

std::string writePng(const std::string& name, int w, int h,
                     const std::function<Rgb(int x, int y)>& paint) {
    return writeRgbaPng(name, w, h, [&paint](int x, int y, uint8_t rgba[4]) {
        Rgb c = paint(x, y);
        rgba[0] = c.r;
        rgba[1] = c.g;
        rgba[2] = c.b;
        rgba[3] = 255;
    });
}

std::string writeRgbaPng(const std::string& name, int w, int h,
                         const std::function<void(int x, int y, uint8_t rgba[4])>& paint) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            paint(x, y, &pixels[(static_cast<size_t>(y) * w + x) * 4]);
    }
    Image image;
    image.initWithRawData(pixels.data(), pixels.size(), w, h, false);
    std::string path = gltest::scratchDirectory() + name;
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

std::string writeSolidPng(const std::string& name, int w, int h, Rgb colour) {
    return writePng(name, w, h, [colour](int, int) { return colour; });
}

}  // namespace uitest
