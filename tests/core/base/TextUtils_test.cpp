#include "core/base/TextUtils.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/StderrCapture.h"

TEST(TextUtils, IntToStringCoversSignsAndTheFullRange) {
    EXPECT_EQ(IntToString(0), "0");
    EXPECT_EQ(IntToString(10), "10");
    EXPECT_EQ(IntToString(-5), "-5");
    EXPECT_EQ(IntToString(2147483647), "2147483647");
    EXPECT_EQ(IntToString(INT32_MIN), "-2147483648");
}

TEST(TextUtils, FormatStringFillsPlaceholdersAndDropsStrayPercents) {
    EXPECT_EQ(FormatString("%i of %i", 5, 12), "5 of 12");
    EXPECT_EQ(FormatString("Hello %s!", "Ann"), "Hello Ann!");
    EXPECT_EQ(FormatString("%s has %i HP", std::string("Bo"), -3), "Bo has -3 HP");
    EXPECT_EQ(FormatString("100%"), "100");
    EXPECT_EQ(FormatString("50%% off %d"), "50 off d");  // no doubled percent sign
    EXPECT_EQ(FormatString("%i and %i", 1), "1 and ");   // a missing value gives nothing
    EXPECT_EQ(FormatString("%s", static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(FormatString(nullptr, 1), "");
}

TEST(TextUtils, BuiltTextsAreCutAt255Characters) {
    std::string longText(300, 'x');
    std::string formatted = FormatString("ab%sc", longText);
    EXPECT_EQ(formatted, "ab" + std::string(253, 'x'));
    EXPECT_EQ(FormatString(longText.c_str()).size(), 255u);

    WildcardPairs pairs = MakeWildcardPairs("<Long>", longText);
    EXPECT_EQ(ReplaceWildcards("Say <Long> and <Long>", &pairs).value_or("?"), "Say " + std::string(251, 'x'));
    EXPECT_EQ(ReplaceWildcards(longText.c_str(), nullptr).value_or("?"), std::string(255, 'x'));
}

TEST(TextUtils, ReplaceWildcardsSubstitutesKeysAnywhere) {
    WildcardPairs pairs = MakeWildcardPairs("<Name>", "Mira", "<Place>", "the mill", "<Name>", "ignored");
    EXPECT_EQ(ReplaceWildcards("Hi <Name>, see <Place>.", &pairs).value_or("?"), "Hi Mira, see the mill.");
    EXPECT_EQ(ReplaceWildcards("<Name><Name>", pairs).value_or("?"), "MiraMira");
    EXPECT_EQ(ReplaceWildcards("Who is <Nobody>?", &pairs).value_or("?"), "Who is INVALID?");
    EXPECT_EQ(ReplaceWildcards("<name>", &pairs).value_or("?"), "INVALID");  // exact, case-sensitive
    EXPECT_EQ(ReplaceWildcards("a > b", &pairs).value_or("?"), "a > b");
    EXPECT_FALSE(ReplaceWildcards(static_cast<const char*>(nullptr), &pairs));
    // A character with no name yet: its value is empty, not a failure.
    const char* noName = nullptr;
    WildcardPairs unnamed = MakeWildcardPairs("<Name>", noName);
    EXPECT_EQ(ReplaceWildcards("[<Name>]", &unnamed).value_or("?"), "[]");

    // With no table only "<NONE>" is known.
    EXPECT_EQ(ReplaceWildcards("<NONE>", nullptr).value_or("?"), "FAIL");
    EXPECT_EQ(ReplaceWildcards("<Name>", nullptr).value_or("?"), "INVALID");
    WildcardPairs empty = MakeWildcardPairs();
    EXPECT_EQ(ReplaceWildcards("<NONE>", &empty).value_or("?"), "FAIL");
}

TEST(TextUtils, BrokenWildcardIsReportedAndGivesNoText) {
    WildcardPairs pairs = MakeWildcardPairs("<Name>", "Mira");
    testsupport::StderrCapture capture;
    auto result = ReplaceWildcards("Hi <Name>, and <oops", &pairs);
    EXPECT_EQ(capture.Take(), "Broken wildcard detected in string Hi <Name>, and <oops\n");
    EXPECT_FALSE(result);

    // Found even after the result has reached its length limit.
    testsupport::StderrCapture again;
    std::string text = std::string(300, 'y') + "<";
    EXPECT_FALSE(ReplaceWildcards(text.c_str(), nullptr));
    EXPECT_EQ(again.Take(), "Broken wildcard detected in string " + text + "\n");
}

TEST(TextUtils, PrintableTextEscapesWhatATerminalWouldTakeAsControl) {
    // Bytes read from outside, and how they are printed.
    const std::pair<std::string, std::string> cases[] = {
        {"Tamsk \\ ~Map1.0", "Tamsk \\ ~Map1.0"},
        {"\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
        {std::string("a\0b\tc\r\n\x7f", 8), "a\\x00b\\x09c\\x0d\\x0a\\x7f"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb2", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb2"},
        {"\xc2\x9b[31m", "\\xc2\\x9b[31m"},                     // the C1 control CSI, as UTF-8
        {"\x9b\xff\xc3", "\\x9b\\xff\\xc3"},                    // stray bytes, a sequence cut short
        {"\xc0\xaf\xed\xa0\x80", "\\xc0\\xaf\\xed\\xa0\\x80"},  // overlong, a surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},           // past U+10FFFF
    };
    for (const auto& [bytes, printed] : cases) EXPECT_EQ(PrintableText(bytes), printed);
}
