// What the window publishes, against a real broker: the model's sweeps and captures as the
// command-line tool prints them, under the accessory's serial once it has one.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "MosquittoBroker.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"
#include "publish/ModelPublisher.h"
#include "publish/SweepRecorder.h"
#include "publish/SweepText.h"

namespace {

constexpr std::chrono::seconds kPatience{30};

void appendSweep(SpectrumSettings& model, float level) {
    std::vector<float> values(256, level);
    values[7] = level + 30.f;
    model.band24.appendSweep(values.data(), 256);
}

}  // namespace

TEST(ModelPublisher, PublishesTheModelsMeasurementsOnceTheAccessoryIsKnown) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    MqttSubscriber subscriber(broker.port(), "lab/#");
    ASSERT_TRUE(subscriber.waitSubscribed(1, kPatience));

    SpectrumSettings model;
    ModelPublisher publisher;
    std::string error;
    EXPECT_FALSE(publisher.configure("http://nowhere", error));
    EXPECT_FALSE(publisher.configured());
    ASSERT_TRUE(publisher.configure(broker.url() + "/lab?qos=1", error)) << error;

    // Before discovery there is no serial to publish under: those sweeps are not sent.
    appendSweep(model, -80.f);
    publisher.update(model, 1000000);
    model.accessory.serialText = "W1";
    appendSweep(model, -70.f);
    publisher.update(model, 2000000);
    // A capture: the link's measurement record of the live trace changes.
    const std::vector<float> capture(100, -20.f);
    model.live.appendCapture(capture.data(), capture.size());
    model.live.pulseMeasurements[PulseMeasurement::kMean] = -20.f;
    publisher.update(model, 3000000);

    ASSERT_TRUE(subscriber.waitFor(1, "lab/W1/sweep/2.4", kPatience));
    ASSERT_TRUE(subscriber.waitFor(1, "lab/W1/power", kPatience));
    // The same lines `tarno-cli sweep --format json` prints for these sweeps.
    SpectrumSettings copy;
    SweepRecorder recorder(0, 0);
    std::vector<SweepRecord> records;
    appendSweep(copy, -80.f);
    recorder.collect(copy, 1000000, records);
    appendSweep(copy, -70.f);
    recorder.collect(copy, 2000000, records);
    const auto sweeps = subscriber.messages("lab/W1/sweep/2.4");
    ASSERT_EQ(sweeps.size(), 1u);
    EXPECT_EQ(sweeps[0].payload, SweepText::json(records[1]));
    const auto power = subscriber.messages("lab/W1/power");
    ASSERT_EQ(power.size(), 1u);
    EXPECT_EQ(power[0].payload.rfind("{\"time\":\"1970-01-01T00:00:03.000000Z\",\"capture\":1,"
                                     "\"samples\":100,",
                                     0),
              0u)
        << power[0].payload;
    EXPECT_NE(power[0].payload.find(",\"mean\":-20,"), std::string::npos) << power[0].payload;

    // Turning it off says goodbye.
    ASSERT_TRUE(publisher.configure("", error));
    ASSERT_TRUE(subscriber.waitFor(2, "lab/W1/status", kPatience));
    EXPECT_EQ(subscriber.messages("lab/W1/status").back().payload, "offline");
}
