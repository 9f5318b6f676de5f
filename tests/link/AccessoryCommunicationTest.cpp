// The link's own logic, stepped pass by pass against the fake bus: no thread, no sleeping.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "link/AccessoryCommunication.h"
#include "tests/link/ConsoleCapture.h"
#include "tests/link/FakeUsbBackend.h"
#include "tests/link/LinkEventLog.h"
#include "tests/link/ScriptedAccessory.h"

namespace {

using Kind = LinkEventLog::Kind;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using Bytes = std::vector<uint8_t>;

std::vector<Kind> kinds(const std::vector<LinkEventLog::Event>& events) {
    std::vector<Kind> result;
    for (const auto& event : events) {
        result.push_back(event.kind);
    }
    return result;
}

class LinkPassTest : public ::testing::Test {
  protected:
    void SetUp() override { events.bind(link); }
    void TearDown() override {
        link.stop();
        // Every listed device and open handle was given back.
        EXPECT_EQ(bus.totalReferences(), 0);
        EXPECT_EQ(bus.totalOpenHandles(), 0);
    }

    void passes(int count) {
        for (int i = 0; i < count; ++i) {
            link.runPass();
        }
    }

    bool sendBytes(const Bytes& bytes, int kind) { return link.send(bytes, kind); }

    FakeUsbBackend bus;
    ConsoleCapture console;
    // Declared before the link: the link reports to it until the link is destroyed.
    LinkEventLog events;
    AccessoryCommunication link{bus, console.file()};
};

TEST_F(LinkPassTest, EmptyBusKeepsListingAndCallsNoHandler) {
    passes(5);
    EXPECT_EQ(bus.listings(), 5);
    EXPECT_TRUE(events.events().empty());
    EXPECT_FALSE(link.isConnected());
}

TEST_F(LinkPassTest, ForeignDevicesAreOfferedButNeverOpened) {
    int mouse = bus.addDevice(0x046D, 0xC077);
    passes(3);
    EXPECT_EQ(events.count(Kind::ShouldConnect), 3);
    EXPECT_EQ(events.events().size(), 3u);
    EXPECT_EQ(bus.device(mouse).openHandles, 0);
    // The bus line is printed when the device first appears, not on every pass.
    EXPECT_EQ(console.text(),
              "Bus: 1 Address: 2 Vid: 0x046d Pid : 0xc077 Class : 0 Subclass : 0 Serial : 0\n");
}

TEST_F(LinkPassTest, ConnectOpensWithConfigurationInterfaceAndAlternateSetting) {
    int accessory = bus.addAccessory();
    link.runPass();
    EXPECT_THAT(kinds(events.events()), ElementsAre(Kind::ShouldConnect, Kind::DidConnect));
    EXPECT_TRUE(link.isConnected());
    FakeUsbBackend::Device state = bus.device(accessory);
    EXPECT_EQ(state.configuration, 1);
    EXPECT_EQ(state.claimedInterface, 1);
    EXPECT_EQ(state.alternateSetting, 1);
    EXPECT_EQ(state.references, 1);  // only the current device is kept
    EXPECT_THAT(console.text(), HasSubstr("    Serial Number: TA0001\n"
                                          "    Manufacturer: Bramel\n"
                                          "    Product: Tarno RF Explorer\n"));
    // While connected there is no listing.
    int listed = bus.listings();
    passes(3);
    EXPECT_EQ(bus.listings(), listed);

    // Closing puts the interface back in alternate setting 0 before releasing it.
    link.stop();
    state = bus.device(accessory);
    EXPECT_THAT(state.alternateSettingHistory, ElementsAre(1, 0));
    EXPECT_EQ(state.claimedInterface, -1);
    EXPECT_EQ(state.openHandles, 0);
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
}

TEST_F(LinkPassTest, FailedOpenReportsMinusOneAndOffersTheNextDevice) {
    int locked = bus.addAccessory();
    int usable = bus.addAccessory();
    bus.modify(locked, [](auto& device) { device.openResult = kUsbErrorAccess; });
    link.runPass();
    auto log = events.events();
    ASSERT_THAT(kinds(log), ElementsAre(Kind::ShouldConnect, Kind::DidFailToConnect,
                                        Kind::ShouldConnect, Kind::DidConnect));
    EXPECT_EQ(log[1].code, -1);
    EXPECT_EQ(bus.device(locked).references, 0);
    EXPECT_EQ(bus.device(usable).openHandles, 1);
    // The user learns why and what to install, not just a number.
    EXPECT_THAT(console.text(), HasSubstr("permission denied"));
    EXPECT_THAT(console.text(), HasSubstr("60-tarno-accessory.rules"));
}

TEST_F(LinkPassTest, OpenFailureOtherThanPermissionNamesTheError) {
    int busy = bus.addAccessory();
    bus.modify(busy, [](auto& device) { device.openResult = kUsbErrorBusy; });
    link.runPass();
    EXPECT_EQ(events.count(Kind::DidFailToConnect), 1);
    EXPECT_THAT(console.text(), HasSubstr("    Unable to open device: device busy (-6)\n"));
    EXPECT_THAT(console.text(), Not(HasSubstr("udev")));
}

TEST_F(LinkPassTest, UnreadableStringsAreReportedWithTheirError) {
    int accessory = bus.addAccessory();
    bus.modify(accessory, [](auto& device) {
        device.strings.erase(3);
        device.descriptor.manufacturerIndex = 0;
        device.strings[2] = "Evil\x1b[2JProduct";
    });
    link.runPass();
    std::string text = console.text();
    EXPECT_THAT(text, HasSubstr("    Unable to get Serial Number: -9\n"));
    EXPECT_THAT(text, HasSubstr("    Unable to get Manufacturer: -9\n"));
    // Escape sequences from the device never reach the terminal.
    EXPECT_THAT(text, HasSubstr("    Product: Evil?[2JProduct\n"));
}

TEST_F(LinkPassTest, UnplugDuringStreamingDisconnectsOnceAndReconnectsOnReturn) {
    int accessory = bus.addAccessory();
    auto firmware = std::make_shared<ScriptedAccessory>();
    bus.modify(accessory, [&](auto& device) { device.endpoints = firmware; });
    link.runPass();
    ASSERT_TRUE(sendBytes(ScriptedAccessory::settingsCommand(1), 2));
    passes(3);
    Bytes expected = ScriptedAccessory::settingsAck(1);
    for (uint32_t n = 0; n < 2; ++n) {
        Bytes packet = ScriptedAccessory::streamPacket(n);
        expected.insert(expected.end(), packet.begin(), packet.end());
    }
    EXPECT_EQ(events.receivedBytes(), expected);

    bus.unplug(accessory);
    passes(10);
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
    EXPECT_EQ(events.events().back().code, 0);
    EXPECT_FALSE(link.isConnected());
    EXPECT_EQ(bus.device(accessory).openHandles, 0);
    EXPECT_EQ(events.count(Kind::DidConnect), 1);

    bus.plug(accessory);
    link.runPass();
    EXPECT_EQ(events.count(Kind::DidConnect), 2);
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
}

TEST_F(LinkPassTest, ReadErrorDisconnectsEvenWithoutADataHandler) {
    events.bindConnectionOnly(link);
    int accessory = bus.addAccessory();
    link.runPass();
    bus.modify(accessory, [](auto& device) { device.readSteps.push_back({kUsbErrorIo}); });
    link.runPass();
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
    EXPECT_FALSE(link.isConnected());
}

TEST_F(LinkPassTest, TimeoutIsSilentButDeliversBytesThatArrivedBeforeIt) {
    int accessory = bus.addAccessory();
    link.runPass();
    bus.modify(accessory, [](auto& device) {
        device.readSteps.push_back({kUsbErrorTimeout, -1, {}});
        device.readSteps.push_back({kUsbErrorTimeout, -1, {0xAA, 0x60, 0x02}});
    });
    passes(2);
    auto log = events.events();
    EXPECT_EQ(events.count(Kind::Received), 1);
    EXPECT_EQ(log.back().bytes, (Bytes{0xAA, 0x60, 0x02}));
    EXPECT_TRUE(link.isConnected());
}

TEST_F(LinkPassTest, ReadClaimingMoreThanTheBufferIsTreatedAsBroken) {
    int accessory = bus.addAccessory();
    link.runPass();
    bus.modify(accessory, [](auto& device) {
        device.readSteps.push_back({kUsbSuccess, -1, Bytes(8, 0xAA), 4096});
    });
    link.runPass();
    EXPECT_EQ(events.count(Kind::Received), 0);
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
}

TEST_F(LinkPassTest, SendRejectsEmptyPackets) {
    EXPECT_FALSE(link.send(Bytes{}, 1));
    EXPECT_EQ(link.queuedPackets(), 0u);
}

TEST_F(LinkPassTest, ThreeQueuedPacketsGoOutInOrderOnePerPass) {
    int accessory = bus.addAccessory();
    link.runPass();
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x03}, 1));
    ASSERT_TRUE(sendBytes(ScriptedAccessory::settingsCommand(7), 2));
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x05}, 3));
    EXPECT_EQ(link.queuedPackets(), 3u);

    link.runPass();
    EXPECT_THAT(bus.device(accessory).writes, ElementsAre(Bytes{0xAA, 0x03, 0x03}));
    EXPECT_EQ(link.queuedPackets(), 2u);
    link.runPass();
    EXPECT_EQ(bus.device(accessory).writes.size(), 2u);
    EXPECT_EQ(bus.device(accessory).writes[1], ScriptedAccessory::settingsCommand(7));
    link.runPass();
    EXPECT_EQ(bus.device(accessory).writes[2], (Bytes{0xAA, 0x03, 0x05}));
    link.runPass();
    EXPECT_EQ(bus.device(accessory).writes.size(), 3u);

    std::vector<std::pair<int, int>> sent;
    for (const auto& event : events.events()) {
        if (event.kind == Kind::Sent) {
            sent.emplace_back(event.packet, event.code);
        }
    }
    EXPECT_THAT(sent, ElementsAre(std::pair{1, 0}, std::pair{2, 0}, std::pair{3, 0}));
}

