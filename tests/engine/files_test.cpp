// Copying under the overwrite policies, the overwrite question with its dates,
// and removing old copies, against real directory trees.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>

#include "engine/files.h"
#include "fake_ui.h"
#include "script/reader.h"
#include "support.h"
#include "variant_fixture.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeUi::reset();
        makeDirectory(dir / "src");
        makeDirectory(dir / "dst");
        source = dir / "src/";
        destination = dir / "dst/";
    }
    // The source file is newer (1), older (-1) or of the same minute (0).
    void prepare(int order, int sourceSecond = 10, int destinationSecond = 50) {
        writeFile(source + "f.8bf", "new");
        writeFile(destination + "f.8bf", "old");
        setLocalTime(destination + "f.8bf", 2006, 1, 5, 9, 30, destinationSecond);
        setLocalTime(source + "f.8bf", 2006, 1, 5, 9, 30 + order, sourceSecond);
    }
    bool copy(int keyword) {
        return copyWithPolicy("f.8bf", source.c_str(), destination.c_str(), keyword, fixture.variant);
    }
    std::string target() { return readFile(destination + "f.8bf"); }

    TempDir dir;
    VariantFixture fixture;
    std::string source, destination;
};

TEST_F(FilesTest, AskIfDifferWithinTheSameMinuteAsksNothing) {
    prepare(0, 59, 0);
    EXPECT_TRUE(copy(keywordAskIfDiffer));
    EXPECT_TRUE(fakeUi::boxes.empty());
    EXPECT_EQ(target(), "old");
}

TEST_F(FilesTest, AskWithEqualDatesAsksWithNoAsDefaultAndNoWords) {
    prepare(0);
    EXPECT_TRUE(copy(keywordAsk));
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Replace " + destination + "f.8bf of January  05, 2006, 09:30 by " + source +
                                         "f.8bf of January  05, 2006, 09:30?");
    EXPECT_EQ(fakeUi::boxes[0].style, static_cast<unsigned>(boxYesNo | boxIconQuestion | boxDefButton2));
    EXPECT_EQ(fakeUi::boxes[0].caption, "Filter Setup");
    EXPECT_EQ(target(), "old");
}

// A newer source defaults to Yes, an older one to No; the words follow the dates.
TEST_F(FilesTest, TheQuestionsDefaultAndWordsFollowTheDates) {
    const struct {
        int order, keyword;
        unsigned style;
        const char *destinationWords, *sourceWords, *target;
    } cases[] = {
        {1, keywordAskIfDiffer, boxYesNo | boxIconQuestion, "09:30 (older) by", "09:31 (newer)?", "new"},
        {-1, keywordAsk, boxYesNo | boxIconQuestion | boxDefButton2, "09:30 (newer) by", "09:29 (older)?", "old"},
    };
    for (const auto& c : cases) {
        fakeUi::reset();
        prepare(c.order);
        EXPECT_TRUE(copy(c.keyword));
        ASSERT_EQ(fakeUi::boxes.size(), 1u);
        EXPECT_EQ(fakeUi::boxes[0].style, c.style);
        EXPECT_NE(fakeUi::boxes[0].text.find(c.destinationWords), std::string::npos) << fakeUi::boxes[0].text;
        EXPECT_NE(fakeUi::boxes[0].text.find(c.sourceWords), std::string::npos) << fakeUi::boxes[0].text;
        EXPECT_EQ(target(), c.target);
    }
}

TEST_F(FilesTest, WordsWithOnlyTheFirstCellAreEmptyForAnOlderSource) {
    fixture.setMessage(7, "A");
    fixture.setMessage(8, "B");
    fixture.setMessage(6, "[%s|%s|%s|%s|%s|%s]");
    prepare(-1);
    EXPECT_TRUE(copy(keywordAsk));
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_NE(fakeUi::boxes[0].text.find("09:30||"), std::string::npos) << fakeUi::boxes[0].text;
    EXPECT_NE(fakeUi::boxes[0].text.find("09:29|]"), std::string::npos) << fakeUi::boxes[0].text;
}

