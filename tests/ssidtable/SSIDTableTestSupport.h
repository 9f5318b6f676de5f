#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/platform/Image.h"
#include "model/AccessPoint.h"
#include "model/SpectrumSettings.h"
#include "tests/support/GlSceneTest.h"

namespace ssidtabletest {

constexpr int kWidth = 960;
constexpr int kHeight = 640;

using Rgb = gltest::Rgb;

Rgb pixelAt(const engine::Image& image, int x, int y);

// An access point with a name, a level and a distinct address.
std::unique_ptr<AccessPoint> makeAccessPoint(const std::string& name, float rssi, int channel = 6,
                                             int is5GHz = 0);

// Each test gets a fresh scene and its own model, laid out for a large display.
class SSIDTableGlTest : public gltest::GlSceneTest {
  protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        model->runtime.displayClass = 3;
    }
    std::unique_ptr<SpectrumSettings> model = std::make_unique<SpectrumSettings>();
};

}  // namespace ssidtabletest
