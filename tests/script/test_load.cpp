// loadScript and the structural readers: Sets, nested Sets, Variants, the
// failures and their boxes.
#include <gtest/gtest.h>
#include <string>
#include "platform/types.h"
#include "script/diagnose.h"
#include "script/reader.h"
#include "script/text.h"
#include "support.h"

namespace {

const std::string head =
    "<<script version>> \"3.0\"\n<<script title>> \"Title\"\n<<script error>> \"Broken\"\n";

std::string variant(const std::string& intro) {
    return "<<start variant>>\n" + variantBody(intro) + "<<end variant>>\n";
}

class Load : public ::testing::Test {
protected:
    Script script;
    void TearDown() override { destroyScript(script); }
};

TEST_F(Load, MissingFileEmptyFileAndNoVersionEndSilently) {
    recordedBoxes.clear();
    EXPECT_FALSE(loadScript(script, "no/such/dir/version.psc"));
    EXPECT_EQ(lastReadTrace().failure, loadCannotOpen);
    EXPECT_FALSE(loadText(script, ""));
    EXPECT_EQ(lastReadTrace().failure, loadNoVersion);
    EXPECT_FALSE(loadText(script, "<<script title>> \"T\"\n<<start set>>\n<<end set>>\n"));
    EXPECT_TRUE(recordedBoxes.empty());
}

TEST_F(Load, VersionMustBeExactlyThreePointZeroAndIsNeverExpanded) {
    for (const char* version : {"3.0 ", "3.00", "$(V)", "2.0"}) {
        std::string text = "<<script macro>> \"$(V)\" \"3.0\"\n<<script version>> \"" +
                           std::string(version) + "\"\n";
        EXPECT_FALSE(loadText(script, text)) << version;
        ASSERT_EQ(recordedBoxes.size(), 1u) << version;
        EXPECT_EQ(recordedBoxes[0].text, "Setup version error: v3.0");
        EXPECT_EQ(recordedBoxes[0].caption, "(null)");
        EXPECT_EQ(recordedBoxes[0].style, boxOk | boxIconHand);
    }
    EXPECT_FALSE(loadText(script, "<<script version>>\n"));  // absent cell
    EXPECT_EQ(recordedBoxes.size(), 1u);
}

TEST_F(Load, VersionOnlyLoadsWithoutSets) {
    ASSERT_TRUE(loadText(script, "<<script version>> \"3.0\"\n"));
    EXPECT_TRUE(script.sets.empty());
    const Set& first = setAt(script.sets, script.currentSet);
    EXPECT_EQ(cell(first.title, 0, 0), nullptr);
    EXPECT_TRUE(first.variants.empty());
    EXPECT_EQ(first.subsets, nullptr);
}

TEST_F(Load, ScriptTagsAreFoundAnywhereAndTheFirstWins) {
    ASSERT_TRUE(loadText(script, "<<script version>> \"3.0\"\n<<start set>>\n"
                                 "<<script welcome>> \"inside\"\n<<end set>>\n"
                                 "<<script welcome>> \"later\"\n"));
    EXPECT_STREQ(cell(script.welcome, 0, 0), "inside");
}

TEST_F(Load, SetTagsBelongToTheSetsOwnLevel) {
    ASSERT_TRUE(loadText(script, head +
        "<<start set>>\n"
        "   <<set title>> \"first\"\n"
        "x <<set title>> \"not a set title\"\n"
        "<<set text> \"single bracket\"\n"
        "<<start set>>\n<<set title>> \"child\"\n<<end set>>\n"
        "<<set title>> \"second\"\n"
        "<<start variant>>\n<<set comment>> \"inside a variant\"\n" + variantBody("V") + "<<end variant>>\n"
        "<<end set>>\n"));
    const Set& set = setAt(script.sets, 0);
    ASSERT_EQ(rowCount(set.title), 2);
    EXPECT_STREQ(cell(set.title, 0, 0), "first");
    EXPECT_STREQ(cell(set.title, 1, 0), "second");
    EXPECT_STREQ(cell(set.text, 0, 0), "single bracket");
    EXPECT_EQ(rowCount(set.comment), 0);
    ASSERT_NE(set.subsets, nullptr);
    EXPECT_STREQ(cell(setAt(*set.subsets, 0).title, 0, 0), "child");
    EXPECT_STREQ(cell(variantAt(set.variants, 0).intro, 0, 0), "V");
}

TEST_F(Load, NestedSetsAndVariantsFormTheTree) {
    ASSERT_TRUE(loadText(script, head +
        "<<start script>>\n<<start set>>\n"
        "  <<start set>>\n<<set intro>> \"A\"\n" + variant("a1") + variant("a2") + "  <<end set>>\n"
        "  ! a comment before the parent's end\n"
        "  <<start set>>\n<<set intro>> \"B\"\n" + variant("b1") + "  <<end set>>\n\n"
        "<<end set>>\n<<start set>>\n" + variant("second top") + "<<end set>>\n<<end script>>\n"));
    ASSERT_EQ(script.sets.size(), 2u);
    const Set& top = setAt(script.sets, 0);
    ASSERT_NE(top.subsets, nullptr);
    ASSERT_EQ(top.subsets->size(), 2u);
    EXPECT_TRUE(top.variants.empty());
    const Set& a = setAt(*top.subsets, 0);
    ASSERT_EQ(a.variants.size(), 2u);
    EXPECT_STREQ(cell(variantAt(a.variants, 1).intro, 0, 0), "a2");
    EXPECT_TRUE(variantAt(a.variants, 1).valid);
    EXPECT_EQ(a.subsets, nullptr);
    EXPECT_STREQ(cell(setAt(*top.subsets, 1).intro, 0, 0), "B");
    EXPECT_STREQ(cell(variantAt(setAt(script.sets, 1).variants, 0).intro, 0, 0), "second top");
}

TEST_F(Load, VariantBlocksEndAtAnotherTag) {
    std::string body = variantBody("V");
    body.insert(body.find("<<variant title>>"),
                "<<variant title>> \"t1\"\nfree\n<<variant title>> \"t2\"\n<<str>> \"0\" \"m\"\n");
    ASSERT_TRUE(loadText(script, head + "<<start set>>\n<<start variant>>\n" + body +
                                     "<<end variant>>\n<<end set>>\n"));
    const Variant& v = variantAt(setAt(script.sets, 0).variants, 0);
    ASSERT_EQ(rowCount(v.title), 2);
    EXPECT_STREQ(cell(v.title, 1, 0), "t2");
    EXPECT_STREQ(cell(v.messages, 0, 1), "m");
    EXPECT_GT(v.end, v.start);
}

TEST_F(Load, AVariantWithoutARequiredTagFailsWithTheScriptBox) {
    std::string body = variantBody("V");
    size_t at = body.find("<<drives to search>>");
    body.erase(at, body.find('\n', at) + 1 - at);
    EXPECT_FALSE(loadText(script, head + "<<start set>>\n<<start variant>>\n" + body +
                                      "<<end variant>>\n<<end set>>\n"));
    EXPECT_EQ(lastReadTrace().failure, loadInvalidVariant);
    EXPECT_TRUE(lastReadTrace().variantFailed);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, "Broken");
    EXPECT_EQ(recordedBoxes[0].caption, "Title");
    EXPECT_EQ(recordedBoxes[0].style, boxOk | boxIconHand);
}

