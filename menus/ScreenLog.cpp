#include "menus/ScreenLog.h"

#include <chrono>
#include <cstdio>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/UserDefault.h"

ScreenLog* ScreenLog::create() {
    auto* log = new (std::nothrow) ScreenLog();
    if (log && log->init()) {
        log->autorelease();
        return log;
    }
    delete log;
    return nullptr;
}

ScreenLog::~ScreenLog() {
    std::lock_guard<std::mutex> guard(lock_);
    messages_.clear();  // labels are children; the node releases them
}

bool ScreenLog::init() {
    return Layer::init();
}

void ScreenLog::onEnter() {
    Layer::onEnter();
    scheduleUpdate();
}

uint64_t ScreenLog::now() const {
    if (clock_)
        return clock_();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
}

float ScreenLog::lineHeight() const {
    float height = engine::Director::getInstance()->getVisibleSize().height;
    if (height <= 0)
        height = _contentSize.height;
    return height / 50.f - 1.f;
}

bool ScreenLog::storedShown() {
    return engine::UserDefault::getInstance()->getBoolForKey(kShownKey, true);
}

void ScreenLog::setShown(bool shown, bool store) {
    setVisible(shown);
    if (!store)
        return;
    engine::UserDefault* defaults = engine::UserDefault::getInstance();
    defaults->setBoolForKey(kShownKey, shown);
    if (!defaults->flush())
        log(1, "The on-screen log choice could not be kept: the settings store refused it");
}

void ScreenLog::setBottomMargin(float margin) {
    std::lock_guard<std::mutex> guard(lock_);
    if (margin != bottomMargin_)
        placementStale_ = true;
    bottomMargin_ = margin;
}

engine::Color4B ScreenLog::colourForLevel(int level) const {
    if (level & 1)
        return {255, 80, 80, 255};  // errors
    if (level & 2)
        return {255, 200, 0, 255};  // warnings
    if (level & 4)
        return {255, 255, 255, 255};
    if (level & 8)
        return {120, 220, 255, 255};  // access-point records
    return {160, 160, 160, 255};
}

void ScreenLog::vlog(int level, const char* format, va_list args) {
    if (!format)
        return;
    std::lock_guard<std::mutex> guard(lock_);
    if ((level & levelMask_) == 0)
        return;
    char buffer[kMaxTextLength + 1];
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (written < 0)
        return;
    screenLogMessage message;
    message.log = this;
    message.level = level;
    message.text = buffer;
    message.timestampMs = now();
    messages_.push_back(std::move(message));
}

void ScreenLog::update(float dt) {
    Layer::update(dt);
    std::lock_guard<std::mutex> guard(lock_);
    // The log covers the visible area, whatever size the window has now.
    const engine::Size visible = engine::Director::getInstance()->getVisibleSize();
    if (visible.width > 0 && visible.height > 0 &&
        (visible.width != _contentSize.width || visible.height != _contentSize.height))
        setContentSize(visible);
    const float line = lineHeight();
    const float fontSize = line > 1.f ? line : 1.f;
    bool changed = placementStale_;
    placementStale_ = false;
    if (line != laidOutLineHeight_) {
        laidOutLineHeight_ = line;
        for (auto& message : messages_)
            message.isNew = true;  // made again below at the new size
        changed = true;
    }

    // Expire: newest to oldest, dropping what is too old or beyond the first hundred.
    const uint64_t t = now();
    size_t counted = 0;
    for (auto it = messages_.end(); it != messages_.begin();) {
        --it;
        ++counted;
        bool expired = t >= it->timestampMs && t - it->timestampMs > timeoutMs_;
        if (expired || counted > kMaxMessages) {
            if (it->label)
                removeChild(it->label, true);
            it = messages_.erase(it);
            changed = true;
        }
    }

    for (auto& message : messages_) {
        if (message.label && !message.isNew)
            continue;
        if (message.label)
            removeChild(message.label, true);
        message.label = engine::Label::createWithTTF(message.text, fontFile_, fontSize);
        message.isNew = false;
        if (!message.label)
            continue;
        message.label->setAnchorPoint(engine::Vec2(0, 0));
        message.label->setTextColor(colourForLevel(message.level));
        addChild(message.label);
        changed = true;
    }
    if (!changed)
        return;
    // Newest line at the bottom, older ones stacked above it.
    float y = bottomMargin_ + 2.f;
    for (auto it = messages_.rbegin(); it != messages_.rend(); ++it) {
        if (!it->label)
            continue;
        it->label->setPosition(4.f, y);
        y += line;
    }
}

std::vector<std::string> ScreenLog::messages() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> texts;
    for (const auto& message : messages_)
        texts.push_back(message.text);
    return texts;
}

size_t ScreenLog::labelCount() {
    std::lock_guard<std::mutex> guard(lock_);
    size_t count = 0;
    for (const auto& message : messages_)
        count += message.label != nullptr;
    return count;
}
