// One forced utilization grading with 100 access points over 100 sweeps of 256 points, five of
// them selected (each selected one grades eleven candidate channels), as the link thread runs it
// after every merged scan.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"

namespace {

void gradeHundredAccessPoints(benchmark::State& state) {
    SpectrumSettings model;
    model.accessory.rawPoints24 = 256;
    model.accessory.levelMin24 = -90.0f;
    std::mt19937 random(100);
    std::vector<float> row(256);
    for (int s = 0; s < 100; ++s) {
        for (float& v : row) {
            v = -95.0f + static_cast<float>(random() % 60);
        }
        model.band24.appendSweep(row.data(), 256);
    }
    const int bandwidths[] = {20, 20, 40};
    for (int i = 0; i < 100; ++i) {
        auto ap = std::make_unique<AccessPoint>();
        ap->bssid[0] = 0x02;
        ap->bssid[5] = static_cast<uint8_t>(i + 1);
        ap->channel = static_cast<uint16_t>(1 + random() % 13);
        ap->rssi = -90.0f + static_cast<float>(random() % 60);
        ap->bandwidthMHz = bandwidths[random() % 3];
        ap->secondaryChannel = static_cast<int>(random() % 3);
        if (i % 20 == 0) {
            AccessPointSelection::add(model.scanStatistics, ap->bssid);
        }
        model.accessPoints.push_back(std::move(ap));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(UtilizationGrading::run(model, true));
    }
}
BENCHMARK(gradeHundredAccessPoints)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
