#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/ManualClock.h"

class CliOptionParser;
class FileResourceReader;
class SpectrumSettings;

// The usage lines of AcquisitionSource's options, a literal so that a command's usage text can
// end with it.
#define TARNO_CLI_SOURCE_USAGE                                                         \
    "  --demo H           play the demonstration of hardware 0, 1 or 2 instead of\n"   \
    "                     using the first accessory found\n"                           \
    "  --signal S         demonstration signal 0 none, 1 Wi-Fi, 2 DECT, 3 DSSS\n"      \
    "  --simulated-time   run the demonstration on a virtual clock, without waiting\n" \
    "  --resources DIR    where the demonstration recordings are\n"

// Where a headless command's measurements come from: the first accessory on the bus, or the
// demonstration recordings, on the process clock or on a virtual one.
struct AcquisitionSource {
    long demo = -1;
    long signal = 1;
    bool simulated = false;
    std::string resources;

    // Registers --demo H, --signal S, --simulated-time and --resources DIR on a command's parser.
    void addOptions(CliOptionParser& parser);
    // After parsing: why the options do not go together, empty when they do (virtual time only
    // makes sense for the demonstration).
    std::string problem() const;
};

// Ctrl-C and SIGTERM end a command's acquisition; the command then finishes its output.
void watchForInterrupt();
bool interruptRequested();

// The acquisition loop the headless commands share: the controller is stepped pass by pass on
// the virtual clock, or runs its worker (and the USB link when no demonstration is asked for)
// while the command polls the model.
class CliAcquisition {
  public:
    // Called after every pass on virtual time, else every poll interval; false stops.
    using Step = std::function<bool()>;

    CliAcquisition(const char* command, const AcquisitionSource& source);
    ~CliAcquisition();

    // Chooses the demonstration on the model and fills the options' clock and resources. False,
    // with the reason on stderr, when the demonstration recordings are missing.
    bool prepare(SpectrumSettings& model, AccessoryCommunicationDelegate::Options& options);

    // Runs until `step` returns false, an interrupt, or `limitMs` of acquisition time (0: no
    // limit).
    void run(AccessoryCommunicationDelegate& controller, const Step& step, uint64_t limitMs,
             uint64_t pollMs);

    // Milliseconds of the acquisition clock (the virtual one on simulated time).
    uint64_t nowMilliseconds() const;
    // UTC microseconds to stamp a measurement with: the wall clock live; on simulated time the
    // virtual clock's milliseconds since 1970, so that a simulated run prints the same lines
    // every time.
    uint64_t utcMicroseconds() const;
    bool simulated() const { return source_.simulated; }

  private:
    const char* command_;
    AcquisitionSource source_;
    ManualClock virtualClock_{1};
    std::unique_ptr<FileResourceReader> resources_;
};
