// The power view's work: the smoothed vertex list of a 400-sample capture (built once per
// capture), the pulse measurements of a capture, and the main thread's CPU time per 960 x 640
// frame with 20 captures fading on screen. Run under Xvfb or without DISPLAY (the offscreen
// driver).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerLayer.h"
#include "views/power/PowerTraceVertices.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/GridLayer.h"

namespace {

// A noisy pulse train.
std::vector<float> pulses(size_t count, int shift) {
    std::vector<float> capture(count);
    uint32_t seed = 12345u + static_cast<uint32_t>(shift);
    for (size_t j = 0; j < count; ++j) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 24) / 255.f - 0.5f;
        capture[j] = ((j + static_cast<size_t>(shift)) % 40 < 18 ? -12.f : -34.f) + noise;
    }
    return capture;
}

void BM_CaptureVertices400(benchmark::State& state) {
    const std::vector<float> capture = pulses(400, 0);
    std::vector<float> out;
    for (auto _ : state) {
        PowerTraceVertices::buildCapture(capture, 958.f, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_CaptureVertices400)->Unit(benchmark::kMicrosecond);

void BM_PulseMeasurements400(benchmark::State& state) {
    const std::vector<float> capture = pulses(400, 0);
    for (auto _ : state) {
        auto results = PulseMeasurement::measure(capture.data(), capture.size(), 1e-6f);
        benchmark::DoNotOptimize(results);
    }
}
BENCHMARK(BM_PulseMeasurements400)->Unit(benchmark::kMicrosecond);

void BM_TwentyFadingCapturesFrame(benchmark::State& state) {
    auto model = std::make_unique<SpectrumSettings>();
    for (int i = 0; i < 20; ++i) {
        model->accessory.powerTimeBases.push_back(1e-6f * static_cast<float>(i + 1));
    }
    model->accessory.powerRollLimitIndex = 10;
    model->power_setting.powerTimeBaseIndex = 15;
    model->power_setting.persistTime = 20.f;  // nothing expires while measuring
    const uint8_t slots[] = {0, 1, 3, 5, 13, 21};
    std::copy(std::begin(slots), std::end(slots), model->power_setting.measureSlots);
    for (int c = 0; c < 20; ++c) {
        const std::vector<float> capture = pulses(240, c);
        model->live.appendCapture(capture.data(), capture.size());
    }
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(POWER_BENCH_RESOURCE_ROOT);
    engine::FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
    engine::Scene* scene = engine::Scene::create();
    const engine::Rect area(0, 50, 960, 590);
    GridLayer* grid = GridLayer::create();
    grid->setPosition(area.origin);
    grid->setContentSize(area.size);
    grid->rebuildGrid();
    scene->addChild(grid);
    for (engine::Node* layer :
         {static_cast<engine::Node*>(PowerLayer::createWithModel(model.get())),
          static_cast<engine::Node*>(
              PowerUIAndTouchLayer::createWithModel(model.get(), nullptr))}) {
        layer->setPosition(area.origin.x + 1, area.origin.y + 1);
        layer->setContentSize(engine::Size(area.size.width - 2, area.size.height - 2));
        scene->addChild(layer);
    }
    auto* director = engine::Director::getInstance();
    if (director->getRunningScene()) {
        director->replaceScene(scene);
    } else {
        director->runWithScene(scene);
    }
    director->mainLoop(1.f / 60.f);
    for (auto _ : state) {
        director->mainLoop(1.f / 60.f);
    }
    state.counters["captures"] = static_cast<double>(model->live.processedHistory.size());
    director->replaceScene(engine::Scene::create());
    director->mainLoop(0);
}
BENCHMARK(BM_TwentyFadingCapturesFrame)->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    auto* view = engine::GLViewImpl::createWithRect("power_bench", engine::Rect(0, 0, 960, 640));
    if (!view) {
        return 1;
    }
    engine::Director::getInstance()->setOpenGLView(view);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    engine::Director::destroyInstance();
    return 0;
}
