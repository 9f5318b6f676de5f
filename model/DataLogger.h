#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "model/DataLogFile.h"

class SpectrumSettings;

// The log step the model's owner runs after it has stored a complete measurement
// (FrameDelivery): follows the model's dataLogState (opening and closing the file), writes a
// header block when the file was just opened or the kind of measurement changed, and then the
// rows.
// A file that cannot be created or written stops the log at once: the state goes back to off,
// the reason goes to the on-screen log, and runtime.dataLogFailed tells the window to alert.
class DataLogger {
  public:
    explicit DataLogger(DataLogFile& file) : file_(file) {}

    // The measurements come from the demonstration's recordings: header lines say so.
    void setDemonstration(bool demonstration) { demonstration_ = demonstration; }

    // A settings acknowledgement arrived: the next row is preceded by the scale line.
    void setScaleChanged() { scaleChanged_ = true; }
    bool scaleChanged() const { return scaleChanged_; }
    LogMeasurement lastMeasurementKind() const { return lastKind_; }

    // One complete sweep of a band (kSweep24 or kSweep5): its first values up to the band's
    // shown points.
    void logSweep(SpectrumSettings& model, LogMeasurement band, const float* values, size_t count);
    // One triggered power capture: one row with every sample.
    void logPowerCapture(SpectrumSettings& model, const float* values, size_t count);
    // The samples a rolling power packet kept: one row each, oldest first, each stamped with its
    // own offset from the first.
    void logRollingSamples(SpectrumSettings& model, const float* values, size_t count);

    // The accessory went away: the file is closed and logging switched off.
    void closeOnDisconnect(SpectrumSettings& model);

    // Rows handed to the file while it was open (for callers that stop after a number of rows).
    uint64_t rowsWritten() const { return rowsWritten_.load(); }
    // After this many rows nothing more is written (0: no limit), so that a headless run stops
    // with exactly the rows it asked for even when one packet carries many.
    void setRowLimit(uint64_t rows) { rowLimit_ = rows; }
    DataLogFile& file() { return file_; }

  private:
    // Steps 1 and 2 of the log step; false when nothing is to be logged.
    bool begin(SpectrumSettings& model, LogMeasurement kind, bool& justOpened);
    void writeRow(SpectrumSettings& model, bool absolute, int64_t offsetMs, const float* values,
                  size_t count);
    // Writes a piece of header or row; on failure stops the log and says why.
    bool write(SpectrumSettings& model, const std::string& text);
    void stopOnFailure(SpectrumSettings& model);

    DataLogFile& file_;
    bool scaleChanged_ = false;
    bool demonstration_ = false;
    LogMeasurement lastKind_ = LogMeasurement::kSweep5;
    std::atomic<uint64_t> rowsWritten_{0};
    std::atomic<uint64_t> rowLimit_{0};
};
