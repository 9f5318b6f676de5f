#pragma once

#include <memory>
#include <string>

#include "link/FileResourceReader.h"
#include "model/ManualClock.h"

class AccessoryCommunicationDelegate;
class MainScene;
class SpectrumSettings;

// The application as it runs, in an off-screen 960 x 640 window, but with the demonstration's
// worker stepped by hand on a simulated clock: every picture it takes is the same on every run
// and machine, and a minute of demonstration takes seconds.
class ScreenshotSession {
  public:
    ScreenshotSession(std::string resourceRoot, std::string outputDirectory);
    ~ScreenshotSession();

    // Opens the window, builds the scene and the controller. False when there is no GL context.
    bool start();

    SpectrumSettings& model();
    MainScene& scene() { return *scene_; }
    AccessoryCommunicationDelegate& controller() { return *controller_; }

    // Worker passes of 100 ms, each followed by a frame of the same length.
    void play(int passes);
    // Frames without worker passes (fades, menus opening).
    void frames(int count, float dt = 1.f / 60.f);
    // Draws a frame and writes it as `name` into the output directory; says so on stdout.
    bool capture(const std::string& name);

  private:
    std::string resourceRoot_;
    std::string outputDirectory_;
    ManualClock clock_{1000};
    std::unique_ptr<FileResourceReader> resources_;
    std::unique_ptr<AccessoryCommunicationDelegate> controller_;
    MainScene* scene_ = nullptr;
};
