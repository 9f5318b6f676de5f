#include <gtest/gtest.h>

#include "link/AccessoryInventory.h"
#include "tests/link/FakeUsbBackend.h"

namespace {

TEST(AccessoryInventoryTest, ListsAccessoriesWithStringsAndAccessWithoutClaimingThem) {
    FakeUsbBackend bus;
    bus.addDevice(0x046D, 0xC077);
    int open = bus.addAccessory();
    int locked = bus.addAccessory();
    bus.modify(locked, [](auto& device) { device.openResult = kUsbErrorAccess; });
    bus.modify(open, [](auto& device) { device.strings[2] = "Tarno\x07"; });

    std::vector<AccessoryInfo> accessories;
    ASSERT_EQ(AccessoryInventory::take(bus, accessories), 2);
    const AccessoryInfo& first = accessories[0];
    EXPECT_EQ(first.bus, 1);
    EXPECT_EQ(first.address, bus.device(open).address);
    EXPECT_EQ(first.vendorId, 0x3A7C);
    EXPECT_EQ(first.productId, 0x0007);
    EXPECT_TRUE(first.accessible);
    EXPECT_EQ(first.serialNumber, "TA0001");
    EXPECT_EQ(first.manufacturer, "Bramel");
    EXPECT_EQ(first.product, "Tarno?");

    const AccessoryInfo& second = accessories[1];
    EXPECT_FALSE(second.accessible);
    EXPECT_EQ(second.openResult, kUsbErrorAccess);
    EXPECT_TRUE(second.serialNumber.empty());

    // A probe must not disturb a running Tarno: no configuration, no claim, nothing left open.
    EXPECT_EQ(bus.device(open).configuration, 0);
    EXPECT_TRUE(bus.device(open).alternateSettingHistory.empty());
    EXPECT_EQ(bus.totalOpenHandles(), 0);
    EXPECT_EQ(bus.totalReferences(), 0);
}

TEST(AccessoryInventoryTest, UnavailableUsbAndEmptyBus) {
    FakeUsbBackend bus;
    std::vector<AccessoryInfo> accessories(1);
    EXPECT_EQ(AccessoryInventory::take(bus, accessories), 0);
    EXPECT_TRUE(accessories.empty());
    bus.setListingResult(kUsbErrorOther);
    EXPECT_EQ(AccessoryInventory::take(bus, accessories), -1);
}

}  // namespace
