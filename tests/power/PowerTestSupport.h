#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/2d/Node.h"
#include "engine/platform/Image.h"
#include "model/SpectrumSettings.h"
#include "tests/support/FrameReader.h"
#include "tests/support/GlSceneTest.h"

namespace powertest {

constexpr int kWidth = 480;
constexpr int kHeight = 320;

using Rgb = gltest::Rgb;

// Each test gets a fresh running scene and its own model.
class PowerLayerTestBase : public gltest::GlSceneTest {
  protected:
    std::unique_ptr<SpectrumSettings> model = std::make_unique<SpectrumSettings>();
};

using gltest::FrameReader;

// Pixel at x from the left and y from the BOTTOM (scene coordinates).
Rgb pixelAt(const engine::Image& image, int x, int y);
// Pixels in [x0, x1) x [y0, y1) that are not black.
int countLit(const engine::Image& image, int x0, int y0, int x1, int y1);

}  // namespace powertest
