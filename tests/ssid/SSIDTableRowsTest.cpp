#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/AccessPoint.h"
#include "views/ssid/SSIDTableRows.h"
#include "views/ssid/TableSortHeader.h"

namespace {

std::vector<std::unique_ptr<AccessPoint>> list(std::initializer_list<int> bands) {
    std::vector<std::unique_ptr<AccessPoint>> out;
    for (int band : bands) {
        out.push_back(std::make_unique<AccessPoint>());
        out.back()->is5GHz = band;
    }
    return out;
}

using Kind = SSIDTableRows::Kind;

}  // namespace

TEST(SSIDTableRows, SectionsByBandWithTheChosenBandFirst) {
    SSIDTableRows rows;
    rows.rebuild(list({0, 0, 0}), 0);
    ASSERT_EQ(rows.rowCount(), 6u);  // header, three, header, "No SSID to display"
    EXPECT_EQ(rows.row(0).kind, Kind::kHeader);
    EXPECT_FALSE(rows.row(0).band5);
    EXPECT_EQ(rows.row(3).kind, Kind::kAccessPoint);
    EXPECT_EQ(rows.row(3).index, 2u);
    EXPECT_EQ(rows.row(4).kind, Kind::kHeader);
    EXPECT_TRUE(rows.row(4).band5);
    EXPECT_EQ(rows.row(5).kind, Kind::kEmpty);
    EXPECT_EQ(rows.row(6).kind, Kind::kInvalid);
    EXPECT_EQ(rows.row(-1).kind, Kind::kInvalid);

    rows.rebuild(list({0, 1, 7, 0}), 1);  // a 5-GHz field of 7 is in neither section
    ASSERT_EQ(rows.rowCount(), 5u);
    EXPECT_TRUE(rows.row(0).band5);
    EXPECT_EQ(rows.row(1).index, 1u);
    EXPECT_FALSE(rows.row(2).band5);
    EXPECT_EQ(rows.row(3).index, 0u);
    EXPECT_EQ(rows.row(4).index, 3u);

    rows.rebuild(list({}), 0);
    ASSERT_EQ(rows.rowCount(), 4u);
    EXPECT_EQ(rows.row(1).kind, Kind::kEmpty);
    EXPECT_EQ(rows.row(2).kind, Kind::kHeader);
    EXPECT_EQ(rows.row(3).kind, Kind::kEmpty);
}

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
