#include "model/DataLogger.h"

#include <algorithm>

#include "model/SpectrumSettings.h"

bool DataLogger::begin(SpectrumSettings& model, LogMeasurement kind, bool& justOpened) {
    justOpened = false;
    switch (model.runtime.dataLogState.load()) {
        case SpectrumSettings::kDataLogStopRequested:
            file_.close();
            model.runtime.dataLogState = SpectrumSettings::kDataLogOff;
            lastKind_ = kind;
            return false;
        case SpectrumSettings::kDataLogStartRequested:
            // A file that cannot be opened still counts as logging: every write is skipped
            // until the user stops.
            file_.open();
            model.runtime.dataLogState = SpectrumSettings::kDataLogOn;
            justOpened = true;
            break;
        case SpectrumSettings::kDataLogOn:
            break;
        default:
            lastKind_ = kind;
            return false;
    }
    if (justOpened || kind != lastKind_) {
        file_.write(
            DataLogFile::logHeader(model, kind, justOpened || scaleChanged_, demonstration_));
    } else if (scaleChanged_) {
        file_.write(DataLogFile::logScaleLine(model, kind));
    }
    lastKind_ = kind;
    return true;
}

void DataLogger::writeRow(bool absolute, int64_t offsetMs, const float* values, size_t count) {
    if (!file_.isOpen() || (rowLimit_ != 0 && rowsWritten_ >= rowLimit_)) {
        return;
    }
    std::string row = file_.logTimestamp(absolute, offsetMs);
    row += DataLogFile::logValues(values, count);
    if (file_.write(row)) {
        ++rowsWritten_;
    }
}

void DataLogger::logSweep(SpectrumSettings& model, LogMeasurement band, const float* values,
                          size_t count) {
    bool justOpened = false;
    if (!begin(model, band, justOpened)) {
        return;
    }
    int shown = band == LogMeasurement::kSweep5 ? model.accessory.shownPoints5
                                                : model.accessory.shownPoints24;
    size_t n = std::min(count, static_cast<size_t>(std::max(shown, 0)));
    writeRow(justOpened, 0, values, n);
    scaleChanged_ = false;
}

void DataLogger::logPowerCapture(SpectrumSettings& model, const float* values, size_t count) {
    bool justOpened = false;
    if (!begin(model, LogMeasurement::kPower, justOpened)) {
        return;
    }
    writeRow(justOpened, 0, values, count);
    scaleChanged_ = false;
}

void DataLogger::logRollingSamples(SpectrumSettings& model, const float* values, size_t count) {
    bool justOpened = false;
    if (!begin(model, LogMeasurement::kPower, justOpened)) {
        return;
    }
    int points = model.accessory.powerRollPoints;
    // Milliseconds between two rolling samples, as the view spaces them.
    double spacing = points > 0 ? model.timeBaseNow() * 1000.0 * 10.0 / points : 0.0;
    int64_t step = spacing >= 0.0 && spacing < 1e12 ? static_cast<int64_t>(spacing) : 0;
    for (size_t k = 0; k < count; ++k) {
        writeRow(justOpened && k == 0, static_cast<int64_t>(k) * step, values + k, 1);
    }
    if (count > 0) {
        scaleChanged_ = false;
    }
}

void DataLogger::closeOnDisconnect(SpectrumSettings& model) {
    file_.close();
    model.runtime.dataLogState = SpectrumSettings::kDataLogOff;
}
