#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "menus/NumericRangePickerSource.h"
#include "menus/ValueTablePickerSource.h"

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

TEST(ValueTablePickerSource, LooksUpBothWaysAndFallsBackToTheFirstRow) {
    ValueTablePickerSource table({{0, "ALWAYS"}, {0.1, "0.1 s"}, {5, "5 s"}, {30, "30 s"}});
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.titleForRow(2), "5 s");
    EXPECT_DOUBLE_EQ(table.valueForRow(3), 30);
    // A float from the store finds its decimal entry.
    EXPECT_EQ(table.rowForValue(static_cast<float>(0.1)), 1);
    EXPECT_TRUE(table.contains(static_cast<float>(0.1)));
    // Values not in the table (an old or damaged store) select the first row.
    for (double stored : {7.0, -1.0, 1e30, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(table.rowForValue(stored), 0) << stored;
        EXPECT_FALSE(table.contains(stored)) << stored;
    }
    // Rows outside the table are clamped for values and empty for titles.
    EXPECT_DOUBLE_EQ(table.valueForRow(-3), 0);
    EXPECT_DOUBLE_EQ(table.valueForRow(99), 30);
    EXPECT_EQ(table.titleForRow(4), "");
    EXPECT_EQ(table.titleForRow(-1), "");

    ValueTablePickerSource empty({});
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_EQ(empty.rowForValue(3), 0);
    EXPECT_DOUBLE_EQ(empty.valueForRow(0), 0);
}

TEST(NumericRangePickerSource, RowsCoverTheRangeWithBothEnds) {
    NumericRangePickerSource persist(0.1, 20.0, 0.1, seconds);
    // 0.1 .. 20.0 in tenths: (20 - 0.1) / 0.1 lands just below 199 in binary.
    EXPECT_EQ(persist.rowCount(), 200);
    EXPECT_EQ(persist.titleForRow(0), "0.1 s");
    EXPECT_EQ(persist.titleForRow(199), "20.0 s");
    EXPECT_EQ(persist.titleForRow(200), "");
    EXPECT_NEAR(persist.valueForRow(199), 20.0, 1e-9);
    EXPECT_NEAR(persist.valueForRow(1000), 20.0, 1e-9);

    NumericRangePickerSource one(5, 5, 1, seconds);
    EXPECT_EQ(one.rowCount(), 1);
}

TEST(NumericRangePickerSource, OffGridAndOutOfRangeValuesSelectTheNearestRow) {
    NumericRangePickerSource range(0, 10, 0.5, seconds);
    EXPECT_EQ(range.rowForValue(3.26), 7);  // 3.5 is nearer than 3.0
    EXPECT_EQ(range.rowForValue(3.24), 6);
    EXPECT_FALSE(range.isOnGrid(3.26));
    EXPECT_TRUE(range.isOnGrid(static_cast<float>(3.5)));
    EXPECT_EQ(range.rowForValue(-40), 0);
    EXPECT_EQ(range.rowForValue(1e30), 20);
    EXPECT_EQ(range.rowForValue(std::numeric_limits<double>::infinity()), 20);
    EXPECT_EQ(range.rowForValue(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_FALSE(range.isOnGrid(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(range.isOnGrid(10.5));
}

TEST(NumericRangePickerSource, ABrokenRangeHasNoRows) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (auto [first, last, step] :
         {std::tuple{0.0, 10.0, 0.0}, std::tuple{0.0, 10.0, -1.0}, std::tuple{10.0, 0.0, 1.0},
          std::tuple{0.0, nan, 1.0}, std::tuple{0.0, 10.0, nan}}) {
        NumericRangePickerSource range(first, last, step, seconds);
        EXPECT_EQ(range.rowCount(), 0);
        EXPECT_EQ(range.rowForValue(3), 0);
        EXPECT_EQ(range.titleForRow(0), "");
    }
    // A step far too small for the range is capped, not a billion rows.
    NumericRangePickerSource tiny(0, 1e6, 1e-3, seconds);
    EXPECT_EQ(tiny.rowCount(), NumericRangePickerSource::kMaxRows);
}

}  // namespace
