#pragma once

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace engine {

using SchedulerFunc = std::function<void(float)>;

// Per-frame updates and timers, driven by the frame interval the director passes to update().
// Targets are opaque keys (usually the node that owns the callback); nothing is retained, so a
// target must unschedule itself before it dies (Node does so in cleanup and its destructor).
class Scheduler {
  public:
    static constexpr unsigned int REPEAT_FOREVER = UINT_MAX - 1;

    Scheduler() = default;
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Calls target->update(dt) every frame; lower priorities run first.
    template <class T>
    void scheduleUpdate(T* target, int priority, bool paused) {
        schedulePerFrame([target](float dt) { target->update(dt); }, target, priority, paused);
    }
    void schedulePerFrame(const SchedulerFunc& callback, void* target, int priority, bool paused);
    void unscheduleUpdate(void* target);

    // Timer: first call after `delay` (or after `interval` when delay is 0), then every
    // `interval` seconds, repeat + 1 calls in all (REPEAT_FOREVER for no end). An interval of 0
    // calls every frame. Re-scheduling an existing key updates its interval only.
    void schedule(const SchedulerFunc& callback, void* target, float interval, unsigned int repeat,
                  float delay, bool paused, const std::string& key);
    void schedule(const SchedulerFunc& callback, void* target, float interval, bool paused,
                  const std::string& key) {
        schedule(callback, target, interval, REPEAT_FOREVER, 0, paused, key);
    }
    void unschedule(const std::string& key, void* target);
    void unscheduleAllForTarget(void* target);
    void unscheduleAll();
    bool isScheduled(const std::string& key, const void* target) const;
    bool isUpdateScheduled(const void* target) const;

    void pauseTarget(void* target);
    void resumeTarget(void* target);
    bool isTargetPaused(void* target) const;

    // Functions to run on the main thread at the start of the next update.
    void performFunctionInCocosThread(const std::function<void()>& function);

    void update(float dt);

    void setTimeScale(float scale) { _timeScale = scale; }
    float getTimeScale() const { return _timeScale; }

  private:
    struct Update {
        SchedulerFunc callback;
        void* target;
        int priority;
        bool paused;
        bool dead;
    };
    struct Timer {
        SchedulerFunc callback;
        void* target;
        std::string key;
        float interval;
        float delay;
        unsigned int repeat;
        unsigned int timesExecuted;
        float elapsed;
        bool paused;
        bool dead;
        bool delayDone;
    };

    void runTimer(Timer& timer, float dt);
    void purgeDead();

    std::vector<Update> _updates;
    std::vector<Timer> _timers;
    std::vector<void*> _pausedTargets;
    std::vector<std::function<void()>> _functions;
    float _timeScale = 1.f;
    bool _updating = false;
};

}  // namespace engine
