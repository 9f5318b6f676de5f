// The controller with its real worker thread and the link's real I/O thread, the test's thread
// acting as the main thread. Time is still a manual clock: the worker steps it at the end of each
// pass once the link has moved everything, so the threads interleave freely but nothing waits on
// wall-clock time. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/controller/ControllerTestSupport.h"

namespace {

// Polls `done` from the test thread, yielding between tries. The limit only keeps a broken build
// from hanging the test run; nothing is asserted about how long it takes.
template <typename Done>
bool eventually(Done done) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// The main thread's look at a band, after the frame hand-over the window makes every frame.
int sweeps(AccessoryCommunicationDelegate& controller, SpectrumSettings& model,
           BandSweepBuffers& band) {
    controller.deliverFrames();
    std::lock_guard<ModelLock> guard(model.traceLock);
    return band.sweepCount();
}

}  // namespace

TEST(ControllerThreads, WorkerAndLinkThreadsStreamReconfigureAndStop) {
    for (SimGeneration generation : {SimGeneration::Tarno, SimGeneration::TarnoDuo}) {
        std::FILE* console = std::tmpfile();
        ManualClock clock(1000);
        SpectrumSettings model;
        DataLogFile log("/nonexistent-tarno-dir/", &clock, fixedLocalTime);
        FakeUsbBackend bus;
        auto endpoints = std::make_shared<SimEndpoints>(generation, clock);
        int id = bus.addAccessory();
        bus.modify(id, [&](FakeUsbBackend::Device& d) { d.endpoints = endpoints; });
        AccessoryCommunication link(bus, console);
        std::atomic<bool> stopping{false};

        AccessoryCommunicationDelegate::Options options;
        options.clock = &clock;
        options.dataLog = &log;
        options.console = console;
        options.waitUntil = [&](uint64_t until) {
            while (!stopping && (link.queuedPackets() > 0 || endpoints->pending() > 0)) {
                std::this_thread::yield();
            }
            if (clock.nowMilliseconds() < until) {
                clock.set(until);
            }
            std::this_thread::yield();
        };
        AccessoryCommunicationDelegate controller(model, options);
        ASSERT_TRUE(controller.workerRunning());
        controller.bind(link);
        link.start();

        ASSERT_TRUE(eventually([&] { return sweeps(controller, model, model.band24) >= 10; }))
            << generationProfile(generation).folder;
        {
            std::lock_guard<ModelLock> guard(model.traceLock);
            EXPECT_EQ(model.band24.heatMap.columns, model.band24.sweepPointCount);
        }
        // The main thread's view of the access-point list and settings while the threads run.
        model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
        controller.requestReconfigure(true);
        const int acks = controller.ackCount();
        ASSERT_TRUE(eventually([&] { return controller.ackCount() > acks; }));
        ASSERT_TRUE(eventually([&] { return sweeps(controller, model, model.band24) >= 5; }));
        // The log's folder does not exist: the link thread stops the log and flags it for the
        // main thread's alert.
        EXPECT_EQ(model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
        EXPECT_TRUE(model.runtime.dataLogFailed.exchange(false));

        stopping = true;
        controller.stopWorker();
        EXPECT_FALSE(controller.workerRunning());
        link.stop();
        // The disconnection reaches the model with the main thread's next hand-over.
        controller.deliverFrames();
        EXPECT_FALSE(model.runtime.deviceConnected);
        EXPECT_EQ(model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
        std::fclose(console);
    }
}

TEST(ControllerThreads, PlaybackOnTheWorkerWhileTheMainThreadReads) {
    const MemoryResources& files = MemoryResources::recordings(SimGeneration::Tarno2);
    ManualClock clock(1000);
    SpectrumSettings model;
    model.demo.hardware = 1;
    DataLogFile log("/nonexistent-tarno-dir/", &clock, fixedLocalTime);
    AccessoryCommunicationDelegate::Options options;
    options.resources = &files;
    options.clock = &clock;
    options.dataLog = &log;
    options.waitUntil = [&](uint64_t until) {
        if (clock.nowMilliseconds() < until) {
            clock.set(until);
        }
        std::this_thread::yield();
    };
    AccessoryCommunicationDelegate controller(model, options);
    size_t seen = 0;
    ASSERT_TRUE(eventually([&] {
        const int stored = sweeps(controller, model, model.band24);
        std::lock_guard<ModelLock> guard(model.apListLock);
        seen = model.accessPoints.size();
        return seen >= 5 && stored >= 20;
    }));
    controller.requestReconfigure(true);
    controller.stopWorker();
    EXPECT_TRUE(controller.identified());
}

TEST(ControllerThreads, RequestsFromTheMainThreadAreNeverLostToAPassUnderWay) {
    std::FILE* console = std::tmpfile();
    ManualClock clock(1000);
    SpectrumSettings model;
    model.spectrum_settings.ssidScanOn = 0;
    DataLogFile log("/nonexistent-tarno-dir/", &clock, fixedLocalTime);
    std::atomic<uint64_t> passes{0};
    AccessoryCommunicationDelegate::Options options;
    options.resources = &MemoryResources::recordings(SimGeneration::TarnoDuo);
    options.clock = &clock;
    options.dataLog = &log;
    options.console = console;
    options.waitUntil = [&](uint64_t until) {
        if (clock.nowMilliseconds() < until) {
            clock.set(until);
        }
        ++passes;
        std::this_thread::yield();
    };
    using Phase = AccessoryCommunicationDelegate::Phase;
    AccessoryCommunicationDelegate controller(model, options);
    auto streaming = [&] {
        return controller.identified() && controller.phase() == Phase::kRequest;
    };
    ASSERT_TRUE(eventually(streaming));

    // The main thread hammers every request while the worker runs its passes; the last one
    // restarts the demonstration.
    std::thread ui([&] {
        for (int i = 0; i < 5000; ++i) {
            switch (i % 5) {
                case 0:
                    controller.requestHalt();
                    break;
                case 1:
                    controller.requestReconfigure(i % 2 == 0);
                    break;
                case 2:
                    controller.resumeStreaming();
                    break;
                case 3:
                    controller.requestSingleSweep();
                    break;
                default:
                    controller.restartPlayback();
                    break;
            }
            (void)controller.identified();
        }
    });
    ui.join();
    ASSERT_TRUE(
        eventually([&] { return controller.requestsTaken() == controller.requestsPosted(); }));
    EXPECT_GE(controller.requestsPosted(), 1000u);  // every restart at least
    ASSERT_TRUE(eventually(streaming));

    // A pause made while passes run holds: no pass overwrites it.
    const uint64_t before = passes;
    controller.requestHalt();
    ASSERT_TRUE(eventually([&] { return passes >= before + 3; }));
    EXPECT_EQ(controller.phase(), Phase::kHalted);
    controller.stopWorker();
    EXPECT_EQ(controller.requestsTaken(), controller.requestsPosted());
    std::fclose(console);
}
