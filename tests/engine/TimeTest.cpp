// Scheduler and actions, driven by fixed frame intervals.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/ActionInterval.h"
#include "engine/2d/Node.h"
#include "engine/base/Scheduler.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

class Ticker : public Node {
  public:
    CREATE_FUNC(Ticker)
    void update(float dt) override {
        ++updates;
        total += dt;
    }
    int updates = 0;
    float total = 0;
};

int g_removed = 0;
using TimeTest = EngineTest;

TEST_F(TimeTest, PerFrameUpdateRunsOnlyWhileTheNodeIsInTheScene) {
    auto* node = Ticker::create();
    node->retain();  // survives the frames before it joins the scene
    node->scheduleUpdate();
    step(3, 0.25f);
    EXPECT_EQ(node->updates, 0);  // not running yet: paused
    scene->addChild(node);
    node->release();
    step(3, 0.25f);
    EXPECT_EQ(node->updates, 3);
    EXPECT_FLOAT_EQ(node->total, 0.75f);
    node->unscheduleUpdate();
    step(2, 0.25f);
    EXPECT_EQ(node->updates, 3);
}

TEST_F(TimeTest, TimersFireOnTheFrameTheirTimeIsReached) {
    auto* node = Ticker::create();
    scene->addChild(node);
    std::vector<std::string> calls;
    node->schedule([&](float) { calls.push_back("tick"); }, 0.5f, "tick");
    node->scheduleOnce([&](float) { calls.push_back("once"); }, 0.3f, "once");
    node->schedule([&](float) { calls.push_back("three"); }, 0.2f, 2, 0, "three");

    step(1, 0.1f);  // 0.1
    EXPECT_TRUE(calls.empty());
    step(1, 0.1f);  // 0.2
    EXPECT_EQ(calls, (std::vector<std::string>{"three"}));
    step(1, 0.1f);  // 0.3
    EXPECT_EQ(calls.back(), "once");
    step(2, 0.1f);  // 0.5
    EXPECT_EQ(calls, (std::vector<std::string>{"three", "once", "three", "tick"}));
    step(5, 0.1f);  // 1.0
    EXPECT_EQ(calls, (std::vector<std::string>{"three", "once", "three", "tick", "three", "tick"}));
    EXPECT_FALSE(node->isScheduled("once"));
    EXPECT_FALSE(node->isScheduled("three"));
    EXPECT_TRUE(node->isScheduled("tick"));

    // A 1/60 s frame drifts nowhere: 60 frames of a one-second timer fire exactly once.
    calls.clear();
    node->unschedule("tick");
    node->schedule([&](float) { calls.push_back("second"); }, 1.0f, "second");
    step(59, 1.f / 60.f);
    EXPECT_TRUE(calls.empty());
    step(1, 1.f / 60.f + 1e-6f);
    EXPECT_EQ(calls.size(), 1u);
    // A long stall gives one call, not a burst.
    step(1, 5.0f);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(TimeTest, CallbacksMayUnscheduleThemselvesAndOthers) {
    auto* node = Ticker::create();
    scene->addChild(node);
    int a = 0, b = 0;
    node->schedule(
        [&](float) {
            ++a;
            node->unschedule("a");
            node->unschedule("b");
        },
        0, "a");
    node->schedule([&](float) { ++b; }, 0, "b");
    step(3);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);

    // Removing the node with clean-up stops its timers.
    node->schedule([&](float) { ++b; }, 0, "b");
    node->removeFromParent();
    step(2);
    EXPECT_EQ(b, 0);
}

TEST_F(TimeTest, IntervalActionsFinishExactlyOnTime) {
    auto* node = Ticker::create();
    scene->addChild(node);
    node->setOpacity(255);
    node->runAction(FadeTo::create(1.0f, 55));
    step(2, 0.25f);
    EXPECT_EQ(node->getOpacity(), 155);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1u);
    step(2, 0.25f);
    EXPECT_EQ(node->getOpacity(), 55);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0u);

    node->runAction(MoveTo::create(0.5f, Vec2(100, 50)));
    step(1, 0.25f);
    EXPECT_EQ(node->getPosition(), Vec2(50, 25));
    step(1, 0.25f);
    EXPECT_EQ(node->getPosition(), Vec2(100, 50));

    node->runAction(FadeIn::create(0.5f));
    step(1, 0.25f);
    EXPECT_EQ(node->getOpacity(), 155);
}

