// Lookups with defaults and deep copies of the model.
#include <gtest/gtest.h>
#include "script/model.h"

namespace {

TEST(Lookup, PastTheEndYieldsTheEmptyDefault) {
    TextTable table;
    EXPECT_EQ(cell(table, 0, 0), nullptr);
    table.rows.push_back({{"a", "b", "c", "d", "e"}});
    EXPECT_STREQ(cell(table, 0, 4), "e");
    EXPECT_EQ(cell(table, 0, 5), nullptr);
    EXPECT_EQ(cell(table, -1, 0), nullptr);
    EXPECT_EQ(cell(table, 0, -1), nullptr);
    std::vector<Set> sets;
    EXPECT_EQ(setAt(sets, 0).subsets, nullptr);
    EXPECT_TRUE(setAt(sets, -3).variants.empty());
    std::vector<Variant> variants;
    EXPECT_FALSE(variantAt(variants, 0).valid);
    EXPECT_EQ(variantRef(variants, 2), variantRef(variants, 5));  // the shared default
}

TEST(Copy, AnAppendedSetKeepsEverythingAfterTheWorkingSetIsCleared) {
    Set working;
    working.title.rows.push_back({{"say \"hi\""}});
    Variant v;
    v.intro.rows.push_back({{"variant"}});
    v.valid = true;
    working.variants.push_back(v);
    working.subsets = new std::vector<Set>(1);
    (*working.subsets)[0].intro.rows.push_back({{"child"}});
    std::vector<Set> list;
    list.push_back(working);
    clearSet(working);
    EXPECT_EQ(working.subsets, nullptr);
    EXPECT_TRUE(working.variants.empty());
    Set copy = list[0];  // copies again: nothing is shared
    list.clear();
    EXPECT_STREQ(cell(copy.title, 0, 0), "say \"hi\"");
    EXPECT_TRUE(variantAt(copy.variants, 0).valid);
    ASSERT_NE(copy.subsets, nullptr);
    EXPECT_STREQ(cell(setAt(*copy.subsets, 0).intro, 0, 0), "child");
}

TEST(Copy, ClearVariantResetsEveryField) {
    Variant v;
    Set parent;
    v.files.rows.push_back({{"f"}});
    v.parentSet = &parent;
    v.valid = true;
    v.start = 4;
    v.end = 9;
    clearVariant(v);
    EXPECT_EQ(rowCount(v.files), 0);
    EXPECT_EQ(v.parentSet, nullptr);
    EXPECT_FALSE(v.valid);
    EXPECT_EQ(v.start, -1);
    EXPECT_EQ(v.end, -1);
}

}  // namespace
