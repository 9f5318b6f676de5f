#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "model/AccessPointOrder.h"
#include "model/SpectrumSettings.h"

namespace {

std::unique_ptr<AccessPoint> named(const std::string& name, int id) {
    auto ap = std::make_unique<AccessPoint>();
    ap->name[0] = static_cast<uint8_t>(name.size());
    std::memcpy(ap->name + 1, name.data(), name.size());
    ap->bssid[5] = static_cast<uint8_t>(id);
    return ap;
}

class AccessPointSort : public ::testing::Test {
  protected:
    std::unique_ptr<SpectrumSettings> s = std::make_unique<SpectrumSettings>();

    AccessPoint& add(const std::string& name) {
        s->accessPoints.push_back(named(name, static_cast<int>(s->accessPoints.size())));
        return *s->accessPoints.back();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& ap : s->accessPoints) {
            out.emplace_back(ap->nameView());
        }
        return out;
    }
    using Names = std::vector<std::string>;
};

TEST_F(AccessPointSort, SsidFoldsCapitalsAndPutsPrefixesFirst) {
    add("ABD");
    add("abc");
    add("ab");
    add("Zeta");
    add("alpha");
    s->sortAccessPoints(SpectrumSettings::kSortSsid, false);
    EXPECT_EQ(names(), (Names{"ab", "abc", "ABD", "alpha", "Zeta"}));
    s->sortAccessPoints(SpectrumSettings::kSortSsid, true);
    EXPECT_EQ(names(), (Names{"Zeta", "alpha", "ABD", "abc", "ab"}));
}

TEST_F(AccessPointSort, SsidFoldsOnlyAsciiCapitals) {
    // '_' (95) lies between the capitals and the small letters: unfolded it would sort before 'a'.
    AccessPoint under = *named("_x", 0);
    AccessPoint upper = *named("Ax", 1);
    EXPECT_TRUE(accessPointLess(under, upper, 2));  // '_' 95 < 'a' 97 after folding 'A'
    AccessPoint high = *named("\xC4x", 2);          // bytes above 127 compare unsigned
    EXPECT_TRUE(accessPointLess(upper, high, 2));
}

TEST_F(AccessPointSort, BssidComparesUnsignedBytesInOrder) {
    AccessPoint a;
    AccessPoint b;
    a.bssid[0] = 0x7f;
    b.bssid[0] = 0x80;
    a.bssid[5] = 0xff;
    EXPECT_TRUE(accessPointLess(a, b, 1));
    EXPECT_FALSE(accessPointLess(b, a, 1));
    EXPECT_FALSE(accessPointLess(a, a, 1));
}

TEST_F(AccessPointSort, LevelChannelAndCount) {
    add("a").rssi = -40.0f;
    add("b").rssi = -80.0f;
    add("c").rssi = -60.0f;
    s->sortAccessPoints(3, true);
    EXPECT_EQ(names(), (Names{"a", "c", "b"}));

    s->accessPoints[0]->channel = 300;  // a
    s->accessPoints[1]->channel = 6;    // c
    s->accessPoints[2]->channel = 11;   // b
    s->sortAccessPoints(4, false);
    EXPECT_EQ(names(), (Names{"c", "b", "a"}));
    s->sortAccessPoints(6, true);
    EXPECT_EQ(names(), (Names{"a", "b", "c"}));

    AccessPoint few;
    AccessPoint many;
    few.seenCount = 5;
    many.seenCount = -1;  // compared as unsigned: the largest count
    EXPECT_TRUE(accessPointLess(few, many, 7));
}

TEST_F(AccessPointSort, ModeTextOrder) {
    EXPECT_EQ(modeSortText(0x1f), "a/b/g/n/ac/");
    EXPECT_EQ(modeSortText(0x06), "g/n/");
    EXPECT_EQ(modeSortText(0), "");
    AccessPoint none;
    AccessPoint b;
    AccessPoint bg;
    AccessPoint a;
    b.standards = 0x01;
    bg.standards = 0x03;
    a.standards = 0x08;
    EXPECT_TRUE(accessPointLess(none, b, 5));  // the empty text first
    EXPECT_TRUE(accessPointLess(b, bg, 5));    // "b/" is a proper prefix of "b/g/"
    EXPECT_TRUE(accessPointLess(a, b, 5));     // "a/" < "b/"
    EXPECT_FALSE(accessPointLess(bg, b, 5));
}

