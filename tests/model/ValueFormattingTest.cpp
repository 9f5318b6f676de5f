#include <gtest/gtest.h>

#include <string>

#include "model/ValueFormatting.h"

namespace {

const std::string kMicroSign = "\xC2\xB5";  // U+00B5, formatEngineering
const std::string kGreekMu = "\xCE\xBC";    // U+03BC, formatThreeDigits

TEST(FormatFixed2, TwoDecimals) {
    EXPECT_EQ(formatFixed2(0.0f), "0.00");
    EXPECT_EQ(formatFixed2(-30.555f), "-30.56");
    EXPECT_EQ(formatFixed2(12.0f), "12.00");
    // The largest float still fits the 52-character limit.
    const std::string huge = formatFixed2(3.4e38f);
    EXPECT_EQ(huge.size(), 42u);
    EXPECT_EQ(huge.substr(0, 3), "339");
    EXPECT_EQ(huge.substr(39), ".00");
}

TEST(FormatEngineering, DocumentedExamples) {
    EXPECT_EQ(formatEngineering(0.001f, 0), "1 m");
    EXPECT_EQ(formatEngineering(10000000.0f, 2), "10.00 M");
    EXPECT_EQ(formatEngineering(5.0f, 2), "5.00 ");
    EXPECT_EQ(formatEngineering(0.0f, 2), "0.00 ");
    EXPECT_EQ(formatEngineering(-0.002f, 1), "-2.0 m");
}

TEST(FormatEngineering, EveryPrefixRow) {
    // Powers in watts reach down to femtowatts (-120 dBm).
    EXPECT_EQ(formatEngineering(1e-15f, 2), "1.00 f");
    EXPECT_EQ(formatEngineering(9.55e-12f, 2), "9.55 p");
    EXPECT_EQ(formatEngineering(9e-11f, 0), "90 p");
    EXPECT_EQ(formatEngineering(5e-9f, 1), "5.0 n");
    EXPECT_EQ(formatEngineering(2.5e-6f, 1), "2.5 " + kMicroSign);
    EXPECT_EQ(formatEngineering(0.25f, 0), "250 m");
    EXPECT_EQ(formatEngineering(999.0f, 0), "999 ");
    EXPECT_EQ(formatEngineering(2000.0f, 1), "2.0 k");
    EXPECT_EQ(formatEngineering(2.4e6f, 2), "2.40 M");
    EXPECT_EQ(formatEngineering(2.4e9f, 3), "2.400 G");
    EXPECT_EQ(formatEngineering(-2.4e9f, 1), "-2.4 G");
}

TEST(FormatEngineering, DecadeBoundsSitJustBelowTheDecade) {
    // 1e-7 is not below 9.999999e-8: it is shown in micro, not as 100 n.
    EXPECT_EQ(formatEngineering(1e-7f, 1), "0.1 " + kMicroSign);
    EXPECT_EQ(formatEngineering(9e-8f, 0), "90 n");
    EXPECT_EQ(formatEngineering(1.0f, 2), "1.00 ");
    EXPECT_EQ(formatEngineering(0.999f, 0), "999 m");
    EXPECT_EQ(formatEngineering(1000.0f, 0), "1 k");
    EXPECT_EQ(formatEngineering(1e6f, 0), "1 M");
    EXPECT_EQ(formatEngineering(1e9f, 0), "1 G");
}

TEST(FormatEngineering, DecimalsDecideTheLength) {
    EXPECT_EQ(formatEngineering(1.5f, 0), "2 ");
    EXPECT_EQ(formatEngineering(1.5f, 6), "1.500000 ");
    EXPECT_EQ(formatEngineering(1.5f, -3), "2 ");  // a negative count prints no decimals
}

TEST(FormatThreeDigits, DocumentedExamples) {
    EXPECT_EQ(formatThreeDigits(2.437e9f), "2437 M");
    EXPECT_EQ(formatThreeDigits(0.0123f), "12.3 m");
    EXPECT_EQ(formatThreeDigits(0.5f), "500 m");
    EXPECT_EQ(formatThreeDigits(0.0f), "0 ");
    EXPECT_EQ(formatThreeDigits(999.9f), "1000 ");  // row chosen before the print rounds
    EXPECT_EQ(formatThreeDigits(5e-10f), "0 ");
    EXPECT_EQ(formatThreeDigits(-1e-12f), "-0 ");
}

TEST(FormatThreeDigits, EveryRowAtItsLowerBound) {
    EXPECT_EQ(formatThreeDigits(1e8f), "100 M");
    EXPECT_EQ(formatThreeDigits(1e7f), "10.0 M");
    EXPECT_EQ(formatThreeDigits(1e6f), "1.00 M");
    EXPECT_EQ(formatThreeDigits(1e5f), "100 k");
    EXPECT_EQ(formatThreeDigits(1e4f), "10.0 k");
    EXPECT_EQ(formatThreeDigits(1000.0f), "1.00 k");
    EXPECT_EQ(formatThreeDigits(100.0f), "100 ");
    EXPECT_EQ(formatThreeDigits(10.0f), "10.0 ");
    EXPECT_EQ(formatThreeDigits(1.0f), "1.00 ");
    EXPECT_EQ(formatThreeDigits(0.1f), "100 m");
    EXPECT_EQ(formatThreeDigits(0.01f), "10.0 m");
    EXPECT_EQ(formatThreeDigits(0.001f), "1.00 m");
    EXPECT_EQ(formatThreeDigits(1e-4f), "100 " + kGreekMu);
    EXPECT_EQ(formatThreeDigits(1e-5f), "10.0 " + kGreekMu);
    EXPECT_EQ(formatThreeDigits(1e-6f), "1.00 " + kGreekMu);
    EXPECT_EQ(formatThreeDigits(1e-7f), "100 n");
    EXPECT_EQ(formatThreeDigits(1e-8f), "10.0 n");
    EXPECT_EQ(formatThreeDigits(1e-9f), "1.00 n");
}

TEST(FormatThreeDigits, JustBelowARowBoundFallsToTheNextRow) {
    EXPECT_EQ(formatThreeDigits(99.94f), "99.9 ");
    EXPECT_EQ(formatThreeDigits(9.996f), "10.00 ");  // 1-row, 2 decimals, rounds up
    EXPECT_EQ(formatThreeDigits(-0.05f), "-50.0 m");
    EXPECT_EQ(formatThreeDigits(-2.5e7f), "-25.0 M");
    EXPECT_EQ(formatThreeDigits(3e9f), "3000 M");
}

TEST(ValueFormatting, MicroPrefixesDifferByFunction) {
    const std::string engineering = formatEngineering(5e-6f, 0);
    const std::string threeDigits = formatThreeDigits(5e-6f);
    EXPECT_EQ(engineering, "5 \xC2\xB5");
    EXPECT_EQ(threeDigits, "5.00 \xCE\xBC");
    EXPECT_NE(engineering.substr(2), threeDigits.substr(5));
}

}  // namespace
