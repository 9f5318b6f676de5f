// The link carrying the accessory simulator's firmware models: the bytes the host receives are
// exactly what the firmware sent, whichever generation is plugged in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "link/AccessoryCommunication.h"
#include "tests/link/FakeUsbBackend.h"
#include "tests/link/LinkEventLog.h"
#include "tests/link/SimulatedAccessoryEndpoints.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes firmwareAnswer(SimGeneration generation, const Bytes& command) {
    auto accessory = SimulatedAccessory::create(generation, 7);
    accessory->receive(command);
    return accessory->readAll();
}

class LinkSimulatorTest : public ::testing::TestWithParam<SimGeneration> {};

TEST_P(LinkSimulatorTest, DiscoveryReplyArrivesByteForByte) {
    FakeUsbBackend bus;
    int accessory = bus.addAccessory();
    bus.modify(accessory, [](auto& device) {
        device.endpoints = std::make_shared<SimulatedAccessoryEndpoints>(
            SimulatedAccessory::create(GetParam(), 7), 10);
    });
    LinkEventLog events;
    AccessoryCommunication link(bus, nullptr);
    events.bind(link);

    link.runPass();
    Bytes request{0xAA, 0x03, 0x03};
    ASSERT_TRUE(link.send(request, 1));
    link.runPass();

    Bytes expected = firmwareAnswer(GetParam(), request);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(events.receivedBytes(), expected);
    link.stop();
}

INSTANTIATE_TEST_SUITE_P(Generations, LinkSimulatorTest,
                         ::testing::Values(SimGeneration::Tarno, SimGeneration::Tarno2,
                                           SimGeneration::TarnoDuo));

}  // namespace
