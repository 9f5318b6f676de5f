#pragma once

#include <cstdint>

struct LinkSettings;

// How everything above the link (the scene, its views, the menus, the application) steers the
// accessory controller. The controller implements it; tests use a fake that counts calls. Views
// and menus see only this, never the controller's class.
//
// Every call is safe from the main thread while the controller's worker runs: a call only records
// the request, and the worker takes it at the start of its next pass, so a request is never
// overwritten by a pass that was already under way. Without an identified accessory (or a
// playing demonstration) the requests that need one do nothing.
class AccessoryControl {
  public:
    virtual ~AccessoryControl() = default;

    // Pause: halt the accessory and stay halted until streaming is resumed or reconfigured.
    virtual void requestHalt() = 0;
    // Halt, send the settings again and resume; with clearData the acknowledgement empties the
    // model's measurements first.
    virtual void requestReconfigure(bool clearData) = 0;
    // Streaming requests go out again at once (the run state went back to running).
    virtual void resumeStreaming() = 0;
    // Send the settings again; their acknowledgement clears the data before the next single sweep.
    virtual void requestSingleSweep() = 0;
    // The demonstration's accessory model changed: play again from its discovery reply.
    virtual void restartPlayback() = 0;

    // An accessory (or the demonstration) has answered discovery.
    virtual bool identified() const = 0;
    // A USB accessory is attached (false while the demonstration plays).
    virtual bool connected() const = 0;

    // The settings the controller builds its commands from and decides by: the model's owner
    // publishes a fresh copy after every change, before asking for what the change needs.
    virtual void publishSettings(const LinkSettings& /*settings*/) {}
    // The run state (SpectrumSettings::RunState) the controller streams by.
    virtual void runStateChanged(int32_t /*runState*/) {}
};
