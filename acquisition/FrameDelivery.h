#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "acquisition/AccessPointAcquisition.h"
#include "acquisition/LinkFrame.h"
#include "acquisition/PowerAcquisition.h"
#include "acquisition/SpectrumAcquisition.h"
#include "model/DataLogger.h"

class AccessoryControl;
class DiagnosticSink;
class SpectrumSettings;

// The model's owner side of the link: applies the frames the link handed over, one by one and in
// order, to the model (sweeps with their traces and heat maps, power captures with their pulse
// measurements, access-point lists merged and graded, the link's events), writes the data log,
// takes a single shot, and publishes the settings copy and run state the link reads. Runs only
// on the thread that owns the model: the window's main thread, or a command's loop.
class FrameDelivery {
  public:
    using PulseMeasurement = PowerAcquisition::PulseMeasurement;
    using UtilizationGrading = AccessPointAcquisition::UtilizationGrading;

    FrameDelivery(SpectrumSettings& model, DataLogFile& logFile);

    // Where requests (the halt after a single shot) and publications go; null: nowhere.
    void setAccessoryControl(AccessoryControl* control) { control_ = control; }

    // Applies every frame in order, leaving them in `frames` (their buffers go back to the link).
    // Returns the sweeps stored.
    size_t deliver(std::vector<LinkFrame>& frames);
    // Tells the link the model's settings and run state as they are now.
    void publish();

    void setPulseMeasurement(PulseMeasurement measure) {
        power_.setPulseMeasurement(std::move(measure));
    }
    void setUtilizationGrading(UtilizationGrading grade) {
        accessPoints_.setUtilizationGrading(std::move(grade));
    }
    // Where the model's owner shows diagnostics (the on-screen log), for the protocols.
    DiagnosticSink* screenLog() const;
    uint64_t rowsLogged() const { return logger_.rowsWritten(); }
    void setLogRowLimit(uint64_t rows) { logger_.setRowLimit(rows); }

  private:
    bool apply(SweepFrame& frame);
    void apply(PowerFrame& frame);
    void apply(AccessPointFrame& frame);
    void apply(const LinkEvent& event);
    bool measuring() const;
    void takeSingleShot();

    SpectrumSettings& model_;
    AccessoryControl* control_ = nullptr;
    DataLogger logger_;
    SpectrumAcquisition spectrum_;
    PowerAcquisition power_;
    AccessPointAcquisition accessPoints_;
};
