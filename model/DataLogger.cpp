#include "model/DataLogger.h"

#include <algorithm>

#include "model/DiagnosticSink.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr int kErrorLevel = 1;

}  // namespace

void DataLogger::stopOnFailure(SpectrumSettings& model) {
    file_.close();
    model.runtime.dataLogState = SpectrumSettings::kDataLogOff;
    if (DiagnosticSink* log = model.runtime.screenLog.load()) {
        log->log(kErrorLevel, "Data log stopped: %s", file_.failure().c_str());
    }
    model.runtime.dataLogFailed = true;
}

bool DataLogger::write(SpectrumSettings& model, const std::string& text) {
    if (!file_.isOpen()) {
        return false;
    }
    if (file_.write(text)) {
        return true;
    }
    stopOnFailure(model);
    return false;
}

bool DataLogger::begin(SpectrumSettings& model, LogMeasurement kind, bool& justOpened) {
    justOpened = false;
    switch (model.runtime.dataLogState.load()) {
        case SpectrumSettings::kDataLogStopRequested:
            file_.close();
            model.runtime.dataLogState = SpectrumSettings::kDataLogOff;
            lastKind_ = kind;
            return false;
        case SpectrumSettings::kDataLogStartRequested:
            if (!file_.open()) {
                stopOnFailure(model);
                lastKind_ = kind;
                return false;
            }
            model.runtime.dataLogState = SpectrumSettings::kDataLogOn;
            justOpened = true;
            break;
        case SpectrumSettings::kDataLogOn:
            break;
        default:
            lastKind_ = kind;
            return false;
    }
    bool written = true;
    if (justOpened || kind != lastKind_) {
        written = write(model, DataLogFile::logHeader(model, kind, justOpened || scaleChanged_));
    } else if (scaleChanged_) {
        written = write(model, DataLogFile::logScaleLine(model, kind));
    }
    lastKind_ = kind;
    return written;
}

void DataLogger::writeRow(SpectrumSettings& model, bool absolute, int64_t offsetMs,
                          const float* values, size_t count) {
    if (!file_.isOpen() || (rowLimit_ != 0 && rowsWritten_ >= rowLimit_)) {
        return;
    }
    std::string row = file_.logTimestamp(absolute, offsetMs);
    row += DataLogFile::logValues(values, count);
    if (write(model, row)) {
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
    writeRow(model, justOpened, 0, values, n);
    scaleChanged_ = false;
}

void DataLogger::logPowerCapture(SpectrumSettings& model, const float* values, size_t count) {
    bool justOpened = false;
    if (!begin(model, LogMeasurement::kPower, justOpened)) {
        return;
    }
    writeRow(model, justOpened, 0, values, count);
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
        writeRow(model, justOpened && k == 0, static_cast<int64_t>(k) * step, values + k, 1);
    }
    if (count > 0) {
        scaleChanged_ = false;
    }
}

void DataLogger::closeOnDisconnect(SpectrumSettings& model) {
    file_.close();
    model.runtime.dataLogState = SpectrumSettings::kDataLogOff;
}
