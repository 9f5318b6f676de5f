#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "engine/2d/Scene.h"
#include "engine/platform/Image.h"

namespace gltest {

constexpr float kFrameInterval = 1.f / 60.f;

// A drawn colour; alpha is left out, since the window's own alpha means nothing.
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

// Each test gets a fresh running scene in the program's one window; time moves only by the
// fixed frames a test steps.
class GlSceneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    // The test's scene leaves the stage before the fixture's members go: its layers may read
    // them until then.
    void TearDown() override;

    // Runs one frame of dt and returns what it drew, the size of the window's frame.
    engine::Image renderFrame(float dt = kFrameInterval);
    // Advances time (scheduler, actions, drawing) by `frames` frames of dt.
    void step(int frames, float dt = kFrameInterval);

    // Touches in scene coordinates (origin at the bottom-left), delivered as the window would.
    void touchBegan(intptr_t id, float x, float y);
    void touchMoved(intptr_t id, float x, float y);
    void touchEnded(intptr_t id, float x, float y);
    void touchCancelled(intptr_t id, float x, float y);
    void tap(float x, float y);
    // The window's own SDL events, at scene coordinates: a wheel turn of whole notches (y
    // positive away from the user), the pointer moving with no button down, and a key pressed
    // and released with SDL modifier bits (KMOD_*) held.
    void wheel(float x, float y, int notchesY, int notchesX = 0, uint16_t modifiers = 0);
    void pointerMove(float x, float y);
    void sdlKey(int sdlKeycode, uint16_t modifiers = 0);

    engine::Scene* scene = nullptr;
};

// The four bytes of the pixel at x from the left and y from the BOTTOM (scene coordinates);
// nullptr outside the image.
const uint8_t* pixelBytes(const engine::Image& image, int x, int y);

}  // namespace gltest
