#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/MeasurementRecords.h"
#include "publish/BrokerUrl.h"
#include "publish/SweepRecorder.h"

class MqttPublisher;
class SpectrumSettings;

// What the window publishes while it runs: the messages of `tarno-cli sweep`, `survey` and
// `measure --live`, byte for byte, made from the model the views draw. Runs on the main thread
// and reads the model under its locks; the MQTT publisher's queue is the only thing another
// thread touches.
class ModelPublisher {
  public:
    ModelPublisher();
    ~ModelPublisher();
    ModelPublisher(const ModelPublisher&) = delete;
    ModelPublisher& operator=(const ModelPublisher&) = delete;

    // Publishes to the broker at `url` from the next update on; an empty URL stops publishing.
    // False, with the reason in `error`, for a URL that is not an mqtt:// one (nothing changes).
    bool configure(const std::string& url, std::string& error);
    bool configured() const { return configured_; }

    // Publishes what arrived since the last call: sweeps of both bands, the survey after each
    // scan, the pulse measurements of each power capture.
    void update(SpectrumSettings& model, uint64_t utcMicroseconds);

    // What the publisher had to say (connections, losses, drops) since the last call.
    std::vector<std::string> takeNotes();

  private:
    void restart(const std::string& serial);

    bool configured_ = false;
    BrokerUrl url_;
    std::unique_ptr<MqttPublisher> publisher_;
    std::string serial_;
    SweepRecorder band24_{0, 0};
    SweepRecorder band5_{1, 0};
    int32_t scansPublished_ = 0;
    std::array<float, kPulseMeasurementCount> lastPower_{};
    uint64_t captures_ = 0;
    std::vector<std::string> notes_;
};
