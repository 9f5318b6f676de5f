#include "tests/power/PowerTestSupport.h"

#include "tests/support/GlTestWindow.h"

namespace powertest {

namespace {

[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "power_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = POWER_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res/desktop/sd", "res", ""},
                           .privateDataHome = false});

}  // namespace

Rgb pixelAt(const engine::Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgb{p[0], p[1], p[2]} : Rgb{0, 0, 0};
}

int countLit(const engine::Image& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!(pixelAt(image, x, y) == Rgb{0, 0, 0})) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace powertest