TEST_F(LinkPassTest, PacketsQueuedBeforeConnectionWaitForTheDevice) {
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x03}, 1));
    passes(3);
    EXPECT_EQ(link.queuedPackets(), 1u);
    int accessory = bus.addAccessory();
    passes(2);
    EXPECT_THAT(bus.device(accessory).writes, ElementsAre(Bytes{0xAA, 0x03, 0x03}));
}

TEST_F(LinkPassTest, PartialWritesContinueWhereTheyStopped) {
    int accessory = bus.addAccessory();
    bus.modify(accessory, [](auto& device) { device.maxWriteChunk = 12; });
    link.runPass();
    Bytes command = ScriptedAccessory::settingsCommand(9);
    ASSERT_TRUE(sendBytes(command, 2));
    link.runPass();
    auto writes = bus.device(accessory).writes;
    ASSERT_EQ(writes.size(), 3u);  // 12 + 12 + 8 bytes
    Bytes joined;
    for (const auto& chunk : writes) {
        joined.insert(joined.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(joined, command);
    EXPECT_EQ(events.events().back().code, 0);
}

TEST_F(LinkPassTest, IncompleteWritesAreReportedAsFailedAndDiscarded) {
    int accessory = bus.addAccessory();
    link.runPass();
    // A timeout after part of the packet went out, then a transfer that moves nothing.
    bus.modify(accessory, [](auto& device) {
        device.writeSteps.push_back({kUsbErrorTimeout, 5});
        device.writeSteps.push_back({kUsbSuccess, 0});
    });
    ASSERT_TRUE(sendBytes(ScriptedAccessory::settingsCommand(1), 2));
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x03}, 1));
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x05}, 3));
    passes(3);
    std::vector<std::pair<int, int>> sent;
    for (const auto& event : events.events()) {
        if (event.kind == Kind::Sent) {
            sent.emplace_back(event.packet, event.code);
        }
    }
    EXPECT_THAT(sent, ElementsAre(std::pair{2, -1}, std::pair{1, -1}, std::pair{3, 0}));
    EXPECT_EQ(link.queuedPackets(), 0u);
    EXPECT_TRUE(link.isConnected());  // write errors alone never disconnect
}

