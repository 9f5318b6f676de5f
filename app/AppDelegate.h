#pragma once

#include <memory>
#include <string>

#include "engine/platform/Application.h"

class AccessoryCommunication;
class AccessoryCommunicationDelegate;
class DataLogFile;
class FileResourceReader;
class ModelPublisher;
class ScreenLog;

// The application object: restores configuration slot 0, opens the window, creates the main
// scene and the on-screen log, then the USB link and the accessory controller; saves slot 0
// whenever the window goes to the background and when the program ends in order.
class AppDelegate : public engine::Application {
  public:
    AppDelegate();
    ~AppDelegate() override;

    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
    void initGLContextAttrs() override;

    // The frame loop has ended (window closed, SIGINT or SIGTERM): saves slot 0, so that nothing
    // changed since start-up is lost. Does nothing when launching did not get as far as the
    // running scene. Main thread.
    void applicationWillTerminate();

    // Orderly end: the link's I/O thread first (it calls into the controller), then the
    // controller's worker, then the on-screen log is unhooked from the model. Idempotent.
    void shutdown();

    // A broker URL given on the command line, stored when the application has launched.
    void setBrokerUrlToStore(const std::string& url) { brokerUrlToStore = url; }
    // "ssid" or "utilization": that access-point table is open from the first frame on.
    void setTableToOpen(const std::string& table) { tableToOpen = table; }
    // Launching stopped because fonts or shaders are missing; it said which on standard error.
    bool isMissingResources() const { return resourcesMissing; }

    AccessoryCommunication* getCommunication() const { return communication.get(); }
    AccessoryCommunicationDelegate* getCommunicationDelegate() const {
        return communicationDelegate.get();
    }

  private:
    void saveLastUsedConfiguration();
    // Follows the Settings menu's PUBLISH row and publishes what arrived; main thread.
    void publishTick();

    std::unique_ptr<FileResourceReader> resources;
    std::unique_ptr<DataLogFile> dataLog;
    std::unique_ptr<AccessoryCommunication> communication;
    std::unique_ptr<AccessoryCommunicationDelegate> communicationDelegate;
    std::unique_ptr<ModelPublisher> publisher;
    std::string publishingTo;  // the broker URL the publisher was configured with; empty: off
    std::string brokerUrlToStore;
    std::string tableToOpen;
    ScreenLog* screenLog = nullptr;  // retained
    bool launched = false;
    bool resourcesMissing = false;
};
