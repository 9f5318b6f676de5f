#include "ScreenshotSession.h"

#include <cstdio>
#include <cstdlib>

#include "IndexedPng.h"
#include "app/MainScene.h"
#include "engine/base/Director.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLViewImpl.h"
#include "engine/platform/Image.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "menus/MenuController.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGradingHook.h"

namespace {

constexpr float kWidth = 960.f;
constexpr float kHeight = 640.f;
constexpr int kDisplayClass = 3;  // as the application's window
// Enough for the heat map's and waterfall's gradients; the pictures stay small.
constexpr int kColours = 128;

}  // namespace

ScreenshotSession::ScreenshotSession(std::string resourceRoot, std::string outputDirectory)
    : resourceRoot_(std::move(resourceRoot)), outputDirectory_(std::move(outputDirectory)) {
    if (!outputDirectory_.empty() && outputDirectory_.back() != '/')
        outputDirectory_ += '/';
}

ScreenshotSession::~ScreenshotSession() {
    if (scene_)
        scene_->setAccessoryControl(nullptr);
    MenuController::getInstance()->setAccessoryControl(nullptr);
    controller_.reset();
}

SpectrumSettings& ScreenshotSession::model() {
    return *SpectrumSettings::getInstance();
}

bool ScreenshotSession::start() {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    files->setWritableDirectoryName("Tarno");
    files->setDefaultResourceRootPath(resourceRoot_);
    files->setSearchPaths({"res/desktop/sd", "res", ""});
    engine::Director* director = engine::Director::getInstance();
    // TARNO_SCREENSHOT_SIZE=480x320 renders the same pictures at another window size, to look
    // at the layout of small and large screens.
    float width = kWidth;
    float height = kHeight;
    if (const char* size = std::getenv("TARNO_SCREENSHOT_SIZE")) {
        float w = 0;
        float h = 0;
        if (std::sscanf(size, "%fx%f", &w, &h) == 2 && w >= 320 && h >= 240 && w <= 7680 &&
            h <= 4320) {
            width = w;
            height = h;
        }
    }
    auto* view =
        engine::GLViewImpl::createWithRect("Tarno", engine::Rect(0, 0, width, height), 1.0f);
    if (!view)
        return false;
    director->setOpenGLView(view);
    director->setContentScaleFactor(1.f);
    // A capture is taken after a draw, and the engine skips drawing unchanged pictures.
    director->setRedrawEveryFrame(true);

    SpectrumSettings& m = model();
    m.resetToDefaults();
    m.runtime.displayClass = kDisplayClass;
    scene_ = MainScene::create();
    if (!scene_)
        return false;
    scene_->setClock(&clock_);
    director->runWithScene(scene_);
    frames(1, 0.f);

    resources_ = std::make_unique<FileResourceReader>(resourceRoot_);
    AccessoryCommunicationDelegate::Options options;
    options.resources = resources_.get();
    options.clock = &clock_;
    options.startWorker = false;
    controller_ = std::make_unique<AccessoryCommunicationDelegate>(m, options);
    controller_->setPulseMeasurement(&PulseMeasurement::storeInModel);
    controller_->setUtilizationGrading(UtilizationGradingHook());
    scene_->setAccessoryControl(controller_.get());
    return true;
}

void ScreenshotSession::play(int passes) {
    for (int i = 0; i < passes; ++i) {
        clock_.advance(AccessoryCommunicationDelegate::kPassMs);
        controller_->runPass();
        frames(1, AccessoryCommunicationDelegate::kPassMs / 1000.f);
    }
}

void ScreenshotSession::frames(int count, float dt) {
    for (int i = 0; i < count; ++i)
        engine::Director::getInstance()->mainLoop(dt);
}

bool ScreenshotSession::capture(const std::string& name) {
    engine::Image image;
    bool captured = false;
    engine::Director* director = engine::Director::getInstance();
    director->addAfterDrawCallback(
        [&image, &captured] { captured = engine::utils::captureFramebuffer(&image); });
    director->mainLoop(1.f / 60.f);
    const std::string path = outputDirectory_ + name;
    if (!captured || !saveIndexedPng(image, path, kColours)) {
        std::fprintf(stderr, "tarno-screenshots: could not write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}