TEST_F(LinkPassTest, UnclaimableInterfaceConnectsThenFailsItsFirstRead) {
    int accessory = bus.addAccessory();
    bus.modify(accessory, [](auto& device) { device.claimResult = kUsbErrorBusy; });
    passes(2);
    EXPECT_THAT(kinds(events.events()),
                ElementsAre(Kind::ShouldConnect, Kind::DidConnect, Kind::DidDisconnect));
}

TEST_F(LinkPassTest, SuspensionDropsTheDeviceOnceAndStopsSearchingUntilCleared) {
    bus.addAccessory();
    link.runPass();
    ASSERT_TRUE(link.isConnected());
    events.clear();

    link.setSuspended(true);
    passes(20);
    EXPECT_THAT(kinds(events.events()), ElementsAre(Kind::DidDisconnect));
    EXPECT_EQ(events.events()[0].code, 0);
    EXPECT_FALSE(link.isConnected());

    link.setSuspended(false);
    link.runPass();
    EXPECT_THAT(kinds(events.events()),
                ElementsAre(Kind::DidDisconnect, Kind::ShouldConnect, Kind::DidConnect));
}

TEST_F(LinkPassTest, ListingFailureIsSilentAndRetried) {
    bus.addAccessory();
    bus.setListingResult(kUsbErrorOther);
    passes(3);
    EXPECT_TRUE(events.events().empty());
    bus.setListingResult(kUsbSuccess);
    link.runPass();
    EXPECT_EQ(events.count(Kind::DidConnect), 1);
}

