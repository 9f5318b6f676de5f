#pragma once

namespace engine {

// The program object the engine calls into: once at start-up, and when the window is
// minimised (background) or restored (foreground). run() drives the frame loop until the
// window closes or the director is asked to end. One instance per process.
class Application {
  public:
    Application();
    virtual ~Application();

    virtual bool applicationDidFinishLaunching() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
    virtual void setAnimationInterval(float interval);
    // Called before the window exists, to choose the GL context's attributes.
    virtual void initGLContextAttrs() {}

    static Application* getInstance();

    // Returns the process exit code. Engine objects are left alive: other threads may still
    // hold on to some of them when the loop ends.
    int run();

  private:
    float _animationInterval = 1.f / 60.f;
};

}  // namespace engine
