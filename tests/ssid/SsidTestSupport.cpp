#include "tests/ssid/SsidTestSupport.h"

#include "tests/support/GlTestWindow.h"

namespace ssidtest {

namespace {

[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "ssid_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = SSID_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res/desktop/sd", "res", ""},
                           .privateDataHome = false});

}  // namespace

Rgb pixelAt(const engine::Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? Rgb{p[0], p[1], p[2]} : Rgb{0, 0, 0};
}

int countColour(const engine::Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (pixelAt(image, x, y) == colour) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace ssidtest