TEST_F(TimeTest, SequencesCarryTimeAcrossTheirSteps) {
    auto* node = Ticker::create();
    scene->addChild(node);
    std::vector<float> calledAt;
    float now = 0;
    node->runAction(Sequence::create(
        DelayTime::create(0.375f), CallFunc::create([&] { calledAt.push_back(now); }),
        MoveTo::create(0.625f, Vec2(10, 0)), CallFunc::create([&] { calledAt.push_back(now); })));
    for (int i = 0; i < 6; ++i) {
        now += 0.25f;
        step(1, 0.25f);
    }
    // The call fires on the frame that passes 0.375 s; the 0.125 s left over counts towards
    // the move, which therefore ends at 1.0 s, not a frame later.
    ASSERT_EQ(calledAt.size(), 2u);
    EXPECT_EQ(calledAt[0], 0.5f);
    EXPECT_EQ(calledAt[1], 1.0f);
    EXPECT_EQ(node->getPosition(), Vec2(10, 0));
    EXPECT_EQ(node->getNumberOfRunningActions(), 0u);
}

TEST_F(TimeTest, RepeatForeverKeepsTurningAndStopsWithTheNode) {
    auto* wheel = Ticker::create();
    wheel->retain();
    wheel->runAction(RepeatForever::create(RotateBy::create(1.5f, 360)));
    step(2, 0.5f);
    EXPECT_EQ(wheel->getRotation(), 0);  // actions wait until the node is on stage
    scene->addChild(wheel);
    wheel->release();
    step(4, 0.5f);  // 2 s: one full turn and a third
    EXPECT_NEAR(wheel->getRotation(), 480, 1e-3);
    EXPECT_EQ(wheel->getNumberOfRunningActions(), 1u);
    wheel->stopAllActions();
    step(1, 0.5f);
    EXPECT_NEAR(wheel->getRotation(), 480, 1e-3);
}

TEST_F(TimeTest, AnActionMayRemoveItsOwnNode) {
    g_removed = 0;
    auto* node = Ticker::create();
    scene->addChild(node);
    node->runAction(Sequence::create(FadeOut::create(0.1f), CallFunc::create([node] {
                                         node->removeFromParent();
                                         ++g_removed;
                                     }),
                                     FadeIn::create(1.0f)));
    step(3, 0.1f);
    EXPECT_EQ(g_removed, 1);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
}

}  // namespace

namespace {

TEST(SchedulerTest, PrioritiesOrderPerFrameUpdatesAndPausingHoldsTimers) {
    Scheduler scheduler;
    std::vector<std::string> order;
    int a = 0, b = 0, c = 0;
    scheduler.schedulePerFrame([&](float) { order.push_back("late"); }, &a, 5, false);
    scheduler.schedulePerFrame([&](float) { order.push_back("early"); }, &b, -5, false);
    scheduler.schedulePerFrame([&](float) { order.push_back("normal"); }, &c, 0, false);
    scheduler.update(0.1f);
    EXPECT_EQ(order, (std::vector<std::string>{"early", "normal", "late"}));

    int fired = 0;
    scheduler.schedule([&](float) { ++fired; }, &a, 0.5f, Scheduler::REPEAT_FOREVER, 0, false, "t");
    scheduler.pauseTarget(&a);
    order.clear();
    for (int i = 0; i < 10; ++i)
        scheduler.update(0.1f);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(std::count(order.begin(), order.end(), "late"), 0);
    scheduler.resumeTarget(&a);
    for (int i = 0; i < 5; ++i)
        scheduler.update(0.1f);
    EXPECT_EQ(fired, 1);  // time spent paused does not count

    // A callback that schedules another one during the update does not break the loop; the new
    // one starts running from the next update.
    int added = 0;
    scheduler.schedulePerFrame(
        [&](float) {
            if (!scheduler.isUpdateScheduled(&added)) {
                scheduler.schedulePerFrame([&](float) { ++added; }, &added, -10, false);
            }
        },
        &fired, 0, false);
    scheduler.update(0.1f);
    EXPECT_EQ(added, 0);
    scheduler.update(0.1f);
    EXPECT_EQ(added, 1);
    scheduler.unscheduleAll();
    scheduler.update(0.1f);
    EXPECT_EQ(added, 1);
}

TEST(SchedulerTest, DelayComesBeforeTheFirstCallAndRepeatCountsExtraCalls) {
    Scheduler scheduler;
    int target = 0;
    std::vector<float> calls;
    float now = 0;
    scheduler.schedule([&](float) { calls.push_back(now); }, &target, 0.25f, 2, 1.0f, false, "k");
    for (int i = 0; i < 12; ++i) {
        now += 0.125f;
        scheduler.update(0.125f);
    }
    EXPECT_EQ(calls, (std::vector<float>{1.0f, 1.25f, 1.5f}));
    EXPECT_FALSE(scheduler.isScheduled("k", &target));
}

}  // namespace
