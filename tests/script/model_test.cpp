// What no script case reaches: lookups and copies that setup never makes,
// expandMacros with buffers smaller than a line, lineNumberAt (for tools
// other than psc-check), and later loads into the same Script.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include "platform/ui.h"
#include "script/diagnose.h"
#include "script/reader.h"
#include "script/text.h"
#include "../engine/support.h"

// The library leaves the message box to its user; no test here shows one.
int uiMessageBox(WindowHandle, const char*, const char*, unsigned) { return answerOk; }

namespace {

// A text's value for comparisons, absent included.
std::string shown(const char* text) { return text ? text : "(absent)"; }

// True when the Set holds nothing at all.
bool emptySet(const Set& s) {
    for (const TextTable* t : {&s.intro, &s.comment, &s.title, &s.text, &s.welcome, &s.buttons, &s.error})
        if (!t->rows.empty()) return false;
    return s.variants.empty() && !s.subsets;
}

// True when the Set holds what the copy test puts into it.
bool filledSet(const Set& s) {
    return shown(cell(s.title, 0, 0)) == "say \"hi\"" && s.variants.size() == 1 &&
           s.variants[0].valid && s.subsets && s.subsets->size() == 1 &&
           shown(cell((*s.subsets)[0].intro, 0, 0)) == "child" && s.start == 1 && s.end == 2;
}

// Any index that names no element yields the list's empty default, one
// object per list type.
TEST(Model, LookupsPastTheEndYieldEmptyDefaults) {
    TextTable table;
    table.rows.push_back({{"a", "b"}});
    const struct { int row, column; const char* text; } cells[] = {
        {0, 1, "b"}, {0, 2, nullptr}, {1, 0, nullptr}, {-1, 0, nullptr}, {0, -1, nullptr}};
    for (const auto& c : cells) EXPECT_EQ(shown(cell(table, c.row, c.column)), shown(c.text)) << c.row << "," << c.column;
    std::vector<Set> sets(1);
    std::vector<Variant> variants(1);
    EXPECT_TRUE(&setAt(sets, 0) == &sets[0] && setRef(sets, 0) == &sets[0]);
    EXPECT_TRUE(&variantAt(variants, 0) == &variants[0] && variantRef(variants, 0) == &variants[0]);
    for (int index : {1, -1}) {
        EXPECT_TRUE(emptySet(setAt(sets, index)));
        EXPECT_EQ(setRef(sets, index), &setAt(sets, index + 7));
        EXPECT_FALSE(variantAt(variants, index).valid);
        EXPECT_EQ(variantRef(variants, index), &variantAt(variants, index + 7));
    }
}

// Copies own everything: clearing the original leaves them whole; a move
// takes everything over and leaves its source empty; clearing a Variant
// resets every field.
TEST(Model, CopiesAreDeepMovesEmptyTheirSource) {
    Set original;
    original.title.rows.push_back({{"say \"hi\""}});
    original.variants.push_back(Variant());
    original.variants[0].valid = true;
    original.subsets = new std::vector<Set>(1);
    (*original.subsets)[0].intro.rows.push_back({{"child"}});
    original.start = 1;
    original.end = 2;
    Set copied(original), assigned;
    assigned = original;
    clearSet(original);
    EXPECT_TRUE(emptySet(original));
    EXPECT_TRUE(filledSet(copied) && filledSet(assigned));
    Set moved(std::move(copied)), moveAssigned;
    moveAssigned = std::move(assigned);
    EXPECT_TRUE(filledSet(moved) && filledSet(moveAssigned));
    EXPECT_TRUE(emptySet(copied) && emptySet(assigned));

    Variant v = moved.variants[0];
    v.files.rows.push_back({{"f"}});
    v.parentSet = &moved;
    v.start = 4;
    v.end = 9;
    clearVariant(v);
    EXPECT_TRUE(v.files.rows.empty() && !v.parentSet && !v.valid && v.start == -1 && v.end == -1);
}

// Every part of the expansion counts against the capacity, the NUL too; a
// part longer than the capacity ends it. The line stays unless all fits.
TEST(Macros, ExpansionNeverWritesPastTheCapacity) {
    Script script;
    script.macros.rows.push_back({{"$(NAME)", "Filter"}});
    useScript(&script);
    const struct { const char* line; int capacity, result; const char* after; } cases[] = {
        {"$(NAME)", 7, expandOk, "Filter"},
        {"$(NAME)", 6, expandResultTooLong, "$(NAME)"},
        {"ab $(NAME)", 4, expandPartTooLong, "ab $(NAME)"},
        {"abcde $(NAME)", 5, expandPartTooLong, "abcde $(NAME)"},
        {"$(UNDEFINED)", 11, expandPartTooLong, "$(UNDEFINED)"},
        {"$(NAME) abcdefgh", 8, expandPartTooLong, "$(NAME) abcdefgh"},
    };
    for (const auto& c : cases) {
        char line[32];
        std::strcpy(line, c.line);
        EXPECT_EQ(expandMacros(line, c.capacity), c.result) << c.line << " in " << c.capacity;
        EXPECT_STREQ(line, c.after);
    }
    destroyScript(script);
    EXPECT_EQ(scriptInUse(), nullptr);
    EXPECT_EQ(lookupMacro("$(NAME)"), nullptr);
}

// A position's line is the number of LFs before it plus one, over chunks of
// any size (an LF at byte 4096 is the first of the second chunk); this and a
// search that finds nothing set the file position back.
TEST(Reader, LineNumbersAndSearchesSetThePositionBack) {
    writeFile("lines.txt", "a\nb\r\n" + std::string(4091, 'x') + "\n" + std::string(900, 'y') + "\nc");
    FILE* file = std::fopen("lines.txt", "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 3, SEEK_SET);
    const struct { long position, line; } cases[] = {{0, 1}, {1, 1}, {2, 2}, {5, 3}, {4096, 3}, {4097, 4}, {4998, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(lineNumberAt(file, c.position), c.line) << c.position;
        EXPECT_EQ(std::ftell(file), 3);
    }
    EXPECT_FALSE(findTag(file, 0, -1, "<<absent>>"));
    EXPECT_EQ(std::ftell(file), 3);
    std::fclose(file);
}

// resetRun ends the run and keeps the texts; a later load into the same
// Script starts from empty tables and reads its own macros and trace, also one
// that fails before it reads any Set. (Also where the cases do not run: a Variant
// read by file positions in a file with LF line ends, as opened on Windows.)
TEST(Load, LaterLoadsStartFromEmptyTables) {
    std::string variant = "<<start variant>>\n<<variant intro>> \"V\"";
    for (int i = 1; i < 16; ++i) variant += std::string(" ") + variantTags[i];
    writeFile("first.psc", "<<script version>> \"3.0\"\n<<script title>> \"First\"\n"
                           "<<script macro>> \"$(M)\" \"m\"\n<<start set>>\n<<end set>>\n"
                           "<<start set>>\n" + variant + "\n<<end variant>>\n<<end set>>\n");
    writeFile("second.psc", "<<script version>> \"3.0\"\r\n<<start set>>\r\n<<end set>>\r\n");
    Script script;
    ASSERT_TRUE(loadScript(script, "first.psc"));
    EXPECT_TRUE(setAt(script.sets, 1).variants.size() == 1 && setAt(script.sets, 1).variants[0].valid);
    EXPECT_NE(script.file, nullptr);
    Variant chosen;
    script.chosenVariant = &chosen;
    script.currentSet = 3;
    script.hosts.hostCount = 2;
    resetRun(script);
    EXPECT_TRUE(!script.file && !script.chosenVariant && script.currentSet == 0 && script.hosts.hostCount == 0);
    EXPECT_EQ(shown(cell(script.title, 0, 0)), "First");
    EXPECT_EQ(shown(lookupMacro("$(M)")), "m");
    ASSERT_TRUE(loadScript(script, "second.psc"));
    const TextTable* tables[] = {&script.version, &script.macros, &script.title,
                                 &script.welcome, &script.error, &script.buttons};
    for (const TextTable* t : tables) EXPECT_EQ(rowCount(*t), t == &script.version ? 1 : 0);
    EXPECT_EQ(script.sets.size(), 1u);
    EXPECT_EQ(lookupMacro("$(M)"), nullptr);
    EXPECT_FALSE(loadScript(script, "no-such.psc"));
    EXPECT_TRUE(script.sets.empty() && rowCount(script.version) == 0);
    EXPECT_TRUE(loadScript(script, "second.psc") && lastReadTrace().failure == loadOk);  // no failure carried over
    destroyScript(script);
}

}  // namespace
