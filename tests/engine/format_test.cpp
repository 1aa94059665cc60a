// The checked filling of message texts from the script.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/format.h"

namespace {

std::string fill(const char* format, std::initializer_list<MessageArg> args, size_t size = 4096,
                 bool* formatted = nullptr) {
    std::string out(size, '\x7f');
    bool ok = formatMessage(&out[0], size, format, args.begin(), static_cast<int>(args.size()));
    if (formatted) *formatted = ok;
    return std::string(out.c_str());
}

TEST(FormatTest, TextsAndNumbersWithFlagsWidthsAndPrecisions) {
    EXPECT_EQ(fill("[%s|%5s|%-5s|%.2s]", {textArg("a"), textArg("b"), textArg("c"), textArg("long")}),
              "[a|    b|c    |lo]");
    EXPECT_EQ(fill("%d %i %5d %-5d| %05d %+d % d %.3d", {numberArg(1), numberArg(-2), numberArg(3), numberArg(4),
                                                         numberArg(-5), numberArg(6), numberArg(7), numberArg(8)}),
              "1 -2     3 4    | -0005 +6  7 008");
    // Numbers in the other harmless forms of an int: h cuts to a short, l changes nothing.
    EXPECT_EQ(fill("%u %x %X %#x %o %#o %c|%-3c|%hd %hu %lu %5.3x %#X %hhd",
                   {numberArg(-1), numberArg(255), numberArg(255), numberArg(255), numberArg(8), numberArg(8),
                    numberArg('A'), numberArg('z'), numberArg(40000), numberArg(40000), numberArg(7),
                    numberArg(10), numberArg(0)}),
              "%u %x %X %#x %o %#o %c|%-3c|%hd %hu %lu %5.3x %#X %hhd");  // "hh" refuses the whole text
    EXPECT_EQ(fill("%u %x %X %#x %o %#o %c|%-3c|%hd %hu %lu %5.3x %#X %lc",
                   {numberArg(-1), numberArg(255), numberArg(255), numberArg(255), numberArg(8), numberArg(8),
                    numberArg('A'), numberArg('z'), numberArg(40000), numberArg(40000), numberArg(7),
                    numberArg(10), numberArg(0), numberArg(0)}),
              "4294967295 ff FF 0xff 10 010 A|z  |-25536 40000 7   00a 0 ");
    EXPECT_EQ(fill("%d", {numberArg(INT_MIN)}), "-2147483648");
    EXPECT_EQ(fill("%.0d|", {numberArg(0)}), "|");
    EXPECT_EQ(fill("100%% of %d", {numberArg(3)}), "100% of 3");
    EXPECT_EQ(fill("%s", {textArg(nullptr)}), "");
}

TEST(FormatTest, FewerConversionsThanArgumentsAreFine) {
    EXPECT_EQ(fill("Copy failed: %s", {textArg("a"), textArg("b")}), "Copy failed: a");
    EXPECT_EQ(fill("No placeholder", {numberArg(1)}), "No placeholder");
    EXPECT_EQ(fill(nullptr, {numberArg(1)}), "");
}

TEST(FormatTest, MismatchingFormatsAreShownAsWritten) {
    bool formatted = true;
    for (const char* bad : {"%s%s%s%n", "%d", "%x", "%ls", "%*s", "%1$s", "%lld", "%s %s %s", "50%", "%#d", "%05s",
                            "%p", "%c", "%u", "%hs", "%#s"}) {
        EXPECT_EQ(fill(bad, {textArg("a"), textArg("b")}, 4096, &formatted), bad) << bad;
        EXPECT_FALSE(formatted) << bad;
    }
    for (const char* bad : {"%s", "%n", "%lld", "%hhu", "%#d", "%#u", "%05c", "%.1c", "%+c", "%Lx", "%d %d %d", "%*d"}) {
        EXPECT_EQ(fill(bad, {numberArg(5), numberArg(6)}, 4096, &formatted), bad) << bad;
        EXPECT_FALSE(formatted) << bad;
    }
}

TEST(FormatTest, ResultsAreCutToTheBuffer) {
    EXPECT_EQ(fill("%s and more", {textArg("0123456789")}, 8), "0123456");
    EXPECT_EQ(fill("%99999999s", {textArg("x")}, 16), std::string(15, ' '));
    EXPECT_EQ(fill("%-.9999999999s|", {textArg("abc")}, 16), "abc|");
    EXPECT_EQ(fill("plain text", {}, 6), "plain");
    EXPECT_EQ(fill("%n", {}, 2), "%");
}

TEST(FormatTest, CopyAndJoinAreBounded) {
    char out[6];
    copyText(out, sizeof out, "abcdefgh");
    EXPECT_STREQ(out, "abcde");
    copyText(out, sizeof out, nullptr);
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(joinText(out, sizeof out, "ab", "cde"));
    EXPECT_STREQ(out, "abcde");
    EXPECT_FALSE(joinText(out, sizeof out, "ab", "cdef"));
    EXPECT_STREQ(out, "abcde");
    EXPECT_TRUE(joinText(out, sizeof out, nullptr, "x", nullptr));
    EXPECT_STREQ(out, "x");
}

}  // namespace
