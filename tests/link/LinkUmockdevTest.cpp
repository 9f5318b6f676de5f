// The production libusb backend against an emulated accessory under umockdev: enumeration,
// descriptors, open and claim, bulk transfers both ways, and hot-plug through uevents.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libusb.h>
#include <sys/wait.h>
#include <umockdev.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryInventory.h"
#include "link/LibusbBackend.h"
#include "tests/link/ConsoleCapture.h"
#include "tests/link/EmulatedAccessoryDevice.h"
#include "tests/link/LinkEventLog.h"
#include "tests/link/ScriptedAccessory.h"
#ifdef TARNO_HAVE_SIM
#include "tests/link/SimulatedAccessoryEndpoints.h"
#endif

namespace {

using Kind = LinkEventLog::Kind;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

class UmockdevLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testbed = umockdev_testbed_new();
        device = std::make_unique<EmulatedAccessoryDevice>(testbed, firmware);
    }

    void TearDown() override {
        link.reset();
        backend.reset();
        EXPECT_TRUE(device->unknownRequests().empty());
        device.reset();
        g_object_unref(testbed);
    }

    // The link on a fresh libusb context (released with the backend at the end of the test).
    void makeLink() {
        backend = std::make_unique<LibusbBackend>();
        link = std::make_unique<AccessoryCommunication>(*backend, console.file());
        events.bind(*link);
    }

    bool send(const Bytes& bytes, int kind) { return link->send(bytes, kind); }

    bool receivedAtLeast(size_t count) {
        return events.waitFor([&] { return events.receivedBytes().size() >= count; });
    }

    std::vector<Kind> connectionEvents() {
        std::vector<Kind> kinds;
        for (const auto& event : events.events()) {
            if (event.kind == Kind::DidConnect || event.kind == Kind::DidDisconnect ||
                event.kind == Kind::DidFailToConnect) {
                kinds.push_back(event.kind);
            }
        }
        return kinds;
    }

    UMockdevTestbed* testbed = nullptr;
    std::shared_ptr<ScriptedAccessory> firmware = std::make_shared<ScriptedAccessory>();
    std::unique_ptr<EmulatedAccessoryDevice> device;
    ConsoleCapture console;
    std::unique_ptr<LibusbBackend> backend;
    std::unique_ptr<AccessoryCommunication> link;
    LinkEventLog events;
};

TEST_F(UmockdevLinkTest, EmptyBusCallsNoHandler) {
    makeLink();
    for (int i = 0; i < 3; ++i) {
        link->runPass();
    }
    EXPECT_TRUE(events.events().empty());
    EXPECT_EQ(console.text(), "");
}

TEST_F(UmockdevLinkTest, OpensClaimsAndExchangesBytesPassByPass) {
    device->plugIn();
    makeLink();
    link->runPass();
    ASSERT_THAT(connectionEvents(), ElementsAre(Kind::DidConnect));
    EXPECT_EQ(console.text(),
              "Bus: 1 Address: 1 Vid: 0x3a7c Pid : 0x0007 Class : 0 Subclass : 0 Serial : 3\n"
              "    Serial Number: TA-EMU-0001\n"
              "    Manufacturer: Bramel\n"
              "    Product: Tarno RF Explorer\n");
    EXPECT_EQ(device->configuration(), 1);
    EXPECT_EQ(device->claimedInterface(), 1);
    EXPECT_EQ(device->alternateSetting(), 1);

    ASSERT_TRUE(send(ScriptedAccessory::discoveryRequest(), 1));
    link->runPass();
    EXPECT_EQ(device->outTransfers(), 1);
    EXPECT_EQ(events.receivedBytes(), ScriptedAccessory::discoveryReply());
    auto log = events.events();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const auto& event) {
        return event.kind == Kind::Sent && event.packet == 1 && event.code == 0;
    }));

    // An idle accessory: the read times out and the link stays connected.
    link->runPass();
    EXPECT_EQ(events.receivedBytes().size(), ScriptedAccessory::kDiscoveryReplyLength);
    EXPECT_TRUE(link->isConnected());

    link->stop();
    EXPECT_THAT(connectionEvents(), ElementsAre(Kind::DidConnect, Kind::DidDisconnect));
    EXPECT_EQ(device->claimedInterface(), -1);
    EXPECT_EQ(device->alternateSetting(), 0);
}

TEST_F(UmockdevLinkTest, DiscoverySettingsAndStreamingOnTheIoThread) {
    device->plugIn();
    makeLink();
    link->start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 1; }));
    ASSERT_TRUE(send(ScriptedAccessory::discoveryRequest(), 1));
    ASSERT_TRUE(receivedAtLeast(ScriptedAccessory::kDiscoveryReplyLength));
    ASSERT_TRUE(send(ScriptedAccessory::settingsCommand(1), 2));

    Bytes expected = ScriptedAccessory::discoveryReply();
    Bytes ack = ScriptedAccessory::settingsAck(1);
    expected.insert(expected.end(), ack.begin(), ack.end());
    for (uint32_t n = 0; n < 20; ++n) {
        Bytes packet = ScriptedAccessory::streamPacket(n);
        expected.insert(expected.end(), packet.begin(), packet.end());
    }
    ASSERT_TRUE(receivedAtLeast(expected.size()));
    link->stop();
    Bytes received = events.receivedBytes();
    received.resize(expected.size());
    EXPECT_EQ(received, expected);
    EXPECT_EQ(firmware->received(), (std::vector<Bytes>{ScriptedAccessory::discoveryRequest(),
                                                        ScriptedAccessory::settingsCommand(1)}));
}

