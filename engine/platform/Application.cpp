#include "engine/platform/Application.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/base/Director.h"
#include "engine/platform/GLView.h"

namespace engine {

static Application* s_application = nullptr;

Application::Application() {
    s_application = this;
}

Application::~Application() {
    if (s_application == this)
        s_application = nullptr;
}

Application* Application::getInstance() {
    return s_application;
}

void Application::setAnimationInterval(float interval) {
    _animationInterval = interval;
}

int Application::run() {
    initGLContextAttrs();
    if (!applicationDidFinishLaunching())
        return 1;
    Director* director = Director::getInstance();
    GLView* view = director->getOpenGLView();
    if (!view)
        return 1;

    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    while (!view->windowShouldClose() && !director->isEnding()) {
        view->pollEvents();
        auto now = Clock::now();
        float dt = std::chrono::duration<float>(now - last).count();
        last = now;
        // A stall (debugger, suspended laptop) must not hand the views a huge step.
        dt = std::min(dt, 0.25f);
        if (director->isAnimating()) {
            director->mainLoop(dt);
        } else {
            SDL_WaitEventTimeout(nullptr, 100);
        }
        float interval = director->getAnimationInterval();
        auto next = now + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<float>(interval));
        std::this_thread::sleep_until(next);
    }
    return 0;
}

}  // namespace engine
