#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "instrument/RunControl.h"
#include "instrument/SettingRules.h"

class AccessoryControl;
class SpectrumSettings;

// The one way menus, views and keys change settings and run state. A change is written to the
// model, published to the link as a fresh copy of the settings, makes the stored configuration
// stale, and asks the accessory for what SettingRules says about its kind through the worker's
// mailbox. Reading stays direct: callers read model().
//
// Main thread only, like every caller of it.
class Instrument {
  public:
    explicit Instrument(SpectrumSettings& model, AccessoryControl* control = nullptr);
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    SpectrumSettings& model() const { return model_; }
    // The controller's interface; null (tests, before the link starts) changes the model only.
    void setAccessoryControl(AccessoryControl* control);
    AccessoryControl* accessoryControl() const { return control_; }
    RunControl& runControl() { return run_; }

    // Writes a setting of this instrument's model when the value differs and applies the rule
    // of the change. True when the value changed.
    template <typename T>
    bool set(SettingChange change, T& field, T value) {
        return edit(change, assign(field, value));
    }
    // Any edit of the settings; `apply` says whether it changed
    // anything. The rule applies only then.
    bool edit(SettingChange change, const std::function<bool(SpectrumSettings&)>& apply);

    // The same for a gesture that tells the accessory once, when it ends: the model changes
    // now, commit() sends.
    template <typename T>
    bool stage(SettingChange change, T& field, T value) {
        return stageEdit(change, assign(field, value));
    }
    bool stageEdit(SettingChange change, const std::function<bool(SpectrumSettings&)>& apply);
    // Asks the accessory for what the rule of `change` says, changed or not (a drag released
    // where it began still re-sends, as the accessory may have been reconfigured meanwhile).
    void commit(SettingChange change);

    // --- Changes with more to them than one write -----------------------------------------

    // Spectrum mode on that band; false (and nothing asked) when both were so already.
    bool chooseBand(int band);
    // The mode switch (CommonSettings::kSpectrumMode or kPowerMode). A power capture's rescale
    // view belongs to the mode it was made in.
    bool setSpectrumMode(uint8_t mode);
    void forgetCaptureRescale();
    // Scanning on or off. The access-point list starts over unless the utilization table holds
    // it still, and the tables are told.
    bool setSsidScan(bool on);
    // The demonstration's accessory model (0..2); the playback restarts from its discovery.
    bool setDemoHardware(uint8_t hardware);

    // Configuration slots through the model's operations that clear the data. A load or reset
    // corrects what the identified accessory cannot do, then restarts the demonstration (its model
    // changed) or reconfigures the accessory clearing the data.
    bool loadConfiguration(int slot);
    void resetConfiguration();

    // The data log, which the worker starts and stops at its next pass. False when it was
    // already so.
    bool startDataLog();
    bool stopDataLog();

    // Whether settings changed since the stored configuration was last written, and how many
    // changes there were.
    bool isStoreDirty() const { return storeDirty_; }
    uint64_t changeCount() const { return changes_; }
    void storeSaved() { storeDirty_ = false; }

  private:
    template <typename T>
    std::function<bool(SpectrumSettings&)> assign(T& field, T value) {
        if (!inModel(&field, sizeof(T)))
            return rejectForeignField();
        return [&field, value](SpectrumSettings&) {
            // NaN never equals itself: written again, as the menus always did.
            if (field == value)
                return false;
            field = value;
            return true;
        };
    }
    bool inModel(const void* field, size_t size) const;
    static std::function<bool(SpectrumSettings&)> rejectForeignField();
    bool write(const std::function<bool(SpectrumSettings&)>& apply);
    void changed();
    void afterConfigurationChange(uint8_t demoHardwareBefore, int modeBefore);

    SpectrumSettings& model_;
    AccessoryControl* control_ = nullptr;
    RunControl run_;
    bool storeDirty_ = false;
    uint64_t changes_ = 0;
};