TEST_F(FilesTest, AskWithoutADestinationFileCopiesWithoutAQuestion) {
    writeFile(source + "f.8bf", "new");
    EXPECT_TRUE(copy(keywordAsk));
    EXPECT_EQ(target(), "new");
    EXPECT_TRUE(fakeUi::boxes.empty());
}

TEST_F(FilesTest, AskWithAMissingSourceFailsWithoutAQuestion) {
    writeFile(destination + "f.8bf", "old");
    EXPECT_FALSE(copy(keywordAsk));
    EXPECT_TRUE(fakeUi::boxes.empty());
}

TEST_F(FilesTest, NotOverwriteOntoAnExistingFileFails) {
    prepare(1);
    EXPECT_FALSE(copy(keywordNotOverwrite));
    EXPECT_EQ(target(), "old");
}

TEST_F(FilesTest, OverwriteReplaces) {
    prepare(-1);
    EXPECT_TRUE(copy(keywordOverwrite));
    EXPECT_EQ(target(), "new");
    EXPECT_TRUE(fakeUi::boxes.empty());
    EXPECT_FALSE(copyWithPolicy("none", source.c_str(), destination.c_str(), keywordOverwrite, fixture.variant));
}

TEST_F(FilesTest, AMisspeltKeywordCopiesNothingAndSucceeds) {
    writeFile(source + "f.8bf", "new");
    EXPECT_TRUE(copy(keywordCode("overwrite")));
    EXPECT_FALSE(fileExists(destination + "f.8bf"));
    EXPECT_TRUE(copyWithPolicy("missing", source.c_str(), destination.c_str(), keywordNone, fixture.variant));
}

TEST_F(FilesTest, APathLongerThanMaxPathIsRefused) {
    std::string deep = destination + std::string(300, 'd') + "/";
    writeFile(source + "f.8bf", "new");
    EXPECT_FALSE(copyWithPolicy("f.8bf", source.c_str(), deep.c_str(), keywordOverwrite, fixture.variant));
    std::string longName(250, 'n');
    EXPECT_FALSE(copyWithPolicy(longName.c_str(), source.c_str(), destination.c_str(), keywordAsk, fixture.variant));
    EXPECT_EQ(listDirectory(destination), "");
}

TEST_F(FilesTest, AQuestionWithUnexpectedConversionsIsShownAsWritten) {
    fixture.setMessage(6, "%s%s%s%n and %d");
    prepare(1);
    EXPECT_TRUE(copy(keywordAsk));
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "%s%s%s%n and %d");
}

TEST(DateTest, MonthNamesCarryTheirBlanks) {
    const std::pair<int, const char*> names[] = {{1, "January "}, {2, "February "}, {3, "March"}, {7, "July "},
                                                 {12, "December"}, {0, ""}, {13, ""}, {-1, ""}};
    for (const auto& name : names) EXPECT_STREQ(monthName(name.first), name.second) << name.first;
}

TEST(DateTest, DateTexts) {
    char text[dateTextSize];
    SystemTime date = {2005, 3, 0, 5, 14, 7, 0, 0};
    formatFileDate(text, sizeof text, date);
    EXPECT_STREQ(text, "March 05, 2005, 14:07");
    date = {2006, 7, 0, 15, 9, 3, 0, 0};
    formatFileDate(text, sizeof text, date);
    EXPECT_STREQ(text, "July  15, 2006, 09:03");
    char small[8];
    formatFileDate(small, sizeof small, date);
    EXPECT_STREQ(small, "July  1");
}

TEST(DateTest, ComparisonStopsAtTheMinute) {
    SystemTime a = {2006, 1, 0, 5, 9, 30, 0, 0}, b = a;
    b.second = 59;
    b.milliseconds = 999;
    EXPECT_EQ(compareFileDates(a, b), 0);
    b.minute = 31;
    EXPECT_LT(compareFileDates(a, b), 0);
    b = a;
    b.year = 2005;
    b.month = 12;
    EXPECT_EQ(compareFileDates(a, b), 1);
    EXPECT_EQ(compareFileDates(b, a), -1);
}

