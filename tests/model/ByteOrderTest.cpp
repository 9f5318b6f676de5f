// The one byte-order header: big-endian wire fields and little-endian stored images, as byte
// images, whatever the host order.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "model/ByteOrder.h"

TEST(ByteOrder, BigEndianFieldsAsOnTheWire) {
    std::array<uint8_t, 4> b{};
    byte_order::writeU16be(b.data(), 0x1234);
    EXPECT_EQ(b[0], 0x12);
    EXPECT_EQ(b[1], 0x34);
    EXPECT_EQ(byte_order::readU16be(b.data()), 0x1234);
    b = {0xFF, 0x38, 0, 0};
    EXPECT_EQ(byte_order::readS16be(b.data()), -200);

    byte_order::writeU32be(b.data(), 0xA1B2C3D4u);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0xA1, 0xB2, 0xC3, 0xD4}));
    EXPECT_EQ(byte_order::readU32be(b.data()), 0xA1B2C3D4u);
    // -2.5f is 0xC0200000.
    byte_order::writeFloatBe(b.data(), -2.5f);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0xC0, 0x20, 0x00, 0x00}));
    EXPECT_FLOAT_EQ(byte_order::readFloatBe(b.data()), -2.5f);
}

TEST(ByteOrder, LittleEndianFieldsAsInStoredImages) {
    std::array<uint8_t, 4> b{};
    byte_order::writeU32le(b.data(), 0xA1B2C3D4u);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(byte_order::readU32le(b.data()), 0xA1B2C3D4u);
    byte_order::writeS32le(b.data(), -2);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(byte_order::readS32le(b.data()), -2);
    byte_order::writeFloatLe(b.data(), -2.5f);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0x00, 0x00, 0x20, 0xC0}));
    EXPECT_FLOAT_EQ(byte_order::readFloatLe(b.data()), -2.5f);
}
