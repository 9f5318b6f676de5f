#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>

#include "engine/2d/Layer.h"
#include "model/DiagnosticSink.h"

namespace engine {
class Label;
}

class ScreenLog;

// One logged line. Its label is made on the main thread at the next update.
struct screenLogMessage {
    ScreenLog* log = nullptr;
    int level = 0;
    std::string text;
    uint64_t timestampMs = 0;  // wall clock
    engine::Label* label = nullptr;
    bool isNew = true;
};

// Recent diagnostic lines over the plot area, newest at the bottom, each expiring after the
// message lifetime; drawn beneath every menu, table and alert. The user may hide it (the L key,
// the settings menu); the choice is kept across runs. log() may be called from any thread; labels
// are only touched by update() on the main thread.
class ScreenLog : public engine::Layer, public DiagnosticSink {
  public:
    static constexpr size_t kMaxMessages = 100;
    static constexpr size_t kMaxTextLength = 8191;

    using WallClock = std::function<uint64_t()>;

    static ScreenLog* create();
    ~ScreenLog() override;

    bool init() override;
    void onEnter() override;
    void update(float dt) override;

    void setLevelMask(int mask) { levelMask_ = mask; }
    int getLevelMask() const { return levelMask_; }
    void setTimeoutMilliseconds(uint64_t ms) { timeoutMs_ = ms; }
    uint64_t getTimeoutMilliseconds() const { return timeoutMs_; }
    void setFontFile(const std::string& font) { fontFile_ = font; }
    // Space kept free below the newest line (the menu bar's strip).
    void setBottomMargin(float margin);
    // Tests step a clock of their own; the default reads the system clock.
    void setWallClock(WallClock clock) { clock_ = std::move(clock); }

    void vlog(int level, const char* format, va_list args) override;

    static constexpr const char* kShownKey = "screenLogShown";
    // The kept choice: shown unless the user hid it.
    static bool storedShown();
    // Shows or hides the lines (they keep arriving while hidden); `store` keeps the choice.
    void setShown(bool shown, bool store);
    bool isShown() const { return isVisible(); }

    // Snapshot of the held texts, oldest first (any thread).
    std::vector<std::string> messages();
    // Held messages that have a label on screen (main thread).
    size_t labelCount();

  private:
    ScreenLog() = default;
    uint64_t now() const;
    float lineHeight() const;
    engine::Color4B colourForLevel(int level) const;

    int levelMask_ = 31;
    uint64_t timeoutMs_ = 15000;
    std::string fontFile_ = "fonts/roboto/Roboto-Regular.ttf";
    float bottomMargin_ = 0;
    // The line height the labels on screen were made for; a resize that changes it makes every
    // label again, or older lines would keep the old size and overlap the new ones.
    float laidOutLineHeight_ = 0;
    bool placementStale_ = false;
    WallClock clock_;
    std::mutex lock_;
    std::list<screenLogMessage> messages_;  // oldest first
};
