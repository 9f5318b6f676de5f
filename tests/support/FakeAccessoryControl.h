#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/AccessoryControl.h"
#include "model/LinkSettings.h"

// Stands in for the accessory controller in scene, view and menu tests: counts every request,
// keeps the clearData flag of each reconfiguration in order, and answers identified() and
// connected() with whatever the test set.
class FakeAccessoryControl : public AccessoryControl {
  public:
    void requestHalt() override { ++halts; }
    void requestReconfigure(bool clearData) override {
        ++reconfigures;
        if (clearData) {
            ++reconfiguresClearingData;
        }
        reconfigureClearData.push_back(clearData);
    }
    void resumeStreaming() override { ++resumes; }
    void requestSingleSweep() override { ++singleSweeps; }
    void restartPlayback() override { ++playbackRestarts; }

    bool identified() const override { return isIdentified; }
    bool connected() const override { return isConnected; }
    void publishSettings(const LinkSettings& settings) override {
        ++publications;
        lastPublished = settings;
        requestsBeforeLastPublication = totalRequests();
    }
    void runStateChanged(int32_t runState) override { runStates.push_back(runState); }

    // Requests of every kind since construction or the last reset().
    int totalRequests() const {
        return halts + reconfigures + resumes + singleSweeps + playbackRestarts;
    }
    // The clearData flag of the last reconfiguration; false when there was none.
    bool lastClearData() const {
        return !reconfigureClearData.empty() && reconfigureClearData.back();
    }
    void reset() {
        halts = reconfigures = reconfiguresClearingData = resumes = singleSweeps =
            playbackRestarts = 0;
        reconfigureClearData.clear();
    }

    int halts = 0;
    int reconfigures = 0;
    int reconfiguresClearingData = 0;
    int resumes = 0;
    int singleSweeps = 0;
    int playbackRestarts = 0;
    std::vector<bool> reconfigureClearData;

    // The settings copy last published, and how many requests had been made before it.
    std::optional<LinkSettings> lastPublished;
    int requestsBeforeLastPublication = 0;
    int publications = 0;  // settings copies published
    std::vector<int32_t> runStates;

    bool isIdentified = true;
    bool isConnected = false;
};
