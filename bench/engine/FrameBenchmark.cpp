// Cost of one frame of a scene about as busy as the spectrum view: 2000 draw-node segments,
// 50 labels and 20 sprites, in a 960 x 640 window. Run under Xvfb or without DISPLAY (the
// offscreen driver). CPU time is the main thread's; real time includes waiting for llvmpipe.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Scene.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "engine/renderer/Texture2D.h"

using namespace engine;

namespace {

struct BusyScene {
    DrawNode* traces = nullptr;
    std::vector<Vec2> points;
};

bool openWindow() {
    static bool open = false;
    if (open)
        return true;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    auto* view = GLViewImpl::createWithRect("engine_bench", Rect(0, 0, 960, 640));
    if (!view)
        return false;
    Director::getInstance()->setOpenGLView(view);
    FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
    open = true;
    return true;
}

void fillTraces(BusyScene& s, int frame) {
    s.traces->clear();
    // 2000 segments: four polylines of 500 segments each.
    for (int trace = 0; trace < 4; ++trace) {
        for (int i = 0; i <= 500; ++i) {
            float y = 300 + 100 * std::sin(0.05f * i + trace + 0.1f * frame) + trace * 20;
            s.points[i] = Vec2(i * 958.f / 500 + 1, y);
        }
        s.traces->drawPoly(s.points.data(), 501, false, Color4F(1, 1 - 0.2f * trace, 0, 1));
    }
}

BusyScene buildScene() {
    BusyScene s;
    auto* scene = Scene::create();
    s.traces = DrawNode::create(2);
    s.points.resize(501);
    fillTraces(s, 0);
    scene->addChild(s.traces);

    std::vector<unsigned char> pixels(32 * 32 * 4, 200);
    auto* texture = new Texture2D();
    texture->initWithData(pixels.data(), pixels.size(), Texture2D::PixelFormat::RGBA8888, 32, 32,
                          Size(32, 32));
    texture->autorelease();
    for (int i = 0; i < 20; ++i) {
        auto* sprite = Sprite::createWithTexture(texture);
        sprite->setPosition(40 + i * 45, 600);
        sprite->setScale(0.5f);
        scene->addChild(sprite);
    }
    for (int i = 0; i < 50; ++i) {
        auto* label = Label::createWithTTF("@dBm: -" + std::to_string(40 + i) + ".25dBm",
                                           "fonts/roboto/Roboto-Regular.ttf", 15);
        if (!label)
            continue;
        label->setPosition(100 + (i % 5) * 180, 40 + (i / 5) * 22);
        scene->addChild(label);
    }
    Director::getInstance()->replaceScene(scene);
    Director::getInstance()->mainLoop(1.f / 60.f);
    return s;
}

// Drawing the scene, as if something changed every frame.
void BM_FrameStaticScene(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no OpenGL 3.3 context");
        return;
    }
    buildScene();
    Director::getInstance()->setRedrawEveryFrame(true);
    for (auto _ : state)
        Director::getInstance()->mainLoop(1.f / 60.f);
    Director::getInstance()->setRedrawEveryFrame(false);
}
BENCHMARK(BM_FrameStaticScene)->Unit(benchmark::kMillisecond);

// The same scene left alone: the frame runs time and skips drawing.
void BM_FrameStaticSceneUnchanged(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no OpenGL 3.3 context");
        return;
    }
    buildScene();
    for (auto _ : state)
        Director::getInstance()->mainLoop(1.f / 60.f);
    if (Director::getInstance()->needsRedraw())
        state.SkipWithError("the unchanged scene kept itself stale");
}
BENCHMARK(BM_FrameStaticSceneUnchanged)->Unit(benchmark::kMicrosecond);

void BM_FrameTracesRebuiltEachFrame(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no OpenGL 3.3 context");
        return;
    }
    BusyScene s = buildScene();
    int frame = 0;
    for (auto _ : state) {
        fillTraces(s, ++frame);
        Director::getInstance()->mainLoop(1.f / 60.f);
    }
}
BENCHMARK(BM_FrameTracesRebuiltEachFrame)->Unit(benchmark::kMillisecond);

void BM_TraceGeometryOnly(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no OpenGL 3.3 context");
        return;
    }
    BusyScene s = buildScene();
    int frame = 0;
    for (auto _ : state)
        fillTraces(s, ++frame);
}
BENCHMARK(BM_TraceGeometryOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
