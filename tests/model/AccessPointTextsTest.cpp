#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model/AccessPointTexts.h"

namespace {

AccessPoint named(const char* text, uint8_t lengthByte) {
    AccessPoint ap;
    std::memcpy(ap.name + 1, text, std::min<size_t>(std::strlen(text), 31));
    ap.name[0] = lengthByte;
    return ap;
}

}  // namespace

TEST(AccessPointTexts, NamesAreClampedCleanedAndNeverFormats) {
    EXPECT_EQ(AccessPointTexts::name(named("%s%n", 4)), "%s%n");
    // A length byte of 255 against 31 stored characters; nameSpare after them is not read.
    AccessPoint longName = named("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 255);
    longName.nameSpare = 'X';
    EXPECT_EQ(AccessPointTexts::name(longName), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(AccessPointTexts::name(named("cafe\0tail", 9)), "cafe");
    EXPECT_EQ(AccessPointTexts::name(named("a\tb\x1b[2Jc\x7f", 10)), "a?b?[2Jc?");
    EXPECT_EQ(AccessPointTexts::name(named("caf\xc3\xa9", 5)), "caf\xc3\xa9");
    EXPECT_EQ(AccessPointTexts::name(named("hidden", 0)), "");
}

TEST(AccessPointTexts, NamesAreTextWhateverBytesTheyHold) {
    // Latin-1, and a character the 31-byte field cuts off, show as U+FFFD.
    EXPECT_EQ(AccessPointTexts::name(named("caf\xe9", 4)), "caf\xef\xbf\xbd");
    AccessPoint cut = named("123456789012345678901234567890\xe4\xb8\xad", 255);
    EXPECT_EQ(AccessPointTexts::name(cut), "123456789012345678901234567890\xef\xbf\xbd");
    EXPECT_EQ(AccessPointTexts::name(named("\xe4\xb8\xad\xe6\x96\x87", 6)),
              "\xe4\xb8\xad\xe6\x96\x87");
    // A C1 control (NEL) breaks a label into lines as '\n' does.
    EXPECT_EQ(AccessPointTexts::name(named("a\xc2\x85"
                                           "b",
                                           4)),
              "a?b");
}

TEST(AccessPointTexts, ColumnTexts) {
    AccessPoint ap;
    ap.channel = 14;
    EXPECT_EQ(AccessPointTexts::frequency(ap), "2.484");
    ap.channel = 15;
    EXPECT_EQ(AccessPointTexts::frequency(ap), "0.000");
    ap.channel = 36;
    ap.is5GHz = 1;
    EXPECT_EQ(AccessPointTexts::frequency(ap), "5.180");
    ap.is5GHz = 0;
    ap.channel = 6;
    ap.bandwidthMHz = 40;
    ap.secondaryChannel = 1;
    EXPECT_EQ(AccessPointTexts::channel(ap), "6L");
    ap.secondaryChannel = 2;
    EXPECT_EQ(AccessPointTexts::channel(ap), "6U");
    ap.bandwidthMHz = 20;
    EXPECT_EQ(AccessPointTexts::channel(ap), "6");
    EXPECT_EQ(AccessPointTexts::mode(0x07), "b/g/n");
    EXPECT_EQ(AccessPointTexts::mode(0x10), "ac");
    EXPECT_EQ(AccessPointTexts::mode(0x1C), "a/n/ac");
    EXPECT_EQ(AccessPointTexts::mode(0), "");
    EXPECT_STREQ(AccessPointTexts::security(4), "WPA2");
    EXPECT_STREQ(AccessPointTexts::security(5), "?");
    EXPECT_STREQ(AccessPointTexts::security(-1), "?");
    ap.security = 1;
    ap.cipher = 0;
    EXPECT_FALSE(AccessPointTexts::showsLock(ap));
    ap.cipher = 2;
    EXPECT_TRUE(AccessPointTexts::showsLock(ap));
    ap.bssid[0] = 0xAB;
    ap.bssid[5] = 0x07;
    EXPECT_EQ(AccessPointTexts::bssid(ap), "[ab:00:00:00:00:07]");
    EXPECT_EQ(AccessPointTexts::rssi(-63.4f), "-63 dBm");
}

TEST(AccessPointTexts, LevelBarFillAndColour) {
    auto bar = AccessPointTexts::levelBar(-75.0f);
    EXPECT_FLOAT_EQ(bar.percent, 30.0f);
    EXPECT_EQ(bar.red, 255);
    EXPECT_EQ(bar.green, 127);
    bar = AccessPointTexts::levelBar(-95.0f);
    EXPECT_FLOAT_EQ(bar.percent, 10.0f);
    EXPECT_EQ(bar.green, 0);
    bar = AccessPointTexts::levelBar(-45.0f);
    EXPECT_FLOAT_EQ(bar.percent, 75.0f);
    EXPECT_EQ(bar.red, 127);
    EXPECT_EQ(bar.green, 255);
    bar = AccessPointTexts::levelBar(-10.0f);
    EXPECT_FLOAT_EQ(bar.percent, 100.0f);
    EXPECT_EQ(bar.red, 0);
    EXPECT_FLOAT_EQ(AccessPointTexts::levelBar(NAN).percent, 10.0f);
}

TEST(AccessPointTexts, UtilizationColumns) {
    AccessPoint ap;
    ap.channel = 3;
    ap.bandwidthMHz = 40;
    ap.secondaryChannel = 1;
    EXPECT_EQ(AccessPointTexts::gradeCompact(ap), "--");  // not graded yet
    EXPECT_EQ(AccessPointTexts::gradeLetter(ap), "--");
    EXPECT_EQ(AccessPointTexts::utilizationChannel(ap, true), "3L->?");
    ap.grading.graded = true;
    ap.grade = 93.4f;
    EXPECT_EQ(AccessPointTexts::gradeCompact(ap), "A(93%)");
    EXPECT_EQ(AccessPointTexts::gradePercent(ap), "93%");
    ap.grade = 120.0f;
    EXPECT_EQ(AccessPointTexts::gradePercent(ap), "100%");
    ap.grade = 59.0f;
    EXPECT_EQ(AccessPointTexts::gradeLetter(ap), "F");
    ap.grading.addRecommendation(7);
    EXPECT_EQ(AccessPointTexts::utilizationChannel(ap, true), "3L->7L");
    EXPECT_EQ(AccessPointTexts::utilizationChannel(ap, false), "3L");
    ap.grading.addRecommendation(3);
    ap.grading.addRecommendation(3);
    EXPECT_EQ(AccessPointTexts::utilizationChannel(ap, true), "3L");
}
