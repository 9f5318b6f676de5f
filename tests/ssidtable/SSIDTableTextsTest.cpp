// What the SSID table prints for crafted access-point records, and how rows fall into the two
// band sections; no window needed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDTableSections.h"
#include "views/ssid/SSIDTableTexts.h"

using namespace SSIDTableTexts;

namespace {

AccessPoint named(const char* bytes, size_t count, uint8_t lengthByte) {
    AccessPoint ap;
    ap.name[0] = lengthByte;
    std::memcpy(ap.name + 1, bytes, std::min<size_t>(count, 31));
    return ap;
}

AccessPoint onChannel(int channel, int is5GHz, int bandwidth = 20, int secondary = 0) {
    AccessPoint ap;
    ap.channel = static_cast<uint16_t>(channel);
    ap.is5GHz = is5GHz;
    ap.bandwidthMHz = bandwidth;
    ap.secondaryChannel = secondary;
    return ap;
}

TEST(SSIDTableTextsTest, SecurityTextAndLock) {
    EXPECT_EQ(securityText(0), "OPEN");
    EXPECT_EQ(securityText(1), "WPS");
    EXPECT_EQ(securityText(2), "WEP");
    EXPECT_EQ(securityText(3), "WPA");
    EXPECT_EQ(securityText(4), "WPA2");
    EXPECT_EQ(securityText(5), "?");
    EXPECT_EQ(securityText(-1), "?");
    EXPECT_FALSE(showsLock(0, 3));
    EXPECT_FALSE(showsLock(1, 0));  // WPS without a cipher is open
    EXPECT_TRUE(showsLock(1, 2));
    EXPECT_TRUE(showsLock(4, 0));
    EXPECT_TRUE(showsLock(-1, -1));  // unknown security is not shown as open
}

TEST(SSIDTableTextsTest, ModeListsStandardsInTableOrder) {
    EXPECT_EQ(modeText(0x01 | 0x02 | 0x04), "b/g/n");
    EXPECT_EQ(modeText(0x10), "ac");
    EXPECT_EQ(modeText(0x08 | 0x04 | 0x10), "a/n/ac");
    EXPECT_EQ(modeText(0x1F), "a/b/g/n/ac");
    EXPECT_EQ(modeText(0), "");
    EXPECT_EQ(modeText(0xE0), "");  // bits of no standard
}

TEST(SSIDTableTextsTest, BroadcastNamesAreClampedCutAndCleaned) {
    // A length byte of 255 against 31 stored characters: the byte after the name is not read.
    AccessPoint longName = named("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 31, 255);
    longName.nameSpare = 'X';
    EXPECT_EQ(nameText(longName), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(nameText(named("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 31, 32)).size(), 31u);

    EXPECT_EQ(nameText(named("home", 4, 4)), "home");
    EXPECT_EQ(nameText(named("home-net", 8, 4)), "home");  // the length byte decides
    EXPECT_EQ(nameText(named("ab\0cd", 5, 5)), "ab");      // stops at NUL
    EXPECT_EQ(nameText(named("", 0, 0)), "");
    // Line breaks, tabs, escapes and DEL would break the row apart.
    EXPECT_EQ(nameText(named("a\nb\tc\x1b[2J\x7f", 10, 10)), "a?b?c?[2J?");
    // A name is data, never a format.
    EXPECT_EQ(nameText(named("%s%n%x", 6, 6)), "%s%n%x");
    // UTF-8 passes through for the label to draw.
    EXPECT_EQ(nameText(named("caf\xc3\xa9", 5, 5)), "caf\xc3\xa9");
}

TEST(SSIDTableTextsTest, LevelTextAndBarColours) {
    EXPECT_EQ(rssiText(-75.f), "-75 dBm");
    EXPECT_EQ(rssiText(-42.4f), "-42 dBm");
    EXPECT_EQ(rssiText(NAN), "--");

    const LevelBar at75 = levelBar(-75.f);
    EXPECT_NEAR(at75.percent, 30.f, 1e-4);
    EXPECT_EQ(at75, (LevelBar{at75.percent, 255, 127, 0}));
    EXPECT_EQ(levelBar(-90.f), (LevelBar{10, 255, 0, 0}));
    EXPECT_EQ(levelBar(-120.f), (LevelBar{10, 255, 0, 0}));
    const LevelBar at60 = levelBar(-60.f);  // top of the red-to-yellow stretch
    EXPECT_NEAR(at60.percent, 50.f, 1e-4);
    EXPECT_EQ(at60, (LevelBar{at60.percent, 255, 255, 0}));
    const LevelBar at45 = levelBar(-45.f);
    EXPECT_NEAR(at45.percent, 75.f, 1e-4);
    EXPECT_EQ(at45, (LevelBar{at45.percent, 127, 255, 0}));
    EXPECT_EQ(levelBar(-30.f), (LevelBar{100, 0, 255, 0}));
    EXPECT_EQ(levelBar(10.f), (LevelBar{100, 0, 255, 0}));
    EXPECT_EQ(levelBar(NAN).percent, 0.f);
}

TEST(SSIDTableTextsTest, AddressChannelFrequencyAndCount) {
    AccessPoint ap;
    const uint8_t bssid[6] = {0x00, 0x1a, 0xff, 0x0b, 0xc0, 0x7e};
    std::memcpy(ap.bssid, bssid, 6);
    EXPECT_EQ(bssidText(ap.bssid), "[00:1a:ff:0b:c0:7e]");

    EXPECT_EQ(channelText(onChannel(6, 0, 40, 1)), "6L");
    EXPECT_EQ(channelText(onChannel(6, 0, 40, 2)), "6U");
    EXPECT_EQ(channelText(onChannel(6, 0, 20, 1)), "6");  // only 40 MHz has a side
    EXPECT_EQ(channelText(onChannel(11, 0, 40, 0)), "11");

    EXPECT_EQ(frequencyText(onChannel(14, 0)), "2.484");
    EXPECT_EQ(frequencyText(onChannel(1, 0)), "2.412");
    EXPECT_EQ(frequencyText(onChannel(13, 0)), "2.472");
    EXPECT_EQ(frequencyText(onChannel(0, 0)), "0.000");
    EXPECT_EQ(frequencyText(onChannel(200, 0)), "0.000");
    EXPECT_EQ(frequencyText(onChannel(36, 1)), "5.180");
    EXPECT_EQ(frequencyText(onChannel(165, 1)), "5.825");

    EXPECT_EQ(countText(99), "99");
    EXPECT_EQ(titleText(3, 4000000000u), "Total AP: 3 Total Scan: 4000000000");
    EXPECT_EQ(headerText("RSSI", true, true), "RSSI-");
    EXPECT_EQ(headerText("RSSI", true, false), "RSSI+");
    EXPECT_EQ(headerText("CH.", false, true), "CH.");
}

TEST(SSIDTableTextsTest, UngradedAccessPointsShowDashes) {
    EXPECT_EQ(gradePercentText(0, false), "--");
    EXPECT_EQ(gradeLetterText(0, false), "--");
    EXPECT_EQ(compactGradeText(0, false), "--");
    EXPECT_EQ(gradePercentText(NAN, true), "--");
    EXPECT_EQ(gradePercentText(85.f, true), "85%");
    EXPECT_EQ(gradeLetterText(85.f, true), "B");
    EXPECT_EQ(compactGradeText(85.f, true), "B(85%)");
    EXPECT_EQ(compactGradeText(140.f, true), "A(100%)");
    EXPECT_EQ(compactGradeText(-3.f, true), "F(0%)");
    EXPECT_STREQ(gradeLetter(90), "A");
    EXPECT_STREQ(gradeLetter(70), "C");
    EXPECT_STREQ(gradeLetter(60), "D");
    EXPECT_STREQ(gradeLetter(59.9f), "F");
}

std::vector<std::unique_ptr<AccessPoint>> listOf(std::initializer_list<int> bands) {
    std::vector<std::unique_ptr<AccessPoint>> list;
    for (int band : bands) {
        list.push_back(std::make_unique<AccessPoint>());
        list.back()->is5GHz = band;
    }
    return list;
}

TEST(SSIDTableSectionsTest, BandOnScreenComesFirst) {
    using Kind = SSIDTableSections::RowKind;
    SSIDTableSections sections;
    const auto three = listOf({0, 0, 0});
    sections.rebuild(three, 0);
    ASSERT_EQ(sections.rowCount(), 6);
    EXPECT_EQ(sections.row(0).kind, Kind::kHeader);
    EXPECT_FALSE(sections.row(0).band5);
    EXPECT_EQ(sections.row(3).kind, Kind::kAccessPoint);
    EXPECT_EQ(sections.row(3).index, 2u);
    EXPECT_EQ(sections.row(4).kind, Kind::kHeader);
    EXPECT_TRUE(sections.row(4).band5);
    EXPECT_EQ(sections.row(5).kind, Kind::kEmpty);
    EXPECT_EQ(sections.row(6).kind, Kind::kInvalid);
    EXPECT_EQ(sections.row(-1).kind, Kind::kInvalid);

    // Band 1: the empty 5 GHz section first.
    sections.rebuild(three, 1);
    ASSERT_EQ(sections.rowCount(), 6);
    EXPECT_TRUE(sections.row(0).band5);
    EXPECT_EQ(sections.row(1).kind, Kind::kEmpty);
    EXPECT_EQ(sections.row(2).kind, Kind::kHeader);
    EXPECT_FALSE(sections.row(2).band5);
    EXPECT_EQ(sections.row(5).index, 2u);

    // Mixed, in list order; a record marked neither band is in no section.
    const auto mixed = listOf({1, 0, 7, 1, 0});
    sections.rebuild(mixed, 0);
    EXPECT_EQ(sections.firstSection(), (std::vector<size_t>{1, 4}));
    EXPECT_EQ(sections.secondSection(), (std::vector<size_t>{0, 3}));
    EXPECT_EQ(sections.rowCount(), 6);
    EXPECT_EQ(sections.row(5).index, 3u);

    const std::vector<std::unique_ptr<AccessPoint>> none;
    sections.rebuild(none, 0);
    EXPECT_EQ(sections.rowCount(), 4);
    EXPECT_EQ(sections.row(3).kind, Kind::kEmpty);
}

TEST(SSIDTableSectionsTest, HeaderPressesChooseCriterionAndDirection) {
    uint8_t criterion = 2, descending = 0;
    SSIDTableLayer::chooseSort(criterion, descending, 3);  // RSSI: strongest first
    EXPECT_EQ(criterion, 3);
    EXPECT_EQ(descending, 1);
    SSIDTableLayer::chooseSort(criterion, descending, 3);
    EXPECT_EQ(descending, 0);
    SSIDTableLayer::chooseSort(criterion, descending, 4);  // others ascending
    EXPECT_EQ(criterion, 4);
    EXPECT_EQ(descending, 0);
    SSIDTableLayer::chooseSort(criterion, descending, 4);
    EXPECT_EQ(descending, 1);
}

}  // namespace
