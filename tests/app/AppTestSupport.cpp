#include "tests/app/AppTestSupport.h"

#include "tests/support/GlTestWindow.h"

namespace apptest {

using namespace engine;

namespace {

[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "app_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = APP_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res/desktop/sd", "res", ""},
                           .privateDataHome = true});

}  // namespace

Rgb pixelAt(const Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgb{p[0], p[1], p[2]} : Rgb{-1, -1, -1};
}

int countLit(const Image& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += !(pixelAt(image, x, y) == Rgb{0, 0, 0});
    return count;
}

}  // namespace apptest
