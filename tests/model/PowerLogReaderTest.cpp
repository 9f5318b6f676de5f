#include <gtest/gtest.h>

#include <sstream>

#include "model/PowerLogReader.h"

namespace {

TEST(PowerLogReader, TimeBaseOfTheScaleLine) {
    EXPECT_FLOAT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,4 \xC2\xB5,s/div, Power:,6.25 ,"),
                    4e-6f);
    EXPECT_FLOAT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,10 m,s/div, Power:,5.00 ,"), 0.01f);
    EXPECT_FLOAT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,2 ,s/div, Power:,5.00 ,"), 2.0f);
    EXPECT_FLOAT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,50 n,s/div,"), 50e-9f);
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,0 ,s/div,"), 0.0f);
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,5 x,s/div,"), 0.0f);
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,,s/div,"), 0.0f);
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("Spectrum Mode :: Frequency: MHz"), 0.0f);
    // Finite as a double, infinite as the float the row carries.
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,1e300 ,s/div,"), 0.0f);
    EXPECT_EQ(PowerLogReader::timeBaseOfScaleLine("time:,1e30 G,s/div,"), 0.0f);
}

TEST(PowerLogReader, ReadsPowerRowsOnlyWithTheirTimeBase) {
    std::istringstream in(
        "Power\n"
        "2026-12-08 13:48:17.000,-20,-30.5\n"
        "time:,1 m,s/div, Power:,6.25 ,dBm/div,\r\n"
        "0.100,-21,-31,-41\r\n"
        "Spectrum\n"
        "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm\n"
        "Freq (MHz):, 5145.0,5146.4\n"
        "0.200,-90,-91\n"
        "\n"
        "Power\n"
        "0.300,3.5e-05\n");
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    ASSERT_TRUE(reader.next(row));
    EXPECT_EQ(row.line, 2u);
    EXPECT_EQ(row.samples, (std::vector<float>{-20.0f, -30.5f}));
    EXPECT_EQ(row.secondsPerDivision, 0.0f);  // no scale line yet
    ASSERT_TRUE(reader.next(row));
    EXPECT_EQ(row.line, 4u);
    EXPECT_EQ(row.samples, (std::vector<float>{-21.0f, -31.0f, -41.0f}));
    EXPECT_FLOAT_EQ(row.secondsPerDivision, 0.001f);
    ASSERT_TRUE(reader.next(row));  // the spectrum row is skipped; the time base carries over
    EXPECT_EQ(row.line, 11u);
    EXPECT_EQ(row.samples, (std::vector<float>{3.5e-05f}));
    EXPECT_FLOAT_EQ(row.secondsPerDivision, 0.001f);
    EXPECT_FALSE(reader.next(row));
    EXPECT_EQ(reader.error(), "");
}

TEST(PowerLogReader, DamagedRowsStopWithTheirLine) {
    std::istringstream in("Power\n0.1,-20,,-30\n");
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    EXPECT_FALSE(reader.next(row));
    EXPECT_EQ(reader.error(), "line 2: sample 2 is not a number");

    std::istringstream bare("Power\n-20\n");
    PowerLogReader second(bare);
    EXPECT_FALSE(second.next(row));
    EXPECT_EQ(second.error(), "line 2: a row without samples");
}

TEST(PowerLogReader, NonFiniteSamplesAreBadValues) {
    for (const char* sample : {"nan", "NaN", "inf", "-inf", "infinity", "1e99"}) {
        std::istringstream in(std::string("Power\n0.1,-20,") + sample + "\n");
        PowerLogReader reader(in);
        PowerLogReader::Row row;
        EXPECT_FALSE(reader.next(row)) << sample;
        EXPECT_EQ(reader.error(), "line 2: sample 2 is not a finite number") << sample;
    }
}

TEST(PowerLogReader, ALineLongerThanAnyRowStopsTheReadingThere) {
    std::string text = "Power\n0.1,-20\n0.2" + std::string(PowerLogReader::kMaxLineBytes, '0');
    std::istringstream in(text + "\n0.3,-20\n");
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    ASSERT_TRUE(reader.next(row));
    EXPECT_FALSE(reader.next(row));
    EXPECT_EQ(reader.error().rfind("line 3: longer than ", 0), 0u) << reader.error();
    EXPECT_FALSE(reader.next(row));  // and stays stopped

    // A row of exactly the limit is still read.
    std::string longest = "0.10";
    while (longest.size() < PowerLogReader::kMaxLineBytes) {
        longest += ",-1";
    }
    ASSERT_EQ(longest.size(), PowerLogReader::kMaxLineBytes);
    std::istringstream atLimit("Power\n" + longest + "\n");
    PowerLogReader limit(atLimit);
    EXPECT_TRUE(limit.next(row)) << limit.error();
}

}  // namespace
