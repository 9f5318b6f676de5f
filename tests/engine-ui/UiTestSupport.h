#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/platform/Image.h"
#include "tests/support/GlSceneTest.h"

namespace uitest {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr float kDt = gltest::kFrameInterval;

using Rgb = gltest::Rgb;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGrey{128, 128, 128};

using UiTest = gltest::GlSceneTest;

// Pixel at x from the left and y from the BOTTOM.
Rgb pixelAt(const engine::Image& image, int x, int y);
// Pixels in [x0, x1) x [y0, y1) that have exactly this colour.
int countColour(const engine::Image& image, int x0, int y0, int x1, int y1, Rgb colour);
// Writes a w x h opaque PNG whose pixel (x, y) (y from the TOP, as in the file) is paint(x, y);
// returns its absolute path.
std::string writePng(const std::string& name, int w, int h,
                     const std::function<Rgb(int x, int y)>& paint);
// The same with transparency: paint writes r, g, b, a (straight alpha).
std::string writeRgbaPng(const std::string& name, int w, int h,
                         const std::function<void(int x, int y, uint8_t rgba[4])>& paint);
std::string writeSolidPng(const std::string& name, int w, int h, Rgb colour);

}  // namespace uitest
