// tarno-cli's streaming commands publishing to a real mosquitto broker on 127.0.0.1: every
// message is byte for byte the JSON line the same command prints for the same recording.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "MosquittoBroker.h"

namespace {

constexpr std::chrono::seconds kPatience{30};

std::string cli(const std::string& arguments) {
    return std::string(TARNO_CLI_PATH) + " " + arguments +
           " --simulated-time --resources " TARNO_TEST_RESOURCE_ROOT;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> payloadsEndingIn(const MqttSubscriber& subscriber,
                                          const std::string& end) {
    std::vector<std::string> out;
    for (const auto& message : subscriber.messages()) {
        if (endsWith(message.topic, end)) {
            out.push_back(message.payload);
        }
    }
    return out;
}

class MqttCommands : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(broker.start()) << broker.error();
        subscriber = std::make_unique<MqttSubscriber>(broker.port(), "tarno/#");
        ASSERT_TRUE(subscriber->waitSubscribed(1, kPatience));
    }

    // Waits until `count` messages on topics ending in `end` have arrived.
    bool waitFor(size_t count, const std::string& end) {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (payloadsEndingIn(*subscriber, end).size() < count) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            subscriber->waitFor(subscriber->messages().size() + 1, "", std::chrono::seconds(1));
        }
        return true;
    }

    MosquittoBroker broker;
    std::unique_ptr<MqttSubscriber> subscriber;
};

}  // namespace

TEST_F(MqttCommands, SweepPublishesItsJsonLines) {
    const auto run = CliProcess::run(
        cli("sweep --demo 2 --signal 1 --count 30 --format json --trace live,max --mqtt '" +
            broker.url() + "?qos=1'"));
    ASSERT_EQ(run.status, 0);
    const auto lines = CliProcess::lines(run.out);
    ASSERT_EQ(lines.size(), 30u);
    ASSERT_TRUE(waitFor(30, "/sweep/2.4"));
    EXPECT_EQ(payloadsEndingIn(*subscriber, "/sweep/2.4"), lines);
    ASSERT_TRUE(waitFor(2, "/status"));
    const auto status = subscriber->messages();
    EXPECT_EQ(status.front().topic.rfind("tarno/", 0), 0u);
    EXPECT_EQ(payloadsEndingIn(*subscriber, "/status"),
              (std::vector<std::string>{"online", "offline"}));

    // The same sweeps without --format json print as CSV and still publish the JSON.
    const auto csv = CliProcess::run(
        cli("sweep --demo 2 --signal 1 --count 30 --trace live,max --mqtt " + broker.url()));
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, 12), "1970-01-01, ");
    ASSERT_TRUE(waitFor(60, "/sweep/2.4"));
    const auto both = payloadsEndingIn(*subscriber, "/sweep/2.4");
    EXPECT_EQ(std::vector<std::string>(both.begin() + 30, both.end()), lines);
}

TEST_F(MqttCommands, LogSurveyAndLivePowerPublishTheirLines) {
    // log publishes each sweep it logs as `sweep --format json` prints it.
    char pattern[] = "/tmp/tarno-cli-log-mqtt-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    auto run = CliProcess::run(cli("log --demo 2 --signal 1 --count 5 --out " + dir + " --mqtt " +
                                   broker.url() + " 2>/dev/null"));
    ASSERT_EQ(run.status, 0) << run.out;
    std::filesystem::remove_all(dir);
    const auto sweeps = CliProcess::lines(
        CliProcess::run(cli("sweep --demo 2 --signal 1 --count 5 --format json")).out);
    ASSERT_TRUE(waitFor(5, "/sweep/2.4"));
    const auto logged = payloadsEndingIn(*subscriber, "/sweep/2.4");
    ASSERT_GE(logged.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(logged.begin(), logged.begin() + 5), sweeps);

    // survey: after the last scan, each access point and then the channels, as printed.
    run = CliProcess::run(cli("survey --demo 2 --signal 1 --seconds 30 --mqtt " + broker.url()));
    ASSERT_EQ(run.status, 0);
    const auto survey = CliProcess::lines(run.out);
    ASSERT_GE(survey.size(), 2u);
    const std::vector<std::string> accessPoints(survey.begin(), survey.end() - 1);
    // After the scans' messages come the printed lines: wait until the tail is them.
    const auto tail = [&](const std::string& end, size_t count) {
        const auto all = payloadsEndingIn(*subscriber, end);
        return all.size() < count
                   ? std::vector<std::string>()
                   : std::vector<std::string>(all.end() - static_cast<long>(count), all.end());
    };
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while ((tail("/accesspoints", accessPoints.size()) != accessPoints ||
            tail("/grades", 1) != std::vector<std::string>{survey.back()}) &&
           std::chrono::steady_clock::now() < until) {
        subscriber->waitFor(subscriber->messages().size() + 1, "", std::chrono::seconds(1));
    }
    EXPECT_EQ(tail("/accesspoints", accessPoints.size()), accessPoints);
    EXPECT_EQ(tail("/grades", 1), std::vector<std::string>{survey.back()});
    // And after every scan before, the survey as it stood.
    EXPECT_GT(payloadsEndingIn(*subscriber, "/grades").size(), 1u);

    // measure --live: one message per triggered capture, the printed line.
    run =
        CliProcess::run(cli("measure --live --demo 1 --signal 1 --count 4 --mqtt " + broker.url()));
    ASSERT_EQ(run.status, 0);
    const auto power = CliProcess::lines(run.out);
    ASSERT_EQ(power.size(), 4u);
    EXPECT_EQ(power[0].rfind("{\"time\":\"1970-01-01T", 0), 0u) << power[0];
    EXPECT_NE(power[0].find("\",\"capture\":1,\"samples\":"), std::string::npos) << power[0];
    ASSERT_TRUE(waitFor(4, "/power"));
    EXPECT_EQ(payloadsEndingIn(*subscriber, "/power"), power);
}

TEST_F(MqttCommands, ASensorThatVanishesIsMarkedOfflineByTheBroker) {
    CliProcess::Child child({TARNO_CLI_PATH, "sweep", "--demo", "2", "--signal", "1",
                             "--simulated-time", "--resources", TARNO_TEST_RESOURCE_ROOT, "--mqtt",
                             broker.url()});
    ASSERT_TRUE(waitFor(1, "/sweep/2.4"));
    child.signal(SIGKILL);  // no goodbye: only the broker's last will can say it
    child.wait();
    ASSERT_TRUE(waitFor(2, "/status"));
    EXPECT_EQ(payloadsEndingIn(*subscriber, "/status"),
              (std::vector<std::string>{"online", "offline"}));
}
