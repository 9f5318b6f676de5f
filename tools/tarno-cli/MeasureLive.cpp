// tarno-cli measure --live: the power meter's pulse measurements of every capture as it arrives,
// as JSON lines and, with --mqtt, on PREFIX/<serial>/power.
#include "tools/tarno-cli/MeasureLive.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/SpectrumSettings.h"
#include "publish/JsonText.h"
#include "publish/PowerJson.h"
#include "tools/tarno-cli/CliAcquisition.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/CliPublishing.h"
#include "tools/tarno-cli/LineOutput.h"
#include "tools/tarno-cli/PowerCaptureStream.h"

namespace {

struct LiveOptions {
    long count = 0;
    std::string out;
    AcquisitionSource source;
};

bool parse(std::span<char*> args, const char* usage, LiveOptions& o, CliPublishing& publishing) {
    bool live = false;
    std::vector<std::string> operands;
    CliOptionParser parser("measure", usage);
    parser.flag("live", live).number("count", 1, 1000000000, o.count).text("out", o.out);
    o.source.addOptions(parser);
    publishing.addOptions(parser);
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (const std::string why = o.source.problem(); !why.empty()) {
        parser.refuse(why);
    } else if (const std::string why = publishing.problem(); !why.empty()) {
        parser.refuse(why);
    } else {
        return true;
    }
    return false;
}

}  // namespace

int runMeasureLive(std::span<char*> args, const char* usage) {
    LiveOptions o;
    CliPublishing publishing("measure");
    if (!parse(args, usage, o, publishing)) {
        return 2;
    }

    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = CommonSettings::kPowerMode;
    model->spectrum_settings.ssidScanOn = 0;

    CliAcquisition acquisition("measure", o.source);
    AccessoryCommunicationDelegate::Options options;
    if (!acquisition.prepare(*model, options)) {
        return 1;
    }
    // Only once everything else is in place: a failed start leaves no empty file behind.
    LineOutput output;
    if (!output.open("measure", o.out)) {
        return 1;
    }
    AccessoryCommunicationDelegate controller(*model, options);
    PowerCaptureStream stream;
    stream.attach(controller);
    watchForInterrupt();

    const uint64_t count = static_cast<uint64_t>(o.count);
    std::vector<PowerCaptureStream::Capture> captures;
    uint64_t printed = 0;
    uint64_t lost = 0;
    bool failed = false;
    bool closed = false;
    auto step = [&] {
        publishing.report();
        captures.clear();
        lost += stream.take(captures);
        if (captures.empty()) {
            return true;
        }
        std::string serial;
        { serial = model->accessory.serialText; }
        const uint64_t timeUs = acquisition.utcMicroseconds();
        for (const auto& capture : captures) {
            if (count != 0 && printed >= count) {
                break;
            }
            const std::string head = "\"time\":\"" + JsonText::utcTime(timeUs) +
                                     "\",\"capture\":" + std::to_string(printed + 1);
            std::string line =
                PowerJson::measurements(head, capture.samples, capture.dt, capture.results);
            publishing.publish(serial, "power", line);
            const auto result = output.writeLine(line);
            if (result == LineOutput::Result::kClosed) {
                closed = true;
                return false;
            }
            if (result == LineOutput::Result::kFailed) {
                std::fprintf(stderr, "tarno-cli measure: cannot write: %s\n",
                             output.error().c_str());
                failed = true;
                return false;
            }
            ++printed;
        }
        return count == 0 || printed < count;
    };
    const uint64_t limitMs = o.source.simulated && count != 0
                                 ? (count + 10) * 600 * AccessoryCommunicationDelegate::kPassMs
                                 : 0;
    acquisition.run(controller, step, limitMs, 20);
    publishing.finish();
    if (lost != 0) {
        std::fprintf(stderr,
                     "tarno-cli measure: %llu captures went by before they could be "
                     "printed\n",
                     static_cast<unsigned long long>(lost));
    }
    if (failed) {
        return 1;
    }
    if (count != 0 && printed < count && !closed && !interruptRequested()) {
        std::fprintf(stderr, "tarno-cli measure: only %llu of %llu captures arrived\n",
                     static_cast<unsigned long long>(printed),
                     static_cast<unsigned long long>(count));
        return 1;
    }
    return 0;
}
