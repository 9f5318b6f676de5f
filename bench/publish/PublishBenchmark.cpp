// The published forms of a sweep, and MQTT messages per second through the publisher to a
// broker on this computer. The broker benchmarks need one: bench/publish-rates.sh starts
// mosquitto on a free loopback port and passes it in TARNO_BENCH_BROKER_PORT.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "model/TraceProcessing.h"
#include "publish/MqttPublisher.h"
#include "publish/SweepText.h"

namespace {

SweepRecord sweepOf(int points, uint8_t traces) {
    SweepRecord sweep;
    sweep.timeUs = 1765224098123456u;
    sweep.startHz = 2400000000u;
    sweep.stepHz = 392157u;
    sweep.traceMask = traces;
    for (int i = 0; i < points; ++i)
        sweep.levels.push_back(-90.f + static_cast<float>((i * 37) % 60) * 0.5f);
    for (auto& trace : sweep.traces)
        trace = sweep.levels;
    for (auto& peaks : sweep.peaks)
        peaks = {PeakEntry{3, -40.f}, PeakEntry{9, -45.5f}};
    return sweep;
}

void BM_SweepCsv(benchmark::State& state) {
    const SweepRecord sweep = sweepOf(256, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(SweepText::csv(sweep));
}
BENCHMARK(BM_SweepCsv);

void BM_SweepJsonWithTraces(benchmark::State& state) {
    const SweepRecord sweep =
        sweepOf(256, TraceProcessing::kRawBit | TraceProcessing::kMaxBit |
                         TraceProcessing::kAverageBit | TraceProcessing::kDecayBit);
    for (auto _ : state)
        benchmark::DoNotOptimize(SweepText::json(sweep));
}
BENCHMARK(BM_SweepJsonWithTraces);

// Messages of a 256-point sweep's JSON size, as fast as the publisher takes them without
// dropping: it waits for room in the queue, never sleeping longer than a millisecond.
void BM_MqttMessages(benchmark::State& state) {
    const char* port = std::getenv("TARNO_BENCH_BROKER_PORT");
    if (port == nullptr) {
        state.SkipWithError("no broker: set TARNO_BENCH_BROKER_PORT (bench/publish-rates.sh)");
        return;
    }
    BrokerUrl url;
    std::string error;
    BrokerUrl::parse(
        std::string("mqtt://127.0.0.1:") + port + "/bench?qos=" + std::to_string(state.range(0)),
        url, error);
    MqttPublisher publisher(url);
    if (!publisher.start("bench", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    while (!publisher.connected())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string payload = SweepText::json(sweepOf(256, 0));
    uint64_t published = 0;
    for (auto _ : state) {
        while (publisher.counters().queued >= MqttPublisher::kQueueMessages / 2)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        publisher.publish("sweep/2.4", payload);
        ++published;
    }
    while (publisher.counters().sent + publisher.counters().dropped < published)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    state.counters["dropped"] = static_cast<double>(publisher.counters().dropped);
    state.counters["bytes"] = static_cast<double>(payload.size());
    state.SetItemsProcessed(static_cast<int64_t>(published));
    publisher.stop(std::chrono::seconds(5));
}
BENCHMARK(BM_MqttMessages)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(100000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
