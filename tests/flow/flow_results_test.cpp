// The page flow driven through a stand-in dialog layer: results that the
// console never gives (a dialog that cannot be created), what each page is
// handed, and the run state the entry leaves behind. The stand-in replaces
// showPage and the user-interface layer, so no dialog logic runs.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "script/model.h"
#include "wizard/flow.h"
#include "wizard/page.h"

namespace {

struct ShownPage {
    std::string caption, heading, edit, back, next, cancel, question;
    bool hasHeading, hasEdit, hasQuestion;
    int textOnly;
    std::vector<std::string> itemLabels;
};

struct Reply {
    int result;
    int selected;
};

std::vector<ShownPage> shown;
std::deque<Reply> replies;  // when empty a page is cancelled
std::vector<std::string> boxes;

std::string textOf(const char* text) { return text ? text : ""; }

}  // namespace

// The stand-in page: records what the flow handed over, then answers.
int showPage(WizardPage* page, bool skip) {
    if (skip) return resultNext;
    ShownPage record;
    record.caption = textOf(page->caption);
    record.heading = textOf(page->headingText);
    record.edit = textOf(page->editText);
    record.back = textOf(page->backLabel);
    record.next = textOf(page->nextLabel);
    record.cancel = textOf(page->cancelLabel);
    record.question = textOf(page->cancelQuestion);
    record.hasHeading = page->headingText != nullptr;
    record.hasEdit = page->editText != nullptr;
    record.hasQuestion = page->cancelQuestion != nullptr;
    record.textOnly = page->textOnly;
    for (const TextRow& row : page->items.rows) record.itemLabels.push_back(textOf(cell(row, 0)));
    shown.push_back(record);
    if (replies.empty()) return resultCancel;
    const Reply reply = replies.front();
    replies.pop_front();
    page->selected = reply.selected;
    return reply.result;
}

// Boxes are recorded and answered with their default button.
int uiMessageBox(WindowHandle, const char* text, const char*, unsigned style) {
    boxes.push_back(textOf(text));
    if ((style & 0xF) == boxYesNo) return (style & boxDefButton2) ? answerNo : answerYes;
    return answerOk;
}

void uiSetCursor(UiCursor) {}

bool uiOpenFileDialog(WindowHandle, char*, size_t) { return false; }

int uiRunDialog(WizardPage*) { return resultDialogFailed; }

