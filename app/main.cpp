#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppDelegate.h"
#include "app/ProgramOptions.h"
#include "engine/base/Director.h"
#include "engine/base/Scheduler.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/Image.h"
#include "publish/BrokerUrl.h"

namespace {

// Frames rendered before the picture is taken when there is no display: a few seconds of the
// demonstration, so traces and access points have arrived.
constexpr unsigned int kHeadlessFrames = 240;

// An empty DISPLAY or WAYLAND_DISPLAY names no display. Removed, so that SDL and the GL
// libraries see what we decided on, not an empty name to connect to.
void forgetEmptyDisplayNames() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value == '\0')
            unsetenv(name);
    }
}

bool haveDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// SDL turns SIGINT and SIGTERM into a quit event: its handler only sets a flag, which the frame
// loop's next event poll raises on the main thread, so a signal ends the loop as closing the
// window does and the configuration is saved on the way out. Keep that even when the user's
// environment tells SDL to leave the signals alone. A signal that is ignored stays ignored: SDL
// installs its handler only over the default action.
void endTheLoopOnSignals() {
    setenv("SDL_NO_SIGNAL_HANDLERS", "0", 1);
}

// With a display named, only a real windowing system will do. Left to itself SDL falls back to
// its off-screen driver when the display cannot be reached, and Tarno would run with no window.
void requireWindowingSystem() {
    if (std::getenv("SDL_VIDEODRIVER"))
        return;  // the user chose
    std::string drivers;
    if (std::getenv("DISPLAY"))
        drivers = "x11";
    if (std::getenv("WAYLAND_DISPLAY"))
        drivers += drivers.empty() ? "wayland" : ",wayland";
    setenv("SDL_VIDEODRIVER", drivers.c_str(), 1);
}

std::string namedDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return x ? x : (wayland ? wayland : "");
}

// Without a display the program cannot open its window. It renders the demonstration off screen
// instead and writes what the window would show into a PNG file, so the user still sees Tarno.
// The picture is always a new file ("Tarno_demo_2.png" when the name is taken), never written
// through a link.
void arrangeHeadlessPicture(std::string& picturePath, std::string& failure) {
    engine::Director* director = engine::Director::getInstance();
    director->getScheduler()->schedule(
        [director, &picturePath, &failure](float) {
            if (director->getTotalFrames() < kHeadlessFrames || director->isEnding())
                return;
            const std::string target =
                engine::FileUtils::getInstance()->getWritablePath() + "Tarno_demo.png";
            director->addAfterDrawCallback([director, target, &picturePath, &failure]() {
                engine::Image image;
                failure = target + ": the frame could not be read";
                if (engine::utils::captureFramebuffer(&image))
                    picturePath = engine::utils::saveAsNewFile(image, target, &failure);
                director->end();
            });
        },
        director, 0.f, false, "headless-picture");
}

}  // namespace

int main(int argc, char** argv) {
    const ProgramOptions options = ProgramOptions::parse(argc, argv);
    switch (options.action) {
        case ProgramOptions::Action::ShowHelp:
            std::fputs(ProgramOptions::helpText().c_str(), stdout);
            return 0;
        case ProgramOptions::Action::ShowVersion:
            std::fputs(ProgramOptions::versionText().c_str(), stdout);
            return 0;
        case ProgramOptions::Action::Fail:
            std::fprintf(stderr, "tarno: %s\nTry 'tarno --help' for more information.\n",
                         options.error.c_str());
            return 2;
        case ProgramOptions::Action::Run:
            break;
    }
    forgetEmptyDisplayNames();
    endTheLoopOnSignals();
    const bool stats = options.stats;
    engine::Director::getInstance()->setRedrawEveryFrame(options.redrawEveryFrame);
    engine::Director::getInstance()->setPartialRedraw(!options.wholeFrames);
    std::string brokerUrl = options.brokerUrl;
    if (!brokerUrl.empty()) {
        BrokerUrl parsed;
        std::string error;
        if (!BrokerUrl::parse(brokerUrl, parsed, error)) {
            std::fprintf(stderr, "tarno: --broker needs an mqtt:// URL%s%s\n",
                         error.empty() ? "" : ": ", error.c_str());
            return 2;
        }
    }
    engine::Director::getInstance()->getFrameStats().setEnabled(stats);
    const bool headless = !haveDisplay();
    if (headless) {
        std::printf(
            "Tarno: no display found (DISPLAY is empty or not set); rendering the demonstration "
            "off screen instead.\n");
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    } else {
        requireWindowingSystem();
    }

    AppDelegate app;
    app.setBrokerUrlToStore(brokerUrl);
    app.setTableToOpen(options.openTable);
    std::string picturePath;
    std::string pictureFailure = "no frame was drawn";
    if (headless)
        arrangeHeadlessPicture(picturePath, pictureFailure);
    int code = app.run();
    app.applicationWillTerminate();
    if (stats)
        engine::Director::getInstance()->getFrameStats().print(stdout);
    const bool windowOpened = engine::Director::getInstance()->getOpenGLView() != nullptr;
    app.shutdown();
    if (app.isMissingResources())
        return 1;  // it said what is missing; there is no window and no picture
    if (!headless && !windowOpened) {
        std::fprintf(stderr,
                     "Tarno: cannot open a window on the display \"%s\". Check that the display "
                     "server is running and that this user may use it.\n",
                     namedDisplay().c_str());
        return code ? code : 1;
    }

    if (headless) {
        if (picturePath.empty()) {
            std::printf("Tarno: the off-screen picture could not be written (%s).\n",
                        pictureFailure.c_str());
            return code ? code : 1;
        }
        std::printf("Tarno: the demonstration as it would appear on screen is in %s\n",
                    picturePath.c_str());
    }
    return code;
}
