#pragma once

#include <gtest/gtest.h>

#include "engine/2d/Node.h"
#include "engine/base/EventKeyboard.h"
#include "engine/platform/Image.h"
#include "model/AccessoryControl.h"
#include "tests/support/GlSceneTest.h"

namespace menutest {

constexpr int kWidth = 960;
constexpr int kHeight = 640;

// Counts what the menus ask of the accessory controller.
struct FakeAccessoryControl : AccessoryControl {
    int halts = 0;
    int reconfigures = 0;
    int reconfiguresClearing = 0;
    int resumes = 0;
    int singleSweeps = 0;
    int restarts = 0;
    bool isIdentified = true;
    bool isConnected = false;

    void requestHalt() override { ++halts; }
    void requestReconfigure(bool clearData) override {
        ++reconfigures;
        reconfiguresClearing += clearData;
    }
    void resumeStreaming() override { ++resumes; }
    void requestSingleSweep() override { ++singleSweeps; }
    void restartPlayback() override { ++restarts; }
    bool identified() const override { return isIdentified; }
    bool connected() const override { return isConnected; }
};

class MenuGlTest : public gltest::GlSceneTest {
  protected:
    // Taps the middle of a node (a button) where the window would deliver it.
    void tapNode(const engine::Node* node);
    engine::Vec2 worldCentre(const engine::Node* node) const;
    void pressKey(engine::EventKeyboard::KeyCode key);
};

// The red, green and blue of a pixel, y from the bottom.
gltest::Rgb pixelAt(const engine::Image& image, int x, int y);

}  // namespace menutest
