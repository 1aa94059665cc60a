// The page flow: the welcome page, the set pages walked without recursion, the
// licence page, and runSetup, which loads the script and walks the pages.
#include "flow.h"

#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/fs.h"
#include "script/reader.h"
#include "script/text.h"

namespace {

const char* const scriptPath = "set//version.psc";

// Fills the Back, Next, Cancel labels and the cancel question from row 0 of a
// "button" table, in that cell order.
void takeButtons(WizardPage& page, const TextTable& buttons) {
    page.backLabel = cell(buttons, 0, 0);
    page.nextLabel = cell(buttons, 0, 1);
    page.cancelLabel = cell(buttons, 0, 2);
    page.cancelQuestion = cell(buttons, 0, 3);
}

// One radio item: label and description, each kept absent when the script has
// no text for it. A missing label cannot stay absent ahead of a description, but
// the layout hides a radio with an absent or empty label alike.
void appendItem(TextTable& items, const TextTable& intro, const TextTable& comment) {
    TextRow row;
    const char* label = cell(intro, 0, 0);
    const char* description = cell(comment, 0, 0);
    if (label || description) row.cells.push_back(label ? label : "");
    if (description) row.cells.push_back(description);
    items.rows.push_back(row);
}

const size_t licenceLimit = 16u << 20;  // bytes: a longer licence text is refused

// Reads a whole regular file into text; false when it cannot be opened or
// read, is no regular file (a FIFO is not waited on) or is longer than the
// limit. Reading in chunks needs no seekable file.
bool readWholeFile(const char* name, std::string& text) {
    FsFile file = fsOpenForRead(name);
    if (!file) return false;
    std::vector<char> chunk(65536);
    unsigned long got = 0;
    bool ok;
    while ((ok = fsReadFile(file, chunk.data(), static_cast<unsigned long>(chunk.size()), &got)) && got > 0 &&
           text.size() + got <= licenceLimit)
        text.append(chunk.data(), got);
    fsCloseFile(file);
    return ok && got == 0;
}

}  // namespace

// The welcome page, or none when the script has no welcome text. Returns
// resultCancel or resultNext; *shown (when given) tells whether a page was
// really shown, which a missing text or a dialog that fails does not.
int showWelcomePage(Script& script, bool* shown) {
    WizardPage page;
    page.instance = script.instance;
    page.ownerWindow = script.ownerWindow;
    page.editText = "";
    page.headingText = cell(script.welcome, 0, 0);
    page.caption = cell(script.title, 0, 0);
    takeButtons(page, script.buttons);
    script.currentSet = 0;
    if (shown) *shown = false;
    if (!page.headingText || !*page.headingText) return resultNext;
    const int result = showPage(&page, false);
    if (shown) *shown = result == resultCancel || result == resultBack || result == resultNext;
    // Back on the welcome page has nowhere to go, so it proceeds like Next.
    return result == resultCancel ? resultCancel : resultNext;
}

namespace {

// A Set's page as it is shown each time it is entered: the nested Sets or the
// Variants as its items, item 0 chosen.
void fillSetPage(WizardPage& page, const Set& set, ModuleHandle instance, WindowHandle owner) {
    page.instance = instance;
    page.ownerWindow = owner;
    page.caption = cell(set.title, 0, 0);
    page.headingText = cell(set.text, 0, 0);
    takeButtons(page, set.buttons);
    if (set.subsets) {
        for (const Set& nested : *set.subsets) appendItem(page.items, nested.intro, nested.comment);
    } else {
        for (const Variant& variant : set.variants) appendItem(page.items, variant.intro, variant.comment);
    }
    page.editText = cell(page.items, 0, 1);
}

// A single Variant is no choice: its Set's page never shows, however often it
// is entered, even when nested Sets stand beside it.
bool skipped(const Set& set) { return set.variants.size() == 1; }

}  // namespace

// The Sets from the first down to the current one are kept on a list rather
// than the call stack, so a script nested to any depth walks like a flat one.
// Going back from a Set shows its parent's page again; a skipped parent re-enters
// its first nested Set at once.
int runSetPage(Set* set, ModuleHandle instance, WindowHandle owner, Variant** chosenVariant,
               HostTable& hosts, bool welcomeShown) {
    std::vector<Set*> path(1, set);
    for (;;) {
        Set& current = *path.back();
        WizardPage page;
        fillSetPage(page, current, instance, owner);
        int result = showPage(&page, skipped(current));
        bool back = result == resultBack;
        if (!back && result != resultNext) return resultCancel;
        if (!back && current.subsets) {
            path.push_back(setRef(*current.subsets, page.selected));
            continue;
        }
        if (!back) {
            Variant* variant = variantRef(current.variants, page.selected);
            *chosenVariant = variant;
            variant->parentSet = &current;
            result = showLicencePage(*variant, instance, owner);
            if (result == resultCancel) return resultCancel;
            if (result == resultBack) continue;
            if (result == resultNext) {
                result = chooseHosts(variant, instance, owner, hosts);
                if (result == resultCancel || result == resultNext) return result;
                continue;
            }
            // A licence page that could not be created counts as Back. Under a
            // skipped page that Back would lead straight into the same failing
            // page, so it goes up to the nearest page that is really shown,
            // and ends setup when there is none: the welcome page, whatever
            // it is, would be passed again without a stop.
            if (skipped(current)) {
                while (path.size() > 1 && skipped(*path[path.size() - 2])) path.pop_back();
                if (path.size() == 1 && !welcomeShown) return resultCancel;
            }
            back = true;
        }
        path.pop_back();
        if (path.empty()) return resultBack;
    }
}

// The chosen Variant's licence text, read whole from the file it names.
int showLicencePage(Variant& variant, ModuleHandle instance, WindowHandle owner) {
    const char* name = cell(variant.license, 0, 0);
    if (!name || !*name) return resultNext;
    std::string content;
    if (!readWholeFile(name, content)) {
        showVariantError(variant);
        return resultCancel;
    }
    WizardPage page;
    page.instance = instance;
    page.ownerWindow = owner;
    page.textOnly = 1;
    page.editText = content.c_str();
    page.caption = cell(variant.title, 0, 0);
    page.backLabel = cell(variant.license, 0, 1);
    page.nextLabel = cell(variant.license, 0, 2);
    page.cancelLabel = cell(variant.license, 0, 3);
    page.cancelQuestion = variant.parentSet ? cell(variant.parentSet->buttons, 0, 3) : nullptr;
    return showPage(&page, false);
}

// Loads the script, walks the pages and, after Next on the host step, runs the
// installation once.
int runSetup(Script& script, ModuleHandle instance, WindowHandle previousInstance) {
    script.instance = instance;
    script.ownerWindow = previousInstance;
    if (!loadScript(script, scriptPath)) return 0;
    for (;;) {
        bool welcomeShown = false;
        if (showWelcomePage(script, &welcomeShown) == resultCancel) return 0;
        const int result = runSetPage(setRef(script.sets, script.currentSet), script.instance,
                                      script.ownerWindow, &script.chosenVariant, script.hosts, welcomeShown);
        if (result == resultBack) continue;
        if (result == resultNext) {
            runInstallation(script);
            resetRun(script);
        }
        return 0;
    }
}