TEST_F(UmockdevLinkTest, UnplugDuringStreamingDisconnectsOnceAndReconnectsAfterAdd) {
    device->plugIn();
    makeLink();
    link->start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 1; }));
    ASSERT_TRUE(send(ScriptedAccessory::settingsCommand(1), 2));
    ASSERT_TRUE(receivedAtLeast(10 * ScriptedAccessory::kStreamPacketLength));

    device->unplug();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidDisconnect) == 1; }));
    EXPECT_EQ(events.events().back().code, 0);

    firmware->reset();
    device->plugIn();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 2; }));
    size_t before = events.receivedBytes().size();
    ASSERT_TRUE(send(ScriptedAccessory::discoveryRequest(), 1));
    ASSERT_TRUE(receivedAtLeast(before + ScriptedAccessory::kDiscoveryReplyLength));
    link->stop();
    EXPECT_THAT(connectionEvents(), ElementsAre(Kind::DidConnect, Kind::DidDisconnect,
                                                Kind::DidConnect, Kind::DidDisconnect));
    EXPECT_EQ(device->claimedInterface(), -1);
}

TEST_F(UmockdevLinkTest, InventoryFindsTheAccessoryWithoutClaimingIt) {
    device->plugIn();
    LibusbBackend ownBackend;
    std::vector<AccessoryInfo> accessories;
    ASSERT_EQ(AccessoryInventory::take(ownBackend, accessories), 1);
    EXPECT_EQ(accessories[0].bus, 1);
    EXPECT_EQ(accessories[0].address, 1);
    EXPECT_TRUE(accessories[0].accessible);
    EXPECT_EQ(accessories[0].serialNumber, "TA-EMU-0001");
    EXPECT_EQ(accessories[0].manufacturer, "Bramel");
    EXPECT_EQ(accessories[0].product, "Tarno RF Explorer");
    EXPECT_EQ(device->claimedInterface(), -1);
    EXPECT_EQ(device->configuration(), 0);
}

#ifdef TARNO_HAVE_SIM
// The second generation's firmware model behind real libusb: its discovery reply arrives byte for
// byte, and after a spectrum request it streams until told to halt.
TEST_F(UmockdevLinkTest, SimulatedAccessoryDiscoversAndStreams) {
    auto simulated = std::make_shared<SimulatedAccessoryEndpoints>(
        SimulatedAccessory::create(SimGeneration::Tarno2, 11), 10);
    device = std::make_unique<EmulatedAccessoryDevice>(testbed, simulated);
    device->plugIn();
    makeLink();
    link->start();
    ASSERT_TRUE(events.waitFor([&] { return events.count(Kind::DidConnect) == 1; }));

    auto reference = SimulatedAccessory::create(SimGeneration::Tarno2, 11);
    reference->receive(ScriptedAccessory::discoveryRequest());
    Bytes reply = reference->readAll();
    ASSERT_TRUE(send(ScriptedAccessory::discoveryRequest(), 1));
    ASSERT_TRUE(receivedAtLeast(reply.size()));
    EXPECT_EQ(events.receivedBytes(), reply);

    ASSERT_TRUE(send({0xAA, 0x03, 0x05}, 3));
    ASSERT_TRUE(receivedAtLeast(reply.size() + 4096));
    link->stop();
    Bytes received = events.receivedBytes();
    EXPECT_EQ(received[reply.size()], 0xAA);  // the stream starts on a packet boundary
}
#endif

#ifdef TARNO_CLI_PATH
// The command-line tool as a user runs it, in a child process that inherits the testbed.
std::pair<int, std::string> runCli(const char* arguments) {
    std::string command = std::string(TARNO_CLI_PATH) + " " + arguments;
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[256];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
        output.append(chunk, count);
    }
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST_F(UmockdevLinkTest, CliDevicesListsTheEmulatedAccessory) {
    // An empty bus is a message, not data: standard output stays empty.
    auto [emptyStatus, emptyOutput] = runCli("devices 2>/dev/null");
    EXPECT_EQ(emptyStatus, 1);
    EXPECT_EQ(emptyOutput, "");
    EXPECT_EQ(runCli("devices 2>&1").second, "No accessory (3a7c:0007) on the bus.\n");

    device->plugIn();
    auto [status, output] = runCli("devices");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output,
              "Bus 001 Address 001  3a7c:0007  serial \"TA-EMU-0001\"  manufacturer \"Bramel\"  "
              "product \"Tarno RF Explorer\"  accessible\n");
}
#endif

TEST(LibusbContextTest, FailedInitialisationIsRetriedOnTheNextListing) {
    int attempts = 0;
    LibusbBackend backend([&attempts](void** context) {
        if (++attempts == 1) {
            return static_cast<int>(LIBUSB_ERROR_OTHER);
        }
        return libusb_init(reinterpret_cast<libusb_context**>(context));
    });
    std::vector<UsbDevice*> devices;
    EXPECT_LT(backend.getDeviceList(devices), 0);
    BramelAccessoryDevice::List list;
    EXPECT_EQ(BramelAccessoryDevice::listDevices(backend, list, nullptr), 0);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(BramelAccessoryDevice::listDevices(backend, list, nullptr), 0);
    EXPECT_EQ(attempts, 2);  // kept once created
}

}  // namespace