TEST_F(LinkPassTest, StopWithoutThreadDropsTheDeviceAndFreesQueuedPackets) {
    bus.addAccessory();
    link.runPass();
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x03}, 1));
    ASSERT_TRUE(sendBytes({0xAA, 0x03, 0x05}, 3));
    link.stop();
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
    link.stop();
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1);
    // The queued packets are freed by the destructor (LeakSanitizer checks).
}

TEST_F(LinkPassTest, ThousandConnectDisconnectCycles) {
    int accessory = bus.addAccessory();
    auto firmware = std::make_shared<ScriptedAccessory>();
    bus.modify(accessory, [&](auto& device) { device.endpoints = firmware; });
    for (int cycle = 0; cycle < 1000; ++cycle) {
        link.runPass();  // connect
        ASSERT_TRUE(sendBytes(ScriptedAccessory::discoveryRequest(), 1));
        link.runPass();  // write the request, read the reply
        bus.unplug(accessory);
        link.runPass();  // read fails: disconnect
        firmware->reset();
        bus.plug(accessory);
    }
    EXPECT_EQ(events.count(Kind::DidConnect), 1000);
    EXPECT_EQ(events.count(Kind::DidDisconnect), 1000);
    EXPECT_EQ(events.count(Kind::Received), 1000);
    EXPECT_EQ(events.count(Kind::DidFailToConnect), 0);
    EXPECT_EQ(events.receivedBytes().size(), 1000 * ScriptedAccessory::kDiscoveryReplyLength);
    EXPECT_EQ(bus.totalReferences(), 0);
    EXPECT_EQ(bus.totalOpenHandles(), 0);
}

}  // namespace