TEST_F(AccessPointSort, SecurityByRank) {
    EXPECT_EQ(securityRank(0), 0);
    EXPECT_EQ(securityRank(2), 1);
    EXPECT_EQ(securityRank(3), 2);
    EXPECT_EQ(securityRank(4), 3);
    EXPECT_EQ(securityRank(1), 4);
    EXPECT_EQ(securityRank(-1), 10);
    EXPECT_EQ(securityRank(5), 10);
    const int kinds[] = {-1, 1, 4, 3, 2, 0};
    for (int kind : kinds) {
        add(std::to_string(kind)).security = kind;
    }
    s->accessPoints[0]->securityClass = 0;  // the class is not what this column orders by
    s->sortAccessPoints(SpectrumSettings::kSortSecurity, false);
    EXPECT_EQ(names(), (Names{"0", "2", "3", "4", "1", "-1"}));
}

TEST_F(AccessPointSort, GradesAndTheirTwoCriteria) {
    add("low").grade = 10.0f;
    add("high").grade = 90.0f;
    add("mid").grade = 50.0f;
    s->accessPoints[0]->gradePercent = 70.0f;
    s->accessPoints[1]->gradePercent = 5.0f;
    s->accessPoints[2]->gradePercent = 30.0f;

    s->sortAccessPoints(SpectrumSettings::kSortGradePercent, false);
    EXPECT_EQ(names(), (Names{"high", "mid", "low"}));
    s->sortAccessPoints(10, true);
    const Names byGrade = names();
    EXPECT_EQ(byGrade, (Names{"high", "mid", "low"}));
    s->sortAccessPoints(9, false);
    s->sortAccessPoints(11, true);
    EXPECT_EQ(names(), byGrade);
}

TEST_F(AccessPointSort, NoneAndOutOfRangeCriteriaLeaveTheOrder) {
    add("c").rssi = -10.0f;
    add("a").rssi = -90.0f;
    add("b").rssi = -50.0f;
    for (int criterion : {0, 12, 200, -1}) {
        s->sortAccessPoints(criterion, false);
        EXPECT_EQ(names(), (Names{"c", "a", "b"})) << criterion;
    }
    s->accessPoints.clear();
    s->sortAccessPoints(3, true);  // empty list: nothing happens
    EXPECT_TRUE(s->accessPoints.empty());
}

TEST_F(AccessPointSort, MissingLevelsKeepTheSortSound) {
    // A NaN breaks a plain '<' ordering, which std::sort may answer with out-of-range reads.
    const float nan = std::nanf("");
    for (int i = 0; i < 64; ++i) {
        add("x" + std::to_string(i)).rssi = (i % 3 == 0) ? nan : static_cast<float>(-i);
    }
    s->sortAccessPoints(3, false);
    ASSERT_EQ(s->accessPoints.size(), 64u);
    size_t i = 0;
    while (i < s->accessPoints.size() && std::isnan(s->accessPoints[i]->rssi)) {
        ++i;
    }
    EXPECT_EQ(i, 22u);
    for (size_t j = i + 1; j < s->accessPoints.size(); ++j) {
        EXPECT_LE(s->accessPoints[j - 1]->rssi, s->accessPoints[j]->rssi);
    }
}

TEST_F(AccessPointSort, ClearingTheListResetsStatisticsAndFlags) {
    add("a");
    s->scanStatistics.selection[0][0] = 1;
    s->scanStatistics.gradingCounter = 40;
    s->runtime.scanCount = 9;
    s->runtime.ssidTableChanged = false;
    s->runtime.utilizationChanged = false;
    s->clearAccessPoints();
    EXPECT_TRUE(s->accessPoints.empty());
    EXPECT_EQ(s->scanStatistics.selection[0][0], 0);
    EXPECT_EQ(s->scanStatistics.gradingCounter, 0);
    EXPECT_EQ(s->runtime.scanCount, 0);
    EXPECT_TRUE(s->runtime.ssidTableChanged);
    EXPECT_TRUE(s->runtime.utilizationChanged);
}

}  // namespace
