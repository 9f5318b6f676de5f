#include "model/DataLogFile.h"

#include <stdio_ext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/MillisecondClock.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"
#include "storage/NewFile.h"

namespace {

constexpr size_t kTimeNameLimit = 30;
constexpr size_t kTimestampLimit = 40;

// The three frequency lists are fixed texts: the log names the accessory's nominal points, not
// the ones it actually reported.
std::string integerFrequencies() {
    std::string line = "Freq (MHz):, ";
    for (int mhz = 2400; mhz <= 2495; ++mhz) {
        line += std::to_string(mhz);
        line += mhz < 2495 ? "," : "\n";
    }
    return line;
}

std::string decimalFrequencies(const char* label, double start, double span, int divisor,
                               int count) {
    std::string line = label;
    char field[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%.1f", start + i * span / divisor);
        line += field;
        line += i + 1 < count ? "," : "\n";
    }
    return line;
}

const std::string& frequencyLine(const SpectrumSettings& model, LogMeasurement kind) {
    static const std::string kNone;
    static const std::string kFirstGeneration = integerFrequencies();
    static const std::string kLater = decimalFrequencies("Freq (MHz):,", 2400.0, 100.0, 255, 245);
    static const std::string k5GHz = decimalFrequencies("Freq (MHz):, ", 5145.0, 715.0, 511, 512);
    if (kind == LogMeasurement::kSweep5) {
        return k5GHz;
    }
    switch (model.accessory.generation) {
        case 2:
            return kFirstGeneration;
        case 6:
        case 7:
            return kLater;
        default:
            return kNone;
    }
}

}  // namespace

DataLogFile::DataLogFile(std::string directory, const MillisecondClock* clock, LocalTime localTime,
                         Opener opener)
    : directory_(std::move(directory)),
      clock_(clock),
      localTime_(std::move(localTime)),
      opener_(std::move(opener)) {}

DataLogFile::~DataLogFile() {
    close();
}

uint64_t DataLogFile::now() const {
    return clock_ ? clock_->nowMilliseconds() : nowMilliseconds();
}

bool DataLogFile::localTime(std::tm& out) const {
    if (localTime_) {
        return localTime_(out);
    }
    std::time_t seconds = std::time(nullptr);
    return localtime_r(&seconds, &out) != nullptr;
}

bool DataLogFile::open() {
    if (file_ != nullptr) {
        return true;
    }
    std::tm local{};
    if (!localTime(local)) {
        local = std::tm{};
    }
    std::string name = fileName(local);
    std::string path = directory_ + name;
    std::FILE* file = nullptr;
    if (opener_) {
        file = opener_(path);
        if (file == nullptr) {
            failure_ = path + ": " + std::strerror(errno);
        }
    } else {
        NewFile created = createNewFile(directory_, name.substr(0, name.size() - 4), ".csv");
        path = created.path;
        file = created.releaseAsStream("w");
        if (file == nullptr) {
            failure_ = created.failure();
        }
    }
    if (file == nullptr) {
        return false;
    }
    file_ = file;
    complete_ = 0;
    failure_.clear();
    path_ = std::move(path);
    lastPath_ = path_;
    logStartMs_ = now();
    return true;
}

void DataLogFile::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    path_.clear();
    logStartMs_ = 0;
}

bool DataLogFile::write(const std::string& text) {
    if (file_ == nullptr) {
        return false;
    }
    // Flushed piece by piece: a full disk must show up here, not at some later flush.
    errno = 0;
    size_t stored = std::fwrite(text.data(), 1, text.size(), file_);
    if (stored == text.size() && std::fflush(file_) == 0) {
        complete_ += static_cast<long>(text.size());
        return true;
    }
    int error = errno != 0 ? errno : EIO;
    failure_ = path_ + ": " + std::strerror(error);
    // The file is one we created: cut off the partial piece so it ends with a whole line. What
    // could not be flushed is dropped first, or closing would try to write it again.
    __fpurge(file_);
    [[maybe_unused]] int cut = ::ftruncate(fileno(file_), complete_);
    std::fclose(file_);
    file_ = nullptr;
    path_.clear();
    return false;
}

std::string DataLogFile::fileName(const std::tm& local) {
    char time[kTimeNameLimit + 2];
    int n =
        std::snprintf(time, sizeof time, "%d%.2d%.2d_%.2d%.2d%.2d", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    std::string name = "Tarno_";
    if (n > 0 && static_cast<size_t>(n) <= kTimeNameLimit) {
        name += time;
    }
    return name + ".csv";
}

std::string DataLogFile::logTimestamp(bool absolute, int64_t offsetMs) {
    char text[kTimestampLimit + 2];
    int n = 0;
    if (absolute) {
        std::tm local{};
        if (!localTime(local)) {
            return "";
        }
        n = std::snprintf(text, sizeof text, "%d-%.2d-%.2d %.2d:%.2d:%.2d.000,",
                          local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec);
    } else {
        uint64_t current = now();
        if (logStartMs_ == 0) {
            logStartMs_ = current;
        }
        double seconds = (static_cast<double>(current) + static_cast<double>(offsetMs) -
                          static_cast<double>(logStartMs_)) /
                         1000.0;
        n = std::snprintf(text, sizeof text, "%0.3f,", seconds);
    }
    if (n <= 0 || static_cast<size_t>(n) > kTimestampLimit) {
        return "";
    }
    return text;
}

std::string DataLogFile::logValues(const float* values, size_t count) {
    std::string line;
    line.reserve(count * 8 + 1);
    char field[32];
    for (size_t i = 0; i < count; ++i) {
        // What a stream with precision 4 prints: shortest of fixed and scientific.
        int n = std::snprintf(field, sizeof field, "%.4g", static_cast<double>(values[i]));
        if (i > 0) {
            line += ',';
        }
        if (n > 0) {
            line.append(field, static_cast<size_t>(n));
        }
    }
    line += '\n';
    return line;
}

std::string DataLogFile::logScaleLine(const SpectrumSettings& model, LogMeasurement kind) {
    if (kind != LogMeasurement::kPower) {
        return "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm\n";
    }
    const AccessoryDescription& a = model.accessory;
    float perDivision = (a.powerAxisMax - a.powerAxisMin) * 0.125f;
    return "time:," + formatEngineering(model.timeBaseNow(), 0) + ",s/div," + " Power:," +
           formatEngineering(perDivision, 2) + ",dBm/div,\n";
}

std::string DataLogFile::logHeader(const SpectrumSettings& model, LogMeasurement kind,
                                   bool withScale) {
    std::string header = kind == LogMeasurement::kPower ? "Power\n" : "Spectrum\n";
    if (withScale) {
        header += logScaleLine(model, kind);
    }
    if (kind != LogMeasurement::kPower) {
        header += frequencyLine(model, kind);
    }
    return header;
}
