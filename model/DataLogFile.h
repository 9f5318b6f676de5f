#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

class MillisecondClock;
class SpectrumSettings;

// What a logged measurement was; a change of kind starts a new header block.
enum class LogMeasurement : uint8_t { kSweep5 = 0, kSweep24 = 1, kPower = 2 };

// The CSV data-log file: "Tarno_<local date and time>.csv" in the writable directory, opened on
// the link's thread when logging starts and closed when it stops or the accessory goes away.
// The file is always a new one: a name already taken (two logs in one second) gets "_2", "_3",
// ... and nothing is ever written through a link. Every piece of text goes out with one write; a
// write that fails (disk full) cuts the file back to the end of the last complete piece, closes
// it and keeps the reason in failure(); later writes are skipped until the log is opened again.
class DataLogFile {
  public:
    // Fills the local wall-clock time; false when it is unavailable.
    using LocalTime = std::function<bool(std::tm& out)>;
    // Opens a file for writing in place of creating a new one (a test's failing writer).
    using Opener = std::function<std::FILE*(const std::string& path)>;

    // `directory` ends with '/' (or is empty for the working directory). A null clock reads the
    // process clock (nowMilliseconds()).
    explicit DataLogFile(std::string directory, const MillisecondClock* clock = nullptr,
                         LocalTime localTime = {}, Opener opener = {});
    ~DataLogFile();

    DataLogFile(const DataLogFile&) = delete;
    DataLogFile& operator=(const DataLogFile&) = delete;

    // True at once when a file is open; otherwise builds the name, creates the file and on
    // success sets logStartMs to now. Returns whether a file is open; failure() says why not.
    bool open();
    void close();
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // The path of the last file opened, kept after it is closed.
    const std::string& lastPath() const { return lastPath_; }
    const std::string& directory() const { return directory_; }
    uint64_t logStartMs() const { return logStartMs_; }

    // Writes `text` with one call. Skipped (false) without an open file; a failed write cuts
    // the file back to its last complete piece, closes it and empties the path.
    bool write(const std::string& text);
    // Why the last open or write failed ("path: reason"); empty after a successful open.
    const std::string& failure() const { return failure_; }

    // "Tarno_" + "%d%.2d%.2d_%.2d%.2d%.2d" of the local time + ".csv" (the time part empty
    // when it does not fit 30 characters).
    static std::string fileName(const std::tm& local);

    // The time stamp field of a row: the local date and time with ".000," when `absolute`,
    // otherwise the seconds since logStartMs ("%0.3f,"), offset by `offsetMs`. An empty text when
    // it does not fit 40 characters.
    std::string logTimestamp(bool absolute, int64_t offsetMs);

    // The values with four significant digits, separated by commas, ending the line.
    static std::string logValues(const float* values, size_t count);

    // The header block of a measurement kind: mode word, the scale line when `withScale`, and
    // the frequency line of a sweep.
    static std::string logHeader(const SpectrumSettings& model, LogMeasurement kind,
                                 bool withScale);
    // The scale line alone.
    static std::string logScaleLine(const SpectrumSettings& model, LogMeasurement kind);

  private:
    uint64_t now() const;
    bool localTime(std::tm& out) const;

    std::string directory_;
    const MillisecondClock* clock_;
    LocalTime localTime_;
    Opener opener_;
    std::string path_;
    std::string lastPath_;
    std::FILE* file_ = nullptr;
    long complete_ = 0;  // bytes of the pieces written whole
    std::string failure_;
    uint64_t logStartMs_ = 0;
};
