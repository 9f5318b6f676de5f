#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/platform/Image.h"
#include "tests/support/GlSceneTest.h"
#include "tests/support/GlTestWindow.h"

namespace enginetest {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr float kDt = gltest::kFrameInterval;

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgba& c) {
    return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

using EngineTest = gltest::GlSceneTest;
using gltest::scratchDirectory;

// Pixel at x from the left and y from the BOTTOM (scene coordinates).
Rgba pixelAt(const engine::Image& image, int x, int y);
// Count of pixels in [x0, x1) x [y0, y1) (scene coordinates) differing from the colour.
int countNot(const engine::Image& image, int x0, int y0, int x1, int y1, Rgba colour);
// Writes a w x h PNG whose four quadrants are red (top-left), green (top-right), blue
// (bottom-left) and white (bottom-right), all opaque.
std::string writeQuadrantPng(const std::string& name, int w, int h);

}  // namespace enginetest
