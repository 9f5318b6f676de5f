#include "tests/support/GlSceneTest.h"

#include <SDL2/SDL.h>

#include "engine/base/AutoreleasePool.h"
#include "engine/base/Director.h"
#include "engine/base/Utils.h"
#include "engine/platform/GLView.h"

namespace gltest {

using namespace engine;

namespace {

// Window coordinates run downwards from the top.
float windowY(float sceneY) {
    return Director::getInstance()->getOpenGLView()->getFrameSize().height - sceneY;
}

}  // namespace

void GlSceneTest::SetUp() {
    ASSERT_NE(Director::getInstance()->getOpenGLView(), nullptr);
    scene = Scene::create();
    if (Director::getInstance()->getRunningScene()) {
        Director::getInstance()->replaceScene(scene);
        step(1, 0);
    } else {
        Director::getInstance()->runWithScene(scene);
    }
}

void GlSceneTest::TearDown() {
    Director::getInstance()->getOpenGLView()->cancelAllTouches();
    Director::getInstance()->replaceScene(Scene::create());
    step(1, 0);
    // Drop objects the test created but never attached.
    AutoreleasePool::getInstance()->clear();
}

Image GlSceneTest::renderFrame(float dt) {
    Image image;
    Director::getInstance()->addAfterDrawCallback(
        [&image]() { utils::captureFramebuffer(&image); });
    Director::getInstance()->mainLoop(dt);
    const Size frame = Director::getInstance()->getOpenGLView()->getFrameSize();
    EXPECT_EQ(image.getWidth(), static_cast<int>(frame.width));
    EXPECT_EQ(image.getHeight(), static_cast<int>(frame.height));
    return image;
}

void GlSceneTest::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        Director::getInstance()->mainLoop(dt);
}

void GlSceneTest::touchBegan(intptr_t id, float x, float y) {
    float wy = windowY(y);
    Director::getInstance()->getOpenGLView()->handleTouchesBegin(1, &id, &x, &wy);
}

void GlSceneTest::touchMoved(intptr_t id, float x, float y) {
    float wy = windowY(y);
    Director::getInstance()->getOpenGLView()->handleTouchesMove(1, &id, &x, &wy);
}

void GlSceneTest::touchEnded(intptr_t id, float x, float y) {
    float wy = windowY(y);
    Director::getInstance()->getOpenGLView()->handleTouchesEnd(1, &id, &x, &wy);
}

void GlSceneTest::touchCancelled(intptr_t id, float x, float y) {
    float wy = windowY(y);
    Director::getInstance()->getOpenGLView()->handleTouchesCancel(1, &id, &x, &wy);
}

void GlSceneTest::tap(float x, float y) {
    touchBegan(0, x, y);
    touchEnded(0, x, y);
}

void GlSceneTest::wheel(float x, float y, int notchesY, int notchesX, uint16_t modifiers) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.x = notchesX;
    e.wheel.y = notchesY;
    e.wheel.mouseX = static_cast<int>(x);
    e.wheel.mouseY = static_cast<int>(windowY(y));
    const SDL_Keymod before = SDL_GetModState();
    SDL_SetModState(static_cast<SDL_Keymod>(modifiers));
    Director::getInstance()->getOpenGLView()->handleEvent(e);
    SDL_SetModState(before);
}

void GlSceneTest::pointerMove(float x, float y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<int>(x);
    e.motion.y = static_cast<int>(windowY(y));
    Director::getInstance()->getOpenGLView()->handleEvent(e);
}

void GlSceneTest::sdlKey(int sdlKeycode, uint16_t modifiers) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sdlKeycode;
    e.key.keysym.mod = modifiers;
    Director::getInstance()->getOpenGLView()->handleEvent(e);
    e.type = SDL_KEYUP;
    Director::getInstance()->getOpenGLView()->handleEvent(e);
}

const uint8_t* pixelBytes(const Image& image, int x, int y) {
    const int row = image.getHeight() - 1 - y;
    if (x < 0 || y < 0 || x >= image.getWidth() || row < 0)
        return nullptr;
    return image.getData() + (static_cast<size_t>(row) * image.getWidth() + x) * 4;
}

}  // namespace gltest
