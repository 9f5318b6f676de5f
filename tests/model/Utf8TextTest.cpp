#include <gtest/gtest.h>

#include <string>

#include "model/Utf8Text.h"

namespace {

const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

TEST(Utf8Text, WellFormedTextIsKeptAsItsCharacters) {
    EXPECT_EQ(Utf8Text::decode("Caf\xC3\xA9"), U"Café");
    EXPECT_EQ(Utf8Text::decode("\xE4\xB8\xAD\xE6\x96\x87"), U"中文");
    EXPECT_EQ(Utf8Text::decode("\xF0\x9F\x93\xB6"), U"\U0001F4F6");
    EXPECT_EQ(Utf8Text::decode(std::string("a\0b", 3)), std::u32string(U"a\0b", 3));
    for (const char* text : {"Caf\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x93\xB6", "\xEF\xBF\xBF"})
        EXPECT_EQ(Utf8Text::sanitised(text), text);
}

TEST(Utf8Text, EveryByteThatStartsNoWellFormedSequenceBecomesOneReplacement) {
    // Latin-1, a lone continuation byte, bytes never used in UTF-8.
    EXPECT_EQ(Utf8Text::sanitised("caf\xE9"), "caf" + kBad);
    EXPECT_EQ(Utf8Text::sanitised("\x80x"), kBad + "x");
    EXPECT_EQ(Utf8Text::sanitised("\xFF\xFE"), kBad + kBad);
    // Overlong '/', an encoded surrogate, a value past U+10FFFF.
    EXPECT_EQ(Utf8Text::sanitised("\xC0\xAF"), kBad + kBad);
    EXPECT_EQ(Utf8Text::sanitised("\xED\xA0\x80"), kBad + kBad + kBad);
    EXPECT_EQ(Utf8Text::sanitised("\xF4\x90\x80\x80"), kBad + kBad + kBad + kBad);
    // A sequence cut off by the end of the name, or interrupted by ASCII.
    EXPECT_EQ(Utf8Text::sanitised("ab\xE4\xB8"), "ab" + kBad + kBad);
    EXPECT_EQ(Utf8Text::sanitised("\xE4"
                                  "A\xC3\xA9"),
              kBad + "A\xC3\xA9");
}

TEST(Utf8Text, EncodesEveryPlaneAndRefusesWhatHasNoForm) {
    std::string out;
    for (char32_t cp : {U'A', U'é', U'中', U'\U0001F4F6', char32_t(0xD800), char32_t(0x110000)})
        Utf8Text::append(out, cp);
    EXPECT_EQ(out, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x93\xB6" + kBad + kBad);
    EXPECT_TRUE(Utf8Text::isControl(U'\n'));
    EXPECT_TRUE(Utf8Text::isControl(0x7F));
    EXPECT_TRUE(Utf8Text::isControl(0x85));  // NEL breaks lines too
    EXPECT_FALSE(Utf8Text::isControl(0xA0));
    EXPECT_FALSE(Utf8Text::isControl(U' '));
}