TEST_F(Load, NestingErrorsShowTheScriptBoxWithAbsentTexts) {
    EXPECT_FALSE(loadText(script, "<<script version>> \"3.0\"\n<<start set>>\n<<start variant>>\n"
                                  "<<start set>>\n<<end set>>\n<<end variant>>\n<<end set>>\n"));
    EXPECT_EQ(lastReadTrace().failure, loadNesting);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, "(null)");
    EXPECT_EQ(recordedBoxes[0].caption, "(null)");
}

TEST_F(Load, ReadingStopsAtEndScript) {
    ASSERT_TRUE(loadText(script, head + "<<start script>>\n<<start set>>\n" + variant("one") +
                                     "<<end set>>\n<<end script>>\n<<start set>>\n" +
                                     variant("after") + "<<end set>>\n"));
    EXPECT_EQ(script.sets.size(), 1u);
    // A Set whose body holds "<<end script>>" (the markers balancing) is not loaded.
    ASSERT_TRUE(loadText(script, head + "<<start set>>\n" + variant("x") + "<<end set>>\n"
                                     "<<start script>>\n<<start set>>\n<<end script>>\n<<end set>>\n"
                                     "<<start set>>\n<<end set>>\n"));
    EXPECT_EQ(script.sets.size(), 1u);
}

TEST_F(Load, EndVariantWithoutItsStartInTheSetFails) {
    EXPECT_FALSE(loadText(script, head + "<<start set>>\n<<start set>>\n<<start variant>>\n"
                                         "<<end set>>\n<<end variant>>\n<<end set>>\n"));
    EXPECT_EQ(lastReadTrace().failure, loadInvalidVariant);
    EXPECT_EQ(lastReadTrace().variantStart, -1);
}

TEST_F(Load, WindowsLineEndsReadTheSameAsUnixOnes) {
    std::string text = head + "<<script macro>> \"$(P)\" \"Plug\\nIn\"\n<<start set>>\n"
                       "<<set title>> \"$(P) \\qx\\q\"\n" + variant("v") + "<<end set>>\n";
    ASSERT_TRUE(loadText(script, text));
    std::string unix = dumpScript(script);
    std::string dos;
    for (char c : text) dos += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(loadText(script, dos));
    EXPECT_EQ(dumpScript(script), unix);
    EXPECT_STREQ(cell(setAt(script.sets, 0).title, 0, 0), "Plug\r\nIn \"x\"");
}

TEST_F(Load, ResetRunClosesTheFileAndKeepsTheTexts) {
    TempScript file(head);
    ASSERT_TRUE(loadScript(script, file.path().c_str()));
    EXPECT_NE(script.file, nullptr);
    script.currentSet = 3;
    script.hosts.hostCount = 2;
    resetRun(script);
    EXPECT_EQ(script.file, nullptr);
    EXPECT_EQ(script.currentSet, 0);
    EXPECT_EQ(script.hosts.hostCount, 0);
    EXPECT_STREQ(cell(script.title, 0, 0), "Title");
}

}  // namespace
