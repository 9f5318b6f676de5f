// Start-up of the application to its first drawn frame, and the main thread's CPU time per frame
// while the demonstration plays. Run under Xvfb or without DISPLAY (the offscreen driver). The
// store goes to a scratch XDG data directory, never the user's.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/AppDelegate.h"
#include "engine/base/Director.h"

using namespace engine;

namespace {

constexpr float kDt = 1.f / 60.f;

// Launch, one frame drawn and finished by the GL, orderly end.
void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto app = std::make_unique<AppDelegate>();
        app->initGLContextAttrs();
        if (!app->applicationDidFinishLaunching()) {
            state.SkipWithError("start-up failed");
            return;
        }
        Director::getInstance()->mainLoop(kDt);
        glFinish();
        state.PauseTiming();
        app->shutdown();
        app.reset();
        Director::destroyInstance();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// One frame of the running application in demonstration mode: the worker plays recorded packets
// into the model meanwhile. CPU time is the main thread's.
void BM_DemoFrame(benchmark::State& state) {
    auto app = std::make_unique<AppDelegate>();
    app->initGLContextAttrs();
    if (!app->applicationDidFinishLaunching()) {
        state.SkipWithError("start-up failed");
        return;
    }
    // Let the demonstration get going.
    for (int i = 0; i < 120; ++i)
        Director::getInstance()->mainLoop(kDt);
    for (auto _ : state)
        Director::getInstance()->mainLoop(kDt);
    app->shutdown();
    app.reset();
    Director::destroyInstance();
}
BENCHMARK(BM_DemoFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const auto scratch =
        std::filesystem::temp_directory_path() / ("app_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    setenv("XDG_DATA_HOME", scratch.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(scratch);
    return 0;
}
