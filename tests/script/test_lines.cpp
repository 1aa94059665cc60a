// Reading lines, splitting rows, keywords, tag blocks and the nesting check.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "script/diagnose.h"
#include "script/reader.h"
#include "script/text.h"
#include "support.h"

namespace {

struct Read {
    LineKind kind;
    std::string text;
};

std::vector<Read> readAll(const std::string& content, bool expand = false) {
    TempScript file(content);
    FILE* f = file.open();
    std::vector<Read> out;
    std::vector<char> buffer(lineBufferSize);
    for (int guard = 0; guard < 1000; ++guard) {
        LineKind kind = readLine(f, buffer.data(), expand);
        out.push_back({kind, buffer.data()});
        if (kind == lineEndOfFile) break;
    }
    return out;
}

// Comments and lines without a tag are skipped, leading blanks stripped, the
// LF kept; a NUL line or trailing blanks end the file; CR before LF goes and
// "\n" becomes CR LF (also without expansion); long lines are cut every 4094
// characters, and a CR LF split by the cut still reads as one line end.
TEST(ReadLine, TheLinesAsRead) {
    const std::string cutLine = "<<a>>" + std::string(5000, 'x') + "<<b>>\n";
    const std::string beforeCr = "<<a>>" + std::string(4094 - 5 - 1, 'x');  // the CR is character 4094
    const struct {
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        {"free text \"quoted\"\n \t ! <<set title>> \"comment\"\n\t  <<set title>> \"T\"\n",
         {"<<set title>> \"T\"\n"}},
        {std::string("<<a>>\n\0<<b>>\n<<c>>\n", 20), {"<<a>>\n"}},
        {"<<a>>\n   ", {"<<a>>\n"}},
        {"", {}},
        {"<<a>> \"x\"\r\n<<b>> \"1\\n2\"\n", {"<<a>> \"x\"\n", "<<b>> \"1\r\n2\"\n"}},
        {cutLine, {cutLine.substr(0, 4094), cutLine.substr(4094)}},
        {beforeCr + "\r\n<<b>>\n", {beforeCr + "\n", "<<b>>\n"}},
    };
    for (const auto& c : cases) {
        const auto lines = readAll(c.content);
        ASSERT_EQ(lines.size(), c.lines.size() + 1) << c.content.substr(0, 60);
        for (size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lines[i].kind, lineTag);
            EXPECT_EQ(lines[i].text, c.lines[i]);
        }
        EXPECT_EQ(lines.back().kind, lineEndOfFile);
    }
}

TEST(ReadLine, ClassifiesMarkersInTheirOrder) {
    auto lines = readAll(
        "<<start script>>\n<<end script>>\n<<start set>>\n<<end set>>\n<<start variant>>\n"
        "<<end variant>>\nx <<end set>> <<start set>>\n<<other>> \"<<end variant>>\"\n");
    std::vector<LineKind> kinds;
    for (auto& l : lines) kinds.push_back(l.kind);
    EXPECT_EQ(kinds, (std::vector<LineKind>{lineStartScript, lineEndScript, lineStartSet, lineEndSet,
                                            lineStartVariant, lineEndVariant, lineStartSet,
                                            lineEndVariant, lineEndOfFile}));
}

TEST(ReadLine, ClassifiesBeforeExpanding) {
    Script script;
    script.macros.rows.push_back({{"$(M)", "<<end set>>"}});
    useScript(&script);
    auto lines = readAll("<<set title>> \"$(M)\"\n", true);
    useScript(nullptr);
    EXPECT_EQ(lines[0].kind, lineTag);
    EXPECT_EQ(lines[0].text, "<<set title>> \"<<end set>>\"\n");
}

TEST(ParseRow, TakesTextsBetweenQuotePairs) {
    TextRow row;
    ASSERT_TRUE(parseRow(row, "<<t>> \"a\" skipped \"\" \"b c\" \"unpaired\n"));
    EXPECT_EQ(row.cells, (std::vector<std::string>{"a", "", "b c"}));
    TextRow none;
    ASSERT_TRUE(parseRow(none, "<<t>> no quotes\n"));
    EXPECT_TRUE(none.cells.empty());
}

TEST(ParseRow, BackslashQIsADoubleQuote) {
    TextRow row;
    ASSERT_TRUE(parseRow(row, "<<t>> \"a\\qb\" \"\\q\\q\" \"c\\\\qd\"\n"));
    EXPECT_EQ(row.cells, (std::vector<std::string>{"a\"b", "\"\"", "c\\\"d"}));
}

