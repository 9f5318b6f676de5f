#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "engine/2d/Scene.h"
#include "engine/platform/Image.h"
#include "model/SpectrumSettings.h"
#include "tests/support/GlSceneTest.h"

namespace spectrumtest {

constexpr int kWidth = 480;
constexpr int kHeight = 320;
constexpr float kDt = gltest::kFrameInterval;

using Rgb = gltest::Rgb;

// Each test gets a fresh running scene and its own model.
class SpectrumLayerTest : public gltest::GlSceneTest {
  protected:
    std::unique_ptr<SpectrumSettings> model = std::make_unique<SpectrumSettings>();
};

// Pixel at x from the left and y from the BOTTOM (scene coordinates).
Rgb pixelAt(const engine::Image& image, int x, int y);
// Pixels in [x0, x1) x [y0, y1) that are not black.
int countLit(const engine::Image& image, int x0, int y0, int x1, int y1);
// Where the snapshots for people to look at go (the test's working directory).
std::string snapshotPath(const std::string& name);

}  // namespace spectrumtest
