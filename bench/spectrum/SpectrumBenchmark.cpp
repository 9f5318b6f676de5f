// The spectrum view's per-frame work: trace processing of both bands at the largest windows the
// settings allow, the heat-map picture, the waterfall picture against a plain copy of as many
// bytes, and the main thread's CPU time per frame of the real-wave and waterfall views while the
// demonstration plays. Run under Xvfb or without DISPLAY (the offscreen driver).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/HeatMapPixels.h"
#include "views/spectrum/Palette.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallPicture.h"
#include "views/spectrum/WaterfallPixels.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

namespace {

// A full history of noisy sweeps.
void fill(BandSweepBuffers& band) {
    const int n = band.pointsPerSweep();
    std::vector<float> row(static_cast<size_t>(n));
    uint32_t seed = 12345;
    for (int s = 0; s < band.sweepLimit; ++s) {
        for (int i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            row[static_cast<size_t>(i)] = -90.f + static_cast<float>(seed >> 24) * 0.25f;
        }
        band.appendSweep(row.data(), n);
    }
}

// Both bands, five traces, hold 3 s and average 4 s of 0.1 s sweeps: windows of 30 and 40.
void BM_ProcessSweepsBothBands(benchmark::State& state) {
    auto model = std::make_unique<SpectrumSettings>();
    fill(model->band24);
    fill(model->band5);
    TraceProcessing::Settings settings;
    settings.sweepPeriod = 0.1f;
    settings.holdTime = 3.f;
    settings.averageTime = 4.f;
    TraceProcessing::processBand(model->band24, settings);  // seeded
    TraceProcessing::processBand(model->band5, settings);
    for (auto _ : state) {
        model->band24.newSweep = true;
        model->band5.newSweep = true;
        TraceProcessing::processBand(model->band24, settings);
        TraceProcessing::processBand(model->band5, settings);
        benchmark::DoNotOptimize(model->band5.traces[4].data());
    }
}
BENCHMARK(BM_ProcessSweepsBothBands)->Unit(benchmark::kMicrosecond);

// The largest heat map: 512 points × 256 level rows.
void BM_HeatMapPictures(benchmark::State& state) {
    HeatMap grid;
    grid.columns = 512;
    grid.rows = 256;
    grid.counts.resize(512 * 256);
    for (size_t i = 0; i < grid.counts.size(); ++i)
        grid.counts[i] = static_cast<uint16_t>((i * 2654435761u) >> 29);
    std::vector<uint8_t> smooth(HeatMapPixels::kBufferBytes), crisp(HeatMapPixels::kBufferBytes);
    std::vector<uint16_t> sums;
    for (auto _ : state) {
        HeatMapPixels::build(grid, 0, smooth.data(), crisp.data(), smooth.size(), sums);
        benchmark::DoNotOptimize(smooth.data());
    }
}
BENCHMARK(BM_HeatMapPictures)->Unit(benchmark::kMicrosecond);

// 500 rows of 512 points painted from scratch (new thresholds or palette), against a memcpy of
// the same 1,024,000 bytes.
void BM_WaterfallPicture(benchmark::State& state) {
    BandSweepBuffers band(512);
    fill(band);
    const Palette palette = Palette::makeWaterfallRainbowPalette();
    std::vector<uint8_t> pixels(WaterfallPixels::kBufferBytes);
    WaterfallPixels::Region region;
    for (auto _ : state) {
        WaterfallPixels::build(band, 1000, -85.f, -37.f, palette, pixels.data(), pixels.size(),
                               region);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * 500 * 512 * 4);
}
BENCHMARK(BM_WaterfallPicture)->Unit(benchmark::kMicrosecond);

// What a new sweep costs the scrolling picture: one painted row and a move of the other 499.
// Appending the sweep to the history is the link's work and is left out of the time.
void BM_WaterfallPictureNewSweep(benchmark::State& state) {
    BandSweepBuffers band(512);
    fill(band);
    std::vector<float> sweep(band.sweep(0), band.sweep(0) + 512);
    const Palette palette = Palette::makeWaterfallRainbowPalette();
    WaterfallPicture picture;
    picture.refresh(band, 1000, -85.f, -37.f, palette);
    for (auto _ : state) {
        band.appendSweep(sweep.data(), 512);
        const auto start = std::chrono::steady_clock::now();
        picture.refresh(band, 1000, -85.f, -37.f, palette);
        benchmark::DoNotOptimize(picture.data());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(state.iterations() * 500 * 512 * 4);
}
BENCHMARK(BM_WaterfallPictureNewSweep)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_MemcpyOfAWaterfall(benchmark::State& state) {
    std::vector<uint8_t> from(500 * 512 * 4, 7), to(500 * 512 * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 500 * 512 * 4);
}
BENCHMARK(BM_MemcpyOfAWaterfall)->Unit(benchmark::kMicrosecond);

// One 960 × 640 frame of a view over the demonstration; the recordings are played between
// frames (a worker pass every sixth frame) outside the measured time, as the worker thread
// would. CPU time is the main thread's.
// Frames of the demonstration with a sweep every sixth frame. As the application runs, frames
// without a new sweep skip drawing; drawEveryFrame measures the drawing itself.
void demoFrames(benchmark::State& state, bool waterfall, bool drawEveryFrame) {
    auto model = std::make_unique<SpectrumSettings>();
    model->spectrum_settings.viewMode = waterfall ? 1 : 0;
    model->spectrum_settings.traceModes[0] = 6;
    model->spectrum_settings.traceModes[1] = 1;
    model->spectrum_settings.traceModes[2] = 4;
    model->cursors.cursorsShown = 1;
    ManualClock clock(1000);
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(SPECTRUM_BENCH_RESOURCE_ROOT);
    engine::FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
    FileResourceReader resources(SPECTRUM_BENCH_RESOURCE_ROOT);
    AccessoryCommunicationDelegate::Options options;
    options.resources = &resources;
    options.clock = &clock;
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(*model, options);

    engine::Scene* scene = engine::Scene::create();
    const engine::Rect area(0, 50, 960, 590);
    GridLayer* grid = GridLayer::create();
    grid->setPosition(area.origin);
    grid->setContentSize(area.size);
    grid->rebuildGrid();
    scene->addChild(grid);
    auto place = [&](engine::Node* layer) {
        layer->setPosition(area.origin.x + 1, area.origin.y + 1);
        layer->setContentSize(engine::Size(area.size.width - 2, area.size.height - 2));
        scene->addChild(layer);
    };
    if (waterfall) {
        WaterfallLayer* layer = WaterfallLayer::createWithModel(model.get());
        layer->showBand5 = false;
        place(layer);
        auto* handles = WaterfallThresholdAndTouchLayer::createWithModel(model.get());
        handles->showBand5 = false;
        place(handles);
    } else {
        RssiLayer* layer = RssiLayer::createWithModel(model.get());
        layer->showBand5 = false;
        place(layer);
    }
    auto* director = engine::Director::getInstance();
    if (director->getRunningScene())
        director->replaceScene(scene);
    else
        director->runWithScene(scene);
    director->setRedrawEveryFrame(drawEveryFrame);
    int frame = 0;
    auto pass = [&]() {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller.runPass();
    };
    for (int i = 0; i < 120; ++i) {
        if (i % 6 == 0)
            pass();
        director->mainLoop(1.f / 60.f);
    }
    for (auto _ : state) {
        if (++frame % 6 == 0) {
            state.PauseTiming();
            pass();
            state.ResumeTiming();
        }
        director->mainLoop(1.f / 60.f);
    }
    director->setRedrawEveryFrame(false);
    director->replaceScene(engine::Scene::create());
    director->mainLoop(0);
}

void BM_RealWaveDemoFrame(benchmark::State& state) {
    demoFrames(state, false, false);
}
BENCHMARK(BM_RealWaveDemoFrame)->Unit(benchmark::kMicrosecond);

void BM_RealWaveDemoFrameDrawn(benchmark::State& state) {
    demoFrames(state, false, true);
}
BENCHMARK(BM_RealWaveDemoFrameDrawn)->Unit(benchmark::kMicrosecond);

void BM_WaterfallDemoFrame(benchmark::State& state) {
    demoFrames(state, true, false);
}
BENCHMARK(BM_WaterfallDemoFrame)->Unit(benchmark::kMicrosecond);

void BM_WaterfallDemoFrameDrawn(benchmark::State& state) {
    demoFrames(state, true, true);
}
BENCHMARK(BM_WaterfallDemoFrameDrawn)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    auto* view = engine::GLViewImpl::createWithRect("spectrum_bench", engine::Rect(0, 0, 960, 640));
    if (!view)
        return 1;
    engine::Director::getInstance()->setOpenGLView(view);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    engine::Director::destroyInstance();
    return 0;
}
