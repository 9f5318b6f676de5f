#include "model/config/ReferenceTraceImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Records = std::vector<std::vector<float>>;

TEST(ReferenceTraceImagesTest, RecordListIsCountThenFloatsPerRecord) {
    Records records = {{1.0f, -2.0f}, {}, {0.5f}};
    EXPECT_EQ(encodeRecordList(records),
              (std::vector<uint8_t>{2, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0,  //
                                    0, 0, 0, 0,                                                  //
                                    1, 0, 0, 0, 0x00, 0x00, 0x00, 0x3F}));
    EXPECT_EQ(decodeRecordList(encodeRecordList(records)), records);
    EXPECT_TRUE(encodeRecordList({}).empty());
    EXPECT_TRUE(decodeRecordList({}).empty());
}

TEST(ReferenceTraceImagesTest, CorruptRecordListKeepsTheRecordsBeforeTheBadOne) {
    std::vector<uint8_t> good = encodeRecordList({{1.0f}, {2.0f, 3.0f}});

    // The last record's floats cut short.
    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_EQ(decodeRecordList(truncated), (Records{{1.0f}}));

    // A count far beyond the data; 4 * count would wrap a 32-bit size.
    std::vector<uint8_t> huge = good;
    huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;
    EXPECT_EQ(decodeRecordList(huge), (Records{{1.0f}}));
    huge[8] = 0x01;
    huge[9] = huge[10] = 0x00;
    huge[11] = 0x40;  // 0x40000001: 4 * count wraps to 4
    EXPECT_EQ(decodeRecordList(huge), (Records{{1.0f}}));

    // A partial count at the end is dropped, whole records stay.
    std::vector<uint8_t> trailing = good;
    trailing.insert(trailing.end(), {7, 0, 0});
    EXPECT_EQ(decodeRecordList(trailing), (Records{{1.0f}, {2.0f, 3.0f}}));
    EXPECT_TRUE(decodeRecordList(std::vector<uint8_t>{1, 0, 0}).empty());
}

TEST(ReferenceTraceImagesTest, FloatArrayIsTheFloatsAlone) {
    std::vector<float> values = {1.0f, 0.5f};
    EXPECT_EQ(encodeFloatArray(values),
              (std::vector<uint8_t>{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x3F}));
    EXPECT_TRUE(encodeFloatArray({}).empty());
    std::vector<uint8_t> data = encodeFloatArray(values);
    data.insert(data.end(), {1, 2, 3});  // a partial float is dropped
    EXPECT_EQ(decodeFloatArray(data), values);
    EXPECT_TRUE(decodeFloatArray(std::vector<uint8_t>{1, 2, 3}).empty());
}

}  // namespace
