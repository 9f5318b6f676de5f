#include "menus/ScreenLog.h"

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

class ScreenLogTest : public AppGlTest {
  protected:
    ScreenLog* addLog() {
        ScreenLog* log = ScreenLog::create();
        log->setWallClock([this]() { return nowMs.load(); });
        log->setLevelMask(31);
        log->setTimeoutMilliseconds(15000);
        scene->addChild(log, 95);
        return log;
    }
    std::atomic<uint64_t> nowMs{1000000};
};

TEST_F(ScreenLogTest, LinesFromSeveralThreadsAllArrive) {
    ScreenLog* log = addLog();
    constexpr int kThreads = 4;
    constexpr int kLines = 20;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([log, t]() {
            for (int i = 0; i < kLines; ++i)
                log->log(8, "%d) thread %d", i, t);
        });
    }
    // The main thread draws meanwhile, as it does while the link logs.
    for (int frame = 0; frame < 5; ++frame)
        renderFrame();
    for (auto& thread : threads)
        thread.join();
    renderFrame();
    const std::vector<std::string> lines = log->messages();
    EXPECT_EQ(lines.size(), size_t(kThreads * kLines));
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
    EXPECT_EQ(log->labelCount(), lines.size());
    // Each thread's lines keep their order.
    int last[kThreads] = {-1, -1, -1, -1};
    for (const std::string& line : lines) {
        int i = 0, t = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d) thread %d", &i, &t), 2);
        EXPECT_GT(i, last[t]);
        last[t] = i;
    }
}

TEST_F(ScreenLogTest, LevelMaskAndNullFormat) {
    ScreenLog* log = addLog();
    log->setLevelMask(8);
    log->log(8, "kept");
    log->log(4, "dropped");
    log->log(12, "shares a bit");
    log->vlog(8, nullptr, nullptr);
    EXPECT_EQ(log->messages(), (std::vector<std::string>{"kept", "shares a bit"}));
}

TEST_F(ScreenLogTest, LongTextIsCutNotOverrun) {
    ScreenLog* log = addLog();
    std::string huge(20000, 'x');
    log->log(1, "%s", huge.c_str());
    ASSERT_EQ(log->messages().size(), 1u);
    EXPECT_EQ(log->messages()[0].size(), ScreenLog::kMaxTextLength);
}

TEST_F(ScreenLogTest, LinesExpireAndAtMostAHundredStay) {
    ScreenLog* log = addLog();
    log->log(4, "old");
    nowMs += 5000;
    for (int i = 0; i < 150; ++i)
        log->log(4, "line %d", i);
    renderFrame();
    std::vector<std::string> lines = log->messages();
    ASSERT_EQ(lines.size(), ScreenLog::kMaxMessages);
    EXPECT_EQ(lines.front(), "line 50");  // the newest hundred
    EXPECT_EQ(lines.back(), "line 149");
    EXPECT_EQ(log->labelCount(), ScreenLog::kMaxMessages);
    nowMs += 15000;  // exactly the lifetime: still shown
    renderFrame();
    EXPECT_EQ(log->messages().size(), ScreenLog::kMaxMessages);
    nowMs += 1;
    renderFrame();
    EXPECT_TRUE(log->messages().empty());
    EXPECT_EQ(log->getChildrenCount(), 0u);
}

TEST_F(ScreenLogTest, NewestLineSitsAtTheBottom) {
    ScreenLog* log = addLog();
    log->log(4, "first");
    renderFrame();
    log->log(1, "second");
    engine::Image image = renderFrame();
    ASSERT_EQ(log->getChildrenCount(), 2u);
    engine::Node* first = log->getChildren()[0];
    engine::Node* second = log->getChildren()[1];
    EXPECT_GT(first->getPositionY(), second->getPositionY());
    EXPECT_GT(countLit(image, 0, 0, kWidth, 40), 0);
}

TEST_F(ScreenLogTest, AResizeLaysEveryLineOutAgainAtTheNewTextSize) {
    ScreenLog* log = addLog();
    log->setBottomMargin(75.f);
    log->log(4, "before the resize");
    log->log(1, "also before");
    renderFrame();
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    struct RestoreWindow {
        engine::GLView* view;
        ~RestoreWindow() { view->setFrameSize(kWidth, kHeight); }
    } restore{view};

    // Smaller and larger than the window the lines were first made for.
    const engine::Size sizes[] = {{500.f, 400.f}, {1300.f, 820.f}};
    for (const engine::Size& size : sizes) {
        SCOPED_TRACE(size.width);
        view->setFrameSize(size.width, size.height);
        log->log(4, "after the resize to %.0f", size.width);
        renderFrame();
        const float line = size.height / 50.f - 1.f;
        EXPECT_EQ(log->getContentSize(), size);
        const auto& labels = log->getChildren();
        ASSERT_EQ(labels.size(), log->messages().size());
        // One text size for all, the newest line at the bottom and the others one line apart.
        float y = 75.f + 2.f;
        for (size_t i = labels.size(); i-- > 0;) {
            auto* label = dynamic_cast<engine::Label*>(labels[i]);
            ASSERT_NE(label, nullptr);
            EXPECT_FLOAT_EQ(label->getFontSize(), line) << label->getString();
            EXPECT_FLOAT_EQ(label->getPositionY(), y) << label->getString();
            y += line;
        }
    }

    // A new margin (the bar of another display class) moves the lines without a resize.
    log->setBottomMargin(49.f);
    renderFrame();
    const auto& labels = log->getChildren();
    ASSERT_FALSE(labels.empty());
    EXPECT_FLOAT_EQ(labels.back()->getPositionY(), 49.f + 2.f);
}

}  // namespace