TEST(KeywordCode, ExactCaseSensitiveKeywords) {
    const char* words[] = {"progdir", "plugdir", "doInstall", "doNotInstall", "doUninstall",
                           "doNotUninstall", "Ask", "Overwrite", "notOverwrite", "AskIfDiffer"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(keywordCode(words[i]), i) << words[i];
    EXPECT_EQ(keywordCode("ask"), keywordNone);
    EXPECT_EQ(keywordCode("Overwrite "), keywordNone);
    EXPECT_EQ(keywordCode(""), keywordNone);
    EXPECT_EQ(keywordCode(nullptr), keywordNone);
}

TEST(TagBlock, ContinuesOverSkippedLinesAndStopsAtAnotherTag) {
    TempScript file(
        "<<variant title>> \"one\"\nfree text\n<<variant title>> \"two\"\n<<str>> \"1\"\n"
        "<<variant title>> \"three\"\n");
    FILE* f = file.open();
    TextTable table;
    ASSERT_TRUE(readTag(f, 0, -1, "<<variant title>>", table, false));
    ASSERT_EQ(rowCount(table), 2);
    EXPECT_STREQ(cell(table, 1, 0), "two");
}

TEST(TagBlock, StopsAtSectionMarkersAndTagWithoutClosingBracketsIsEmpty) {
    TempScript file("<<x>> \"a\"\n<<x>> <<end set>> \"b\"\n<<y \"c\"\n<<y \"d\"\n");
    FILE* f = file.open();
    TextTable x, y;
    ASSERT_TRUE(readTag(f, 0, -1, "<<x>>", x, false));
    EXPECT_EQ(rowCount(x), 1);
    ASSERT_TRUE(readTag(f, 0, -1, "<<y", y, false));
    EXPECT_EQ(rowCount(y), 0);
}

TEST(FindTag, HonoursTheRangeAndRestoresThePosition) {
    std::string head = "<<a>> \"1\"\n";
    TempScript file(head + "<<b>> \"2\"\n");
    FILE* f = file.open();
    long end = static_cast<long>(head.size());
    std::fseek(f, 3, SEEK_SET);
    EXPECT_FALSE(findTag(f, 0, end - 1, "<<b>>"));
    EXPECT_EQ(std::ftell(f), 3);
    EXPECT_TRUE(findTag(f, 0, end, "<<b>>"));  // the line starting at `to` is still searched
    EXPECT_EQ(std::ftell(f), end);
    EXPECT_FALSE(findTag(f, -1, -1, "<<a>>"));
}

struct NestingCase {
    const char* text;
    bool passes;
};

TEST(CheckNesting, FollowsThePartsCounters) {
    const NestingCase cases[] = {
        {"", true},
        {"<<start script>>\n<<start set>>\n<<start set>>\n<<end set>>\n<<end set>>\n<<end script>>\n", true},
        {"<<start set>>\n<<start variant>>\n<<end variant>>\n<<end set>>\n", true},
        {"<<start variant>>\n<<end variant>>\n", true},  // Variants need no Set
        {"<<start script>>\n<<end script>>\n<<start set>>\n<<end set>>\n", true},
        {"<<start script>>\n<<start script>>\n<<end script>>\n<<end script>>\n", false},
        {"<<end script>>\n<<start script>>\n", false},
        {"<<start set>>\n<<start variant>>\n<<start set>>\n", false},
        {"<<end set>>\n<<start set>>\n", false},
        {"<<start variant>>\n<<start variant>>\n", false},
        {"<<start set>>\n", false},
        {"<<start script>>\n", false},
        {"<<start variant>>\n<<end variant>>\n<<end variant>>\n", false},
    };
    for (const NestingCase& c : cases) {
        TempScript file(c.text);
        EXPECT_EQ(checkNesting(file.open()), c.passes) << c.text;
    }
}

TEST(CheckNesting, DetailNamesTheFailingMarkerAndTheOpenOne) {
    std::string a = "<<start set>>\n", b = "<<start variant>>\n";
    TempScript file(a + b + "<<start set>>\n");
    FILE* f = file.open();
    NestingFault fault;
    ASSERT_FALSE(checkNestingDetail(f, &fault));
    EXPECT_EQ(fault.marker, lineStartSet);
    EXPECT_EQ(fault.position, static_cast<long>((a + b).size()));
    EXPECT_EQ(fault.openVariant, static_cast<long>(a.size()));
    EXPECT_EQ(lineNumberAt(f, fault.position), 3);
}

}  // namespace
