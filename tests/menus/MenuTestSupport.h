#pragma once

#include <gtest/gtest.h>

#include "engine/2d/Node.h"
#include "engine/base/EventKeyboard.h"
#include "engine/platform/Image.h"
#include "tests/support/FakeAccessoryControl.h"
#include "tests/support/GlSceneTest.h"

namespace menutest {

constexpr int kWidth = 960;
constexpr int kHeight = 640;

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