TEST_F(FilesTest, ReadFileDateGivesLocalTime) {
    writeFile(source + "f", "x");
    setLocalTime(source + "f", 1999, 12, 31, 23, 59, 1);
    SystemTime date;
    ASSERT_TRUE(readFileDate((source + "f").c_str(), &date));
    EXPECT_EQ(date.year, 1999);
    EXPECT_EQ(date.month, 12);
    EXPECT_EQ(date.day, 31);
    EXPECT_EQ(date.hour, 23);
    EXPECT_EQ(date.minute, 59);
    EXPECT_FALSE(readFileDate((source + "missing").c_str(), &date));
    EXPECT_FALSE(readFileDate(source.c_str(), &date));
}

// --- Removal ---

TEST_F(FilesTest, RemovalFindsTheNameTwoLevelsDownInAnyCase) {
    std::string app = dir / "app/";
    makeDirectory(app);
    makeDirectory(app + "Plug-ins");
    makeDirectory(app + "Plug-ins/Filters");
    writeFile(app + "Plug-ins/Filters/FILTER.8BF", "x");
    writeFile(app + "filter.8bf", "x");
    writeFile(app + "other.8bf", "x");
    EXPECT_TRUE(removeMatchingFiles("Filter.8bf", app.c_str()));
    EXPECT_EQ(listDirectory(app + "Plug-ins/Filters"), "");
    EXPECT_EQ(listDirectory(app), "Plug-ins other.8bf");
}

TEST_F(FilesTest, ADirectoryNamedLikeTheFileIsWalkedNotDeleted) {
    std::string app = dir / "app/";
    makeDirectory(app);
    makeDirectory(app + "f.8bf");
    writeFile(app + "f.8bf/F.8BF", "x");
    EXPECT_TRUE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_TRUE(fileExists(app + "f.8bf"));
    EXPECT_EQ(listDirectory(app + "f.8bf"), "");
}

TEST_F(FilesTest, OnlyPlainDirectoriesAreDescendedInto) {
    std::string app = dir / "app/";
    makeDirectory(app);
    makeDirectory(app + "locked");
    writeFile(app + "locked/f.8bf", "x");
    makeReadOnly(app + "locked");
    makeDirectory(dir / "elsewhere");
    writeFile(dir / "elsewhere/f.8bf", "x");
    symlink((dir / "elsewhere").c_str(), (app + "link").c_str());
    EXPECT_TRUE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_TRUE(fileExists(app + "locked/f.8bf"));
    EXPECT_TRUE(fileExists(dir / "elsewhere/f.8bf"));
}

TEST_F(FilesTest, RemovalFailsOnAnUndeletableFileOrAMissingDirectory) {
    std::string app = dir / "app/";
    makeDirectory(app);
    writeFile(app + "f.8bf", "x");
    makeReadOnly(app + "f.8bf");
    EXPECT_FALSE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_FALSE(removeMatchingFiles("f.8bf", (dir / "missing/").c_str()));
    // A failure inside a sub-directory ends only that sub-directory's walk.
    chmod((app + "f.8bf").c_str(), 0644);
    makeDirectory(app + "sub");
    writeFile(app + "sub/f.8bf", "x");
    makeReadOnly(app + "sub/f.8bf");
    EXPECT_TRUE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_FALSE(fileExists(app + "f.8bf"));
    EXPECT_TRUE(fileExists(app + "sub/f.8bf"));
}

TEST_F(FilesTest, RemovalWithBackslashSeparatedDirectory) {
    std::string app = dir.path() + "app\\";
    makeDirectory(dir / "app");
    makeDirectory(dir / "app/sub");
    writeFile(dir / "app/sub/x.dll", "x");
    EXPECT_TRUE(removeMatchingFiles("X.DLL", app.c_str()));
    EXPECT_FALSE(fileExists(dir / "app/sub/x.dll"));
}

}  // namespace
