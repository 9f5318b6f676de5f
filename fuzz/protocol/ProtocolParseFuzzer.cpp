// Arbitrary bytes through the framing and every parse operation of every generation, and through
// the settings commands with hostile settings. Each output buffer is a heap block of exactly the
// capacity handed over, so a write past it is caught by the sanitizers.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "model/DiagnosticSink.h"
#include "model/LinkSettings.h"
#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocolFactory.h"

namespace {

class FormattingSink : public DiagnosticSink {
  public:
    void vlog(int, const char* format, va_list args) override {
        char line[256];
        std::vsnprintf(line, sizeof line, format, args);
    }
};

// Reads fields for the settings model from the input, zero once it runs out.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    template <typename T>
    T take() {
        T value{};
        if (pos + sizeof value <= size) {
            std::memcpy(&value, data + pos, sizeof value);
            pos += sizeof value;
        }
        return value;
    }
};

void exerciseParsers(AccessoryProtocol& p, const uint8_t* data, size_t size) {
    for (size_t n = 0; n <= size && n < 8; ++n)
        p.packetLength(data, n);
    p.packetLength(data, size);

    AccessoryDescription description;
    p.parseDescription(data, size, &description);
    p.parseDescription(data, size, nullptr);
    p.parseSettingsAck(data, size);
    p.parseHaltAck(data, size);

    const size_t small = size > 0 ? data[size - 1] : 0;
    for (size_t capacity : {size_t{1000}, size_t{512}, small}) {
        std::vector<float> values(capacity);
        int count = 0, segment = 0, band = 0;
        bool marker = false;
        p.parsePowerSamples(data, size, values.data(), capacity, &count, &segment, &marker);
        p.parseSpectrum(data, size, values.data(), capacity, &count, &band, &segment);
    }
    // The packet path's own decoding: the header, then the levels into a block of exactly the
    // points the header announced, spread `stride` apart.
    int count = 0, band = 0, segment = 0;
    if (p.parseSpectrumHeader(data, size, &count, &band, &segment) == 0 && count > 0) {
        const size_t stride = size > 0 ? 1 + data[0] % 3 : 1;
        std::vector<float> spread((static_cast<size_t>(count) - 1) * stride + 1);
        p.decodeSpectrum(data, band, spread.data(), stride);
    }

    std::unique_ptr<AccessPointList> list;
    p.parseSsidList(data, size, &list);
    p.parseSsidList(data, size, nullptr);

    if (size >= 2) {
        // Segment order from the input: any index, negative ones included.
        const size_t segments = data[0] % 9;
        std::vector<int> order(segments);
        for (size_t j = 0; j < segments; ++j) {
            order[j] = static_cast<int8_t>(data[(1 + j) % size]) % 10;
        }
        std::vector<float> trace(size);
        p.reorderSegments(trace.data(), trace.size(), order.data(), segments);
        // Each segment into a trace of exactly segments × points values.
        const size_t points = segments > 0 ? size / segments : 0;
        std::vector<float> placed(points * segments);
        for (size_t j = 0; j < segments && points > 0; ++j)
            p.placeSegment(trace.data(), points, order[j], segments, placed.data());
    }
}

void exerciseSettings(AccessoryProtocol& p, SpectrumSettings& model, const uint8_t* data,
                      size_t size) {
    Reader r{data, size};
    model.common_settings.spectrumMode = r.take<uint8_t>() & 1;
    model.common_settings.externalAttenuation = r.take<float>();
    model.common_settings.internalAttenuationIndex = r.take<int32_t>();
    model.spectrum_settings.band = r.take<int32_t>();
    PowerSettings& ps = model.power_setting;
    ps.powerTimeBaseIndex = r.take<int32_t>();
    ps.triggerDelay = r.take<float>();
    ps.triggerHoldoff = r.take<float>();
    ps.triggerLevel = r.take<float>();
    ps.triggerAuto = r.take<uint8_t>();
    ps.triggerOnPower = r.take<uint8_t>();
    ps.triggerRisingEdge = r.take<uint8_t>();
    ps.digitalCombination = r.take<uint8_t>();
    ps.digitalChannelA = r.take<uint8_t>();
    ps.digitalChannelB = r.take<uint8_t>();
    ps.digitalEdgeB = r.take<uint8_t>();
    model.accessory.powerRollLimitIndex = r.take<int32_t>();
    model.accessory.secondLimit = r.take<int32_t>();
    model.runtime.deviceConnected = r.take<uint8_t>() & 1;

    const LinkSettings settings = LinkSettings::of(model);
    const int length = p.settingsCommandLength();
    for (int bufferLength : {length, length - 1}) {
        std::vector<uint8_t> buffer(bufferLength > 0 ? bufferLength : 0);
        p.buildSettingsCommand(buffer.data(), buffer.size(), &settings);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FormattingSink sink;
    static SpectrumSettings* model = new SpectrumSettings();
    for (uint8_t code : {2, 6, 7}) {
        std::unique_ptr<AccessoryProtocol> p = createAccessoryProtocol(code);
        ProtocolEnvironment environment;
        environment.log = &sink;
        environment.console = nullptr;
        const bool connected = size > 0 && (data[0] & 0x80);
        environment.deviceConnected = [connected] { return connected; };
        p->setEnvironment(environment);
        exerciseParsers(*p, data, size);
        // Again after a discovery reply may have changed the calibration.
        exerciseParsers(*p, data, size);
        model->accessory = AccessoryDescription{};
        p->parseDescription(data, size, &model->accessory);
        exerciseSettings(*p, *model, data, size);
    }
    return 0;
}
