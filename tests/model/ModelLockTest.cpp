#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "model/ModelLock.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"

namespace {

// try_lock from a thread that does not hold the lock: true when it was free (and frees it again).
bool isFree(ModelLock& lock) {
    bool free = false;
    std::thread probe([&] {
        free = lock.try_lock();
        if (free) {
            lock.unlock();
        }
    });
    probe.join();
    return free;
}

TEST(ModelLock, ExcludesConcurrentWriters) {
    ModelLock lock;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                std::lock_guard<ModelLock> guard(lock);
                ++counter;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 8000);
}

TEST(ScopedModelLocks, HoldsExactlyTheNamedLocksUntilScopeEnd) {
    auto s = std::make_unique<SpectrumSettings>();
    {
        ScopedModelLocks locks(*s, ScopedModelLocks::kSettings | ScopedModelLocks::kTrace);
        EXPECT_FALSE(isFree(s->traceLock));
        EXPECT_TRUE(isFree(s->apListLock));
        EXPECT_FALSE(isFree(s->settingsLock));
    }
    EXPECT_TRUE(isFree(s->traceLock));
    EXPECT_TRUE(isFree(s->settingsLock));
    {
        ScopedModelLocks all(*s, ScopedModelLocks::kAll);
        EXPECT_FALSE(isFree(s->traceLock));
        EXPECT_FALSE(isFree(s->apListLock));
        EXPECT_FALSE(isFree(s->settingsLock));
    }
    EXPECT_TRUE(isFree(s->apListLock));
}

TEST(ScopedModelLocks, TakesTraceBeforeApListBeforeSettings) {
    auto s = std::make_unique<SpectrumSettings>();
    s->apListLock.lock();  // the guard below must stop here
    std::atomic<bool> done{false};
    std::thread taker([&] {
        ScopedModelLocks locks(*s, ScopedModelLocks::kAll);
        done = true;
    });
    // Wait (without sleeping) until the guard holds traceLock.
    for (;;) {
        if (!s->traceLock.try_lock()) {
            break;
        }
        s->traceLock.unlock();
        std::this_thread::yield();
    }
    EXPECT_FALSE(done);
    // Blocked on apListLock, so settingsLock must not have been taken yet.
    EXPECT_TRUE(isFree(s->settingsLock));
    s->apListLock.unlock();
    taker.join();
    EXPECT_TRUE(done);
    EXPECT_TRUE(isFree(s->traceLock));
    EXPECT_TRUE(isFree(s->apListLock));
    EXPECT_TRUE(isFree(s->settingsLock));
}

TEST(ScopedModelLocks, OverlappingSetsFromManyThreadsNeitherDeadlockNorRace) {
    auto s = std::make_unique<SpectrumSettings>();
    long traceCount = 0;
    long apCount = 0;
    long settingsCount = 0;
    const uint8_t sets[] = {
        ScopedModelLocks::kAll,
        ScopedModelLocks::kSettings | ScopedModelLocks::kTrace,
        ScopedModelLocks::kSettings | ScopedModelLocks::kApList,
        ScopedModelLocks::kApList | ScopedModelLocks::kTrace,
    };
    std::vector<std::thread> threads;
    for (uint8_t which : sets) {
        threads.emplace_back([&, which] {
            for (int i = 0; i < 500; ++i) {
                ScopedModelLocks locks(*s, which);
                if (which & ScopedModelLocks::kTrace) {
                    ++traceCount;
                }
                if (which & ScopedModelLocks::kApList) {
                    ++apCount;
                }
                if (which & ScopedModelLocks::kSettings) {
                    ++settingsCount;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(traceCount, 1500);
    EXPECT_EQ(apCount, 1500);
    EXPECT_EQ(settingsCount, 1500);
}

}  // namespace
