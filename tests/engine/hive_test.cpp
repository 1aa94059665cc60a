// The hive reader of the Linux build: its grammar and how it reports a
// malformed file (line number, reading stops there, what came before stays).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/posix/hive.h"

namespace {

struct Parsed {
    bool sound;
    std::string report;
    HiveKey root;
};

Parsed parse(const std::string& text) {
    Parsed parsed;
    char* buffer = nullptr;
    size_t size = 0;
    FILE* report = open_memstream(&buffer, &size);
    parsed.sound = parseHive(text.data(), text.size(), "test.reg", report, parsed.root);
    fclose(report);
    parsed.report = buffer ? buffer : "";
    free(buffer);
    return parsed;
}

const HiveKey* find(const HiveKey& root, std::initializer_list<const char*> path) {
    const HiveKey* key = &root;
    for (const char* name : path) {
        if (!key) return nullptr;
        key = hiveFindSubkey(*key, name);
    }
    return key;
}

const char* const header = "Windows Registry Editor Version 5.00\n";

TEST(HiveTest, HeaderForms) {
    EXPECT_TRUE(parse("REGEDIT4\n").sound);
    EXPECT_TRUE(parse("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n").sound);
    Parsed wrong = parse("Windows Registry Editor Version 4.00\n[HKEY_LOCAL_MACHINE\\A]\n");
    EXPECT_FALSE(wrong.sound);
    EXPECT_EQ(wrong.report.rfind("setup: registry hive test.reg, line 1: ", 0), 0u) << wrong.report;
    EXPECT_TRUE(wrong.root.subkeys.empty());
    EXPECT_FALSE(parse("").sound);
    EXPECT_FALSE(parse(std::string("\xFF\xFEW\0i\0", 6)).sound);  // UTF-16 is not read
}

TEST(HiveTest, CommentsBlankLinesAndBlanksAroundTheEqualsSign) {
    Parsed parsed = parse(std::string(header) + "; comment\n\n   \n[HKEY_LOCAL_MACHINE\\A]  \n  \"N\" = \"v\"  \n");
    ASSERT_TRUE(parsed.sound) << parsed.report;
    const HiveKey* key = find(parsed.root, {"a"});
    ASSERT_NE(key, nullptr);
    ASSERT_NE(hiveFindValue(*key, "n"), nullptr);
    EXPECT_EQ(hiveFindValue(*key, "N")->data, std::string("v\0", 2));
}

TEST(HiveTest, NamesMayHoldBracketsAndEscapedQuotes) {
    Parsed parsed = parse(std::string(header) + "[HKEY_LOCAL_MACHINE\\A [x]]\n\"a\\\"b\\\\c\"=\"\"\n");
    ASSERT_TRUE(parsed.sound) << parsed.report;
    const HiveKey* key = find(parsed.root, {"A [x]"});
    ASSERT_NE(key, nullptr);
    EXPECT_NE(hiveFindValue(*key, "a\"b\\c"), nullptr);
}

struct Malformed {
    const char* body;  // after the header line
    int line;
};

class MalformedHiveTest : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedHiveTest, IsReportedWithItsLineAndReadUpToIt) {
    std::string text = std::string(header) + "[HKEY_LOCAL_MACHINE\\Before]\n\"V\"=\"1\"\n" + GetParam().body +
                       "\n[HKEY_LOCAL_MACHINE\\After]\n";
    Parsed parsed = parse(text);
    EXPECT_FALSE(parsed.sound);
    std::string expected = "setup: registry hive test.reg, line " + std::to_string(GetParam().line) + ": ";
    EXPECT_EQ(parsed.report.rfind(expected, 0), 0u) << parsed.report;
    const HiveKey* before = find(parsed.root, {"Before"});
    ASSERT_NE(before, nullptr);
    EXPECT_NE(hiveFindValue(*before, "V"), nullptr);
    EXPECT_EQ(find(parsed.root, {"After"}), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MalformedHiveTest,
    ::testing::Values(Malformed{"\"N\"=\"unclosed", 4}, Malformed{"\"N\"=\"bad \\n escape\"", 4},
                      Malformed{"\"N\"", 4}, Malformed{"N=\"v\"", 4}, Malformed{"\"N\"=", 4},
                      Malformed{"\"N\"=\"v\" trailing", 4}, Malformed{"\"N\"=dword:", 4},
                      Malformed{"\"N\"=dword:xyz", 4}, Malformed{"\"N\"=hex:41,", 4},
                      Malformed{"\"N\"=hex:41,zz", 4}, Malformed{"\"N\"=hex(2:41", 4},
                      Malformed{"\"N\"=hex:41,\\\n42,\\\n", 6}, Malformed{"\"N\"=hex:41,\\\n  4g", 5},
                      Malformed{"\"N\"=hex:41 42", 4}, Malformed{"\"N\"=sz:abc", 4},
                      Malformed{"[HKEY_LOCAL_MACHINE\\A\\\\B]", 4}, Malformed{"[HKEY_LOCAL_MACHINE\\A", 4},
                      Malformed{"[HKEY_NOWHERE\\A]", 4}, Malformed{"[]", 4},
                      Malformed{"[HKEY_LOCAL_MACHINE\\A\\]", 4}));

TEST(HiveTest, ANulCharacterIsMalformed) {
    Parsed parsed = parse(std::string(header) + "[HKEY_LOCAL_MACHINE\\A]\n" + std::string("@=\"a\0b\"\n", 8));
    EXPECT_FALSE(parsed.sound);
    EXPECT_NE(parsed.report.find("line 3"), std::string::npos) << parsed.report;
    EXPECT_NE(find(parsed.root, {"A"}), nullptr);
}

TEST(HiveTest, AValueBeforeAnySectionIsMalformed) {
    Parsed parsed = parse(std::string(header) + "\n@=\"x\"\n");
    EXPECT_FALSE(parsed.sound);
    EXPECT_NE(parsed.report.find("line 3"), std::string::npos) << parsed.report;
}

TEST(HiveTest, NestingDeeperThanTheRegistryAllowsIsMalformed) {
    std::string path = "HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 513; ++i) path += "\\k";
    EXPECT_FALSE(parse(std::string(header) + "[" + path + "]\n").sound);
    path.resize(path.size() - 2);
    EXPECT_TRUE(parse(std::string(header) + "[" + path + "]\n").sound);
}

}  // namespace