namespace {

const char* const variantBody =
    "        <<variant comment>> \"About %s.\"\n"
    "        <<variant title>> \"%s Setup\"\n"
    "        <<variant fewappl>> \"Install %s into:\"\n"
    "        <<variant license>> \"%s\" \"Back %s\" \"Agree %s\" \"Cancel %s\"\n"
    "        <<variant button>> \"\" \"Finish\" \"\" \"\"\n"
    "        <<variant error>> \"No licence for %s.\"\n"
    "        <<default plugins dir>> \"Plug-ins\"\n"
    "        <<default filters dir>> \"Filters\"\n"
    "        <<photoshop exe>> \"Host.exe\"\n"
    "        <<drives to search>> \"C\"\n"
    "        <<adobe registry key>> \"SOFTWARE\\Host\"\n"
    "        <<plugin registry key>> \"PluginPath\"\n"
    "        <<application registry key>> \"ApplicationPath\"\n"
    "        <<file>> \"a.8bf\" \"pkg\\\" \"plugdir\" \"doNotUninstall\" \"doInstall\" \"Overwrite\"\n"
    "        <<str>> \"5\" \"Nothing was installed.\"\n"
    "        <<str>> \"9\" \"No host.\"\n"
    "        <<str>> \"10\" \"Locate\" \"Locate the host.\"\n"
    "        <<str>> \"11\" \"Quit\" \"Install nothing.\"\n";

// One Variant block named name whose licence file is licence.
std::string variantBlock(const std::string& name, const std::string& licence) {
    char body[4096];
    const char* n = name.c_str();
    std::snprintf(body, sizeof body, variantBody, n, n, n, licence.c_str(), n, n, n, n);
    return "    <<start variant>>\n        <<variant intro>> \"" + name + "\"\n" + body +
           "    <<end variant>>\n";
}

// A script with a welcome text and one Set of Variants A and B.
std::string twoVariantScript(const std::string& licenceA, const std::string& licenceB) {
    return "<<script version>> \"3.0\"\n<<start script>>\n"
           "<<script title>> \"Demo\"\n<<script welcome>> \"Welcome.\"\n"
           "<<script button>> \"Back\" \"Next\" \"Cancel\" \"Quit?\"\n"
           "<<start set>>\n    <<set title>> \"Edition\"\n    <<set text>> \"Choose.\"\n"
           "    <<set button>> \"Back\" \"Next\" \"Cancel\" \"Stop?\"\n" +
           variantBlock("A", licenceA) + variantBlock("B", licenceB) + "<<end set>>\n<<end script>>\n";
}

// Runs each test in a fresh directory holding set/version.psc and the
// licence files, and gives the page record a clean start.
class FlowResults : public ::testing::Test {
protected:
    void SetUp() override {
        shown.clear();
        replies.clear();
        boxes.clear();
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        char pattern[] = "/tmp/flow-results-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        ASSERT_EQ(mkdir("set", 0700), 0);
        unsetenv("SETUP_REGISTRY");
    }
    void TearDown() override {
        destroyScript(script_);
        ASSERT_EQ(chdir(previous_), 0);
        const std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void write(const char* path, const std::string& content) {
        FILE* file = std::fopen(path, "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(content.data(), 1, content.size(), file), content.size());
        ASSERT_EQ(std::fclose(file), 0);
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const ShownPage& page : shown) out.push_back(page.caption);
        return out;
    }
    int run() { return runSetup(script_, nullptr, nullptr); }

    Script script_;
    std::string dir_;
    char previous_[PATH_MAX];
};

typedef std::vector<std::string> Captions;

TEST_F(FlowResults, FailedWelcomePageGoesOnAsNext) {
    write("set/version.psc", twoVariantScript("", ""));
    replies = {{resultDialogFailed, 0}, {resultCancel, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Edition"}));
}

TEST_F(FlowResults, FailedSetPageEndsLikeCancel) {
    write("set/version.psc", twoVariantScript("licence.txt", ""));
    write("licence.txt", "Terms.");
    replies = {{resultNext, 0}, {resultDialogFailed, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Edition"}));
    EXPECT_TRUE(replies.empty());
}

TEST_F(FlowResults, FailedLicencePageCountsAsBackFromTheSetPage) {
    // Back from the top-level Set's page leads to the welcome page.
    write("set/version.psc", twoVariantScript("licence.txt", ""));
    write("licence.txt", "Terms.");
    replies = {{resultNext, 0}, {resultNext, 0}, {resultDialogFailed, 0}, {resultCancel, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Edition", "A Setup", "Demo"}));
}

// A licence page that cannot be created goes back to the nearest page that is
// really shown; where every page up to the top is skipped or fails itself,
// going back would pass the same pages for ever, so setup ends.
TEST_F(FlowResults, FailedLicencePageUnderSkippedSetPages) {
    const std::string head = "<<script version>> \"3.0\"\n<<start script>>\n<<script title>> \"Demo\"\n";
    const std::string welcome = "<<script welcome>> \"Welcome.\"\n";
    const std::string single = "<<start set>>\n    <<set title>> \"Edition\"\n" + variantBlock("A", "licence.txt") +
                               "<<end set>>\n<<end script>>\n";
    // Products offers Mid, which holds one Variant and Leaf, which holds one.
    const std::string nested = "<<start set>>\n    <<set title>> \"Products\"\n<<start set>>\n" +
                               variantBlock("M", "licence.txt") + "<<start set>>\n" + variantBlock("A", "licence.txt") +
                               "<<end set>>\n<<end set>>\n<<start set>>\n<<end set>>\n<<end set>>\n<<end script>>\n";
    const struct {
        std::string script;
        std::vector<Reply> replies;
        Captions captions;
    } cases[] = {
        {head + welcome + single, {{resultDialogFailed, 0}, {resultDialogFailed, 0}}, {"Demo", "A Setup"}},
        {head + single, {{resultDialogFailed, 0}}, {"A Setup"}},
        {head + welcome + single, {{resultNext, 0}, {resultDialogFailed, 0}}, {"Demo", "A Setup", "Demo"}},
        {head + nested, {{resultNext, 0}, {resultDialogFailed, 0}}, {"Products", "A Setup", "Products"}},
    };
    for (const auto& c : cases) {
        destroyScript(script_);
        shown.clear();
        write("set/version.psc", c.script);
        write("licence.txt", "Terms.");
        replies.assign(c.replies.begin(), c.replies.end());
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(captions(), c.captions) << c.script;
    }
}

TEST_F(FlowResults, FailedLicencePageUnderANestedSetShowsTheParentAgain) {
    // The nested Set's page takes the failure as Back, which its parent
    // answers by showing its own page again.
    write("set/version.psc",
          "<<script version>> \"3.0\"\n<<start script>>\n<<script title>> \"Demo\"\n"
          "<<script welcome>> \"Welcome.\"\n<<start set>>\n    <<set title>> \"Products\"\n"
          "<<start set>>\n    <<set title>> \"Filters\"\n" +
              variantBlock("A", "licence.txt") + variantBlock("B", "licence.txt") +
              "<<end set>>\n<<end set>>\n<<end script>>\n");
    write("licence.txt", "Terms.");
    replies = {{resultNext, 0}, {resultNext, 0}, {resultNext, 1}, {resultDialogFailed, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Products", "Filters", "B Setup", "Products"}));
}

TEST_F(FlowResults, LicencePageGetsTheWholeFileAndItsVariantsTexts) {
    // Longer than any one read, CR LF and lone LF kept, text forms untouched.
    std::string content;
    for (int i = 0; content.size() < 300000; ++i)
        content += "Clause " + std::to_string(i) + " $(NAME) \\n \\q\r\n" + (i % 7 ? "" : "\n");
    write("set/version.psc", twoVariantScript("", "licence.txt"));
    write("licence.txt", content);
    replies = {{resultNext, 0}, {resultNext, 1}};
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(shown.size(), 3u);
    const ShownPage& licence = shown[2];
    EXPECT_EQ(licence.textOnly, 1);
    EXPECT_EQ(licence.edit.size(), content.size());
    EXPECT_TRUE(licence.edit == content);
    EXPECT_EQ(licence.caption, "B Setup");
    EXPECT_EQ(licence.back, "Back B");
    EXPECT_EQ(licence.next, "Agree B");
    EXPECT_EQ(licence.cancel, "Cancel B");
    EXPECT_EQ(licence.question, "Stop?");  // the Set's question, not the script's
    EXPECT_FALSE(licence.hasHeading);
}

TEST_F(FlowResults, WelcomeAndSetPagesGetTheirTexts) {
    write("set/version.psc", twoVariantScript("", ""));
    replies = {{resultNext, 0}};
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].heading, "Welcome.");
    EXPECT_TRUE(shown[0].hasEdit);  // empty: the text box is hidden
    EXPECT_EQ(shown[0].edit, "");
    EXPECT_TRUE(shown[0].itemLabels.empty());
    EXPECT_EQ(shown[0].question, "Quit?");
    EXPECT_EQ(shown[1].heading, "Choose.");
    EXPECT_EQ(shown[1].itemLabels, (Captions{"A", "B"}));
    EXPECT_EQ(shown[1].edit, "About A.");
    EXPECT_EQ(shown[1].question, "Stop?");
}

TEST_F(FlowResults, ChosenVariantKnowsTheSetThatOfferedIt) {
    write("set/version.psc", twoVariantScript("licence.txt", "licence.txt"));
    write("licence.txt", "Terms.");
    replies = {{resultNext, 0}, {resultNext, 1}};  // cancel on the licence page
    EXPECT_EQ(run(), 0);
    ASSERT_NE(script_.chosenVariant, nullptr);
    EXPECT_EQ(script_.chosenVariant, &script_.sets[0].variants[1]);
    EXPECT_EQ(script_.chosenVariant->parentSet, &script_.sets[0]);
}

TEST_F(FlowResults, LicenceThatCannotBeReadShowsTheVariantErrorAndEnds) {
    write("set/version.psc", twoVariantScript("missing.txt", ""));
    replies = {{resultNext, 0}, {resultNext, 0}, {resultNext, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Edition"}));
    EXPECT_EQ(boxes, (Captions{"No licence for A."}));
    EXPECT_EQ(replies.size(), 1u);
}

TEST_F(FlowResults, CompletedRunLeavesTheRunStateReset) {
    // No host: the no-host page, Locate, the dialog is cancelled, and the run
    // reports that nothing was installed on the final page.
    write("set/version.psc", twoVariantScript("", ""));
    replies = {{resultNext, 0}, {resultNext, 0}, {resultNext, 0}, {resultNext, 0}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(captions(), (Captions{"Demo", "Edition", "A Setup", "A Setup"}));
    EXPECT_EQ(shown.back().heading, "Nothing was installed.");
    EXPECT_EQ(script_.chosenVariant, nullptr);
    EXPECT_EQ(script_.file, nullptr);
    EXPECT_EQ(script_.currentSet, 0);
    EXPECT_EQ(script_.hosts.hostCount, 0);
}

TEST_F(FlowResults, MissingScriptShowsNothing) {
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
