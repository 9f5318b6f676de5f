#include <gtest/gtest.h>

#include "views/ssid/TableSortHeader.h"

TEST(TableSortHeader, PressingAColumn) {
    TableSortHeader::Order order{2, false};
    order = TableSortHeader::pressed(order, 3);  // RSSI starts strongest first
    EXPECT_EQ(order.criterion, 3);
    EXPECT_TRUE(order.descending);
    EXPECT_EQ(TableSortHeader::title("RSSI", 3, order), "RSSI-");
    EXPECT_EQ(TableSortHeader::title("SSID", 2, order), "SSID");
    order = TableSortHeader::pressed(order, 3);
    EXPECT_EQ(TableSortHeader::title("RSSI", 3, order), "RSSI+");
    order = TableSortHeader::pressed(order, 4);
    EXPECT_FALSE(order.descending);
}
