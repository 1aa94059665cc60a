// Macros, message texts and the error boxes.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "script/reader.h"
#include "script/text.h"
#include "support.h"

namespace {

class Macros : public ::testing::Test {
protected:
    Script script;
    std::vector<char> line = std::vector<char>(lineBufferSize);
    void SetUp() override {
        script.macros.rows.push_back({{"$(NAME)", "Filter"}});
        script.macros.rows.push_back({{"$(NAME)", "second definition"}});
        script.macros.rows.push_back({{}});  // a row without cell 0 never matches
        script.macros.rows.push_back({{"$(A$(B)", "nested"}});
        script.macros.rows.push_back({{"$(LOOP)", "$(NAME)"}});
        useScript(&script);
    }
    void TearDown() override { destroyScript(script); }
    std::string expand(const std::string& text, int* result = nullptr) {
        std::strcpy(line.data(), text.c_str());
        int r = expandMacros(line.data(), lineBufferSize);
        if (result) *result = r;
        return line.data();
    }
};

TEST_F(Macros, ReplacesDefinedReferencesCaseSensitively) {
    EXPECT_EQ(expand("Install $(NAME) now"), "Install Filter now");
    EXPECT_EQ(expand("$(name) $(UNDEFINED)"), "$(name) $(UNDEFINED)");
    EXPECT_STREQ(lookupMacro("$(NAME)"), "Filter");  // the first row wins
    EXPECT_EQ(lookupMacro("NAME"), nullptr);
}

TEST_F(Macros, ReferencesDoNotNestAndTextsAreNotSearchedAgain) {
    EXPECT_EQ(expand("$(A$(B))"), "nested)");
    EXPECT_EQ(expand("$(LOOP)"), "$(NAME)");
    EXPECT_EQ(expand("a $( no end"), "a $( no end");
    EXPECT_EQ(expand("$(NAME) then $("), "Filter then $(");
}

TEST_F(Macros, AnExpansionPastTheBufferIsRefusedAndTheLineKept) {
    script.macros.rows.push_back({{"$(BIG)", std::string(3000, 'b')}});
    int result = -1;
    std::string text = "<<t>> \"$(BIG) $(BIG)\"";
    EXPECT_EQ(expand(text, &result), text);
    EXPECT_EQ(result, expandResultTooLong);
    std::string fits = "<<t>> \"$(BIG)\"";
    EXPECT_EQ(expand(fits, &result).size(), fits.size() - 6 + 3000);
    EXPECT_EQ(result, expandOk);
}

TEST_F(Macros, APartLongerThanTheCapacityEndsTheExpansion) {
    char small[16] = "ab $(NAME)";
    EXPECT_EQ(expandMacros(small, 4), expandPartTooLong);  // "Filter" alone exceeds 4
    EXPECT_STREQ(small, "ab $(NAME)");
    char exact[16] = "$(NAME)";
    EXPECT_EQ(expandMacros(exact, 7), expandOk);  // six characters and the NUL
    EXPECT_STREQ(exact, "Filter");
}

TEST(MacrosInScripts, MacroLinesAreReadUnexpandedWithCrLf) {
    Script script;
    ASSERT_TRUE(loadText(script, "<<script version>> \"3.0\"\n"
                                 "<<script macro>> \"$(N)\" \"A\\nB\"\n"
                                 "<<script macro>> \"$(M)\" \"$(N)\"\n"
                                 "<<script title>> \"$(N) $(M)\"\n"));
    EXPECT_STREQ(cell(script.title, 0, 0), "A\r\nB $(N)");
    EXPECT_STREQ(cell(script.macros, 1, 1), "$(N)");
    destroyScript(script);
    EXPECT_EQ(scriptInUse(), nullptr);
    EXPECT_EQ(lookupMacro("$(N)"), nullptr);
}

TEST(MessageText, FindsTheFirstRowOfTheDecimalNumber) {
    Variant v;
    v.messages.rows.push_back({{"7", "older", "newer"}});
    v.messages.rows.push_back({{"07", "leading zero"}});
    v.messages.rows.push_back({{"3", "first %d"}});
    v.messages.rows.push_back({{"3", "second"}});
    v.messages.rows.push_back({{"-1", "negative"}});
    v.messages.rows.push_back({{"8", "only one"}});
    EXPECT_STREQ(messageText(v, 3), "first %d");
    EXPECT_STREQ(messageText(v, 7, 2), "newer");
    EXPECT_STREQ(messageText(v, -1), "negative");
    EXPECT_EQ(messageText(v, 8, 2), nullptr);
    EXPECT_EQ(messageText(v, 0), nullptr);
    EXPECT_STREQ(messageText(v, 7, 0), "7");
}

TEST(ErrorBoxes, GoThroughTheMessageBoxWithErrorIconAndOk) {
    Script script;
    script.error.rows.push_back({{"Script broken"}});
    Variant v;
    v.error.rows.push_back({{"Licence missing"}});
    v.title.rows.push_back({{"Variant title"}});
    recordedBoxes.clear();
    showScriptError(script);
    showVersionError(script);
    showVariantError(v);
    showVariantError(Variant());
    ASSERT_EQ(recordedBoxes.size(), 4u);
    EXPECT_EQ(recordedBoxes[0].text, "Script broken");
    EXPECT_EQ(recordedBoxes[0].caption, "(null)");
    EXPECT_EQ(recordedBoxes[1].text, "Setup version error: v3.0");
    EXPECT_EQ(recordedBoxes[2].caption, "Variant title");
    EXPECT_EQ(recordedBoxes[3].text, "(null)");
    for (const RecordedBox& box : recordedBoxes) EXPECT_EQ(box.style, boxOk | boxIconHand);
}

}  // namespace
