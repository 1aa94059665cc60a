// Bad input: whatever the file holds, loading ends without crash, hang,
// overrun or leak (the sanitizer build checks the latter three; random input
// is the fuzzer's part).
#include <gtest/gtest.h>
#include <string>
#include "script/reader.h"
#include "script/text.h"
#include "support.h"

namespace {

const std::string version = "<<script version>> \"3.0\"\n<<script error>> \"E\"\n";

std::string variant() {
    return "<<start variant>>\n" + variantBody("deep") + "<<end variant>>\n";
}

int depthOf(const Set& set) {
    int depth = 1;
    for (const Set* s = &set; s->subsets && !s->subsets->empty(); s = &(*s->subsets)[0]) ++depth;
    return depth;
}

TEST(BadInput, AThousandNestedSetsLoad) {
    std::string text = version;
    for (int i = 0; i < 1000; ++i) text += "<<start set>>\n<<set intro>> \"level\"\n";
    text += variant();
    for (int i = 0; i < 1000; ++i) text += "<<end set>>\n";
    Script script;
    ASSERT_TRUE(loadText(script, text));
    ASSERT_EQ(script.sets.size(), 1u);
    EXPECT_EQ(depthOf(script.sets[0]), 1000);
    const Set* s = &script.sets[0];
    while (s->subsets) s = &(*s->subsets)[0];
    EXPECT_TRUE(variantAt(s->variants, 0).valid);
    destroyScript(script);
}

TEST(BadInput, LongLinesUnbalancedQuotesAndOpenReferences) {
    std::string text = version + "<<script macro>> \"$(X)\" \"" + std::string(4000, 'x') + "\"\n" +
                       "<<script title>> \"" + std::string(100000, 'a') + "\n" +
                       "<<script welcome>> \"$(X)$(X)$(X)\" \"$(unclosed\n" +
                       "<<script button>> \"a\" \"b\n";
    Script script;
    ASSERT_TRUE(loadText(script, text));
    EXPECT_EQ(rowCount(script.title), 1);
    EXPECT_EQ(cell(script.title, 0, 0), nullptr);  // its closing quote was cut away
    EXPECT_STREQ(cell(script.welcome, 0, 0), "$(X)$(X)$(X)");  // refused: kept as written
    EXPECT_STREQ(cell(script.buttons, 0, 0), "a");
    EXPECT_EQ(cell(script.buttons, 0, 1), nullptr);
    destroyScript(script);
}

}  // namespace
