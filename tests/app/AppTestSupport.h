#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "engine/2d/Scene.h"
#include "engine/platform/Image.h"
#include "tests/support/GlSceneTest.h"

namespace apptest {

constexpr int kWidth = 960;
constexpr int kHeight = 640;
constexpr float kDt = gltest::kFrameInterval;

struct Rgb {
    int r, g, b;
    bool near(const Rgb& o, int tolerance = 1) const {
        return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance &&
               std::abs(b - o.b) <= tolerance;
    }
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// One 960 x 640 window for the whole program (off screen when there is no display), resources
// from the build tree, the store in a scratch XDG data directory.
using AppGlTest = gltest::GlSceneTest;

// Pixel at x from the left and y from the bottom.
Rgb pixelAt(const engine::Image& image, int x, int y);
// Pixels in [x0, x1) x [y0, y1) that are not black.
int countLit(const engine::Image& image, int x0, int y0, int x1, int y1);

}  // namespace apptest
