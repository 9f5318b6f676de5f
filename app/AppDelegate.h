#pragma once

#include <memory>

#include "engine/platform/Application.h"

class AccessoryCommunication;
class AccessoryCommunicationDelegate;
class DataLogFile;
class FileResourceReader;
class ScreenLog;

// The application object: restores configuration slot 0, opens the window, creates the main
// scene and the on-screen log, then the USB link and the accessory controller; saves slot 0
// whenever the window goes to the background.
class AppDelegate : public engine::Application {
  public:
    AppDelegate();
    ~AppDelegate() override;

    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
    void initGLContextAttrs() override;

    // Orderly end: the link's I/O thread first (it calls into the controller), then the
    // controller's worker, then the on-screen log is unhooked from the model. Idempotent.
    void shutdown();

    AccessoryCommunication* getCommunication() const { return communication.get(); }
    AccessoryCommunicationDelegate* getCommunicationDelegate() const {
        return communicationDelegate.get();
    }

  private:
    std::unique_ptr<FileResourceReader> resources;
    std::unique_ptr<DataLogFile> dataLog;
    std::unique_ptr<AccessoryCommunication> communication;
    std::unique_ptr<AccessoryCommunicationDelegate> communicationDelegate;
    ScreenLog* screenLog = nullptr;  // retained
};
