#pragma once

#include <cstdint>

class AccessoryControl;
struct RuntimeState;

// The run state machine behind the run button and its keys: running, paused, a single shot armed
// or taken (SpectrumSettings::RunState). Each transition records the new state and asks the
// accessory for what it needs; streaming and single sweeps are asked for only once an accessory
// (or the demonstration) has been identified, a halt always.
class RunControl {
  public:
    explicit RunControl(RuntimeState& runtime) : runtime_(runtime) {}

    void setAccessoryControl(AccessoryControl* control) { control_ = control; }
    int32_t state() const;

    // A short tap on the run button: running pauses, paused runs, a single shot is taken again.
    void tap();
    // The run button held a second: running or paused arms a single shot, single shot runs.
    // Nothing is asked of the accessory until the button is released.
    void holdFired();
    // The release after a hold: asks for the state the hold chose.
    void releaseAfterHold();
    // The single-shot request: armed, and a sweep asked for.
    void armSingleShot();
    // Space: runs or pauses as a tap does; out of single shot, back to running.
    void runKey();
    // S: into single shot from running or paused, else back to running.
    void toggleSingleShot();
    // A new trigger level: a taken shot waits for the next trigger again.
    void rearmTakenShot();

  private:
    void set(int32_t state);
    bool identified() const;

    RuntimeState& runtime_;
    AccessoryControl* control_ = nullptr;
};
