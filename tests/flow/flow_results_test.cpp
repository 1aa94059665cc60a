// The page flow driven through a stand-in page layer, for what the console
// never gives: pages whose dialog cannot be created, and the run state the
// entry leaves behind. The stand-in replaces showPage and the user-interface
// layer, so no dialog logic runs.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "script/model.h"
#include "wizard/flow.h"
#include "../engine/support.h"

namespace {

struct Reply {
    int result;
    int selected;
};

std::vector<std::string> captions;  // of the pages shown, in order
char theModule;                     // the instance handed to setup, which every page must carry
std::deque<Reply> replies;          // when empty a page is cancelled

}  // namespace

// The stand-in page: records its caption (marked when it lacks setup's module), then answers.
int showPage(WizardPage* page, bool skip) {
    if (skip) return resultNext;
    captions.push_back(std::string(page->caption ? page->caption : "") + (page->instance == &theModule ? "" : " (no module)"));
    if (replies.empty()) return resultCancel;
    const Reply reply = replies.front();
    replies.pop_front();
    page->selected = reply.selected;
    return reply.result;
}

int uiMessageBox(WindowHandle, const char*, const char*, unsigned style) {
    return (style & 0xF) == boxYesNo ? answerYes : answerOk;
}
void uiSetCursor(UiCursor) {}
bool uiOpenFileDialog(WindowHandle, char*, size_t) { return false; }
int uiRunDialog(WizardPage*) { return resultDialogFailed; }

namespace {

// One Variant block whose title is "NAME Setup" and whose licence file is licence.
std::string variant(const std::string& name) {
    std::string body = "<<start variant>>\n<<variant intro>> \"" + name + "\"\n<<variant title>> \"" + name +
                       " Setup\"\n<<variant license>> \"licence.txt\"\n";
    for (const char* tag : {"fewappl", "comment", "error", "button"})
        body += "<<variant " + std::string(tag) + ">> \"\"\n";
    for (const char* tag : {"default plugins dir", "default filters dir", "photoshop exe", "drives to search",
                            "adobe registry key", "plugin registry key", "application registry key", "file",
                            "str"})
        body += "<<" + std::string(tag) + ">> \"\"\n";
    return body + "<<end variant>>\n";
}

std::string set(const std::string& title, const std::string& body) {
    return "<<start set>>\n<<set title>> \"" + title + "\"\n" + body + "<<end set>>\n";
}

std::string script(bool welcome, const std::string& sets) {
    return std::string("<<script version>> \"3.0\"\n<<start script>>\n<<script title>> \"Demo\"\n") +
           (welcome ? "<<script welcome>> \"Welcome.\"\n" : "") + sets + "<<end script>>\n";
}

// A welcome page that fails goes on as Next, a set page that fails ends
// setup, a licence page that fails counts as Back. Under skipped set pages
// that Back goes up to the nearest page that is really shown; where every
// page up to the top is skipped or fails, it would pass the same pages for
// ever, so setup ends. Only a run that got through its final page resets
// the run state: no chosen Variant, the script file closed, no hosts.
TEST(FlowResults, PagesThatCannotBeCreatedAndTheRunStateLeft) {
    // The runs take place in a fresh directory holding set/version.psc and licence.txt.
    TempDir directory;
    ASSERT_TRUE(chdir(directory.path().c_str()) == 0 && mkdir("set", 0700) == 0);
    unsetenv("SETUP_REGISTRY");
    const int failed = resultDialogFailed, next = resultNext;
    const std::string two = set("Edition", variant("A") + variant("B")), one = set("Edition", variant("A"));
    // Products offers Mid, which holds one Variant and Leaf, which holds one.
    const std::string deep = set("Products", set("Mid", variant("M") + set("Leaf", variant("A"))) + set("X", ""));
    const struct {
        std::string script;
        std::vector<Reply> replies;
        std::vector<std::string> captions;
        bool reset = false;
    } cases[] = {
        {script(true, two), {{failed, 0}}, {"Demo", "Edition"}},
        {script(true, two), {{next, 0}, {failed, 0}}, {"Demo", "Edition"}},
        {script(true, two), {{next, 0}, {next, 0}, {failed, 0}}, {"Demo", "Edition", "A Setup", "Demo"}},
        {script(true, set("Products", set("Filters", variant("A") + variant("B")))),
         {{next, 0}, {next, 0}, {next, 1}, {failed, 0}},
         {"Demo", "Products", "Filters", "B Setup", "Products"}},
        {script(true, one), {{failed, 0}, {failed, 0}}, {"Demo", "A Setup"}},
        {script(false, one), {{failed, 0}}, {"A Setup"}},
        {script(true, one), {{next, 0}, {failed, 0}}, {"Demo", "A Setup", "Demo"}},
        {script(false, deep), {{next, 0}, {failed, 0}}, {"Products", "A Setup", "Products"}},
        {script(false, one), {{next, 0}, {next, 0}, {next, 0}}, {"A Setup", "A Setup", "A Setup"}, true},
    };
    for (const auto& c : cases) {
        Script loaded;
        captions.clear();
        writeFile("set/version.psc", c.script);
        writeFile("licence.txt", "Terms.");
        replies.assign(c.replies.begin(), c.replies.end());
        EXPECT_EQ(runSetup(loaded, &theModule, nullptr), 0);
        EXPECT_EQ(captions, c.captions) << c.script;
        EXPECT_EQ(!loaded.chosenVariant && !loaded.file && loaded.hosts.hostCount == 0, c.reset) << c.script;
        destroyScript(loaded);
    }
}

}  // namespace
