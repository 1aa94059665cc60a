// setup-driver: starts setup.exe in the example package's directory and goes
// through its pages and message boxes from outside, as a user would: it finds
// each window of the setup process, checks its caption and texts, which of
// the wizard's controls are visible and where they stand in pixels, clicks
// buttons with WM_COMMAND and answers the boxes. The expected rectangles come
// from the wizard's own layout functions applied to the real dialog's outer
// size, base units and system metrics. Optionally it asks the test script for
// a screenshot of each window (a request file that the script answers).
//
// usage: setup-driver SCENARIO SETUP.EXE PACKAGE_DIR SHOTS_DIR|- LOG [ARGS...]
//   install   HOST1 HOST2   full edition into the two registered hosts
//   overwrite HOST1 HOST2   trial edition into host 1 only: the overwrite questions
//   cancel                  Cancel on the welcome page: No, then Yes
//   nohost    EXE_PATH      trial edition, no registered host: file-open dialog
// HOSTn are the application directories without their final backslash.
// Exit code 0 (and "RESULT ok" in LOG) when every check holds.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace {

FILE* theLog = stdout;
int failures = 0;
DWORD setupProcessId = 0;
std::string shotsDir;
std::string packageDir;
int shotNumber = 0;

// Writes one line to the log.
void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(theLog, format, args);
    va_end(args);
    std::fputc('\n', theLog);
    std::fflush(theLog);
}

// Records a check's outcome; failures are logged with what was seen.
bool check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        say("FAIL: %s", what.c_str());
    }
    return ok;
}

// A text with its line ends made visible, for the log.
std::string shown(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Checks a text against its expected value, both shown in the log.
void checkText(const std::string& seen, const std::string& expected, const std::string& what) {
    check(seen == expected, what + ": \"" + shown(seen) + "\", expected \"" + shown(expected) + "\"");
}

// A window's text as its own window procedure gives it: GetWindowTextA on a
// window of another process returns only the text it was created with, which
// an edit control does not keep up to date.
std::string windowText(HWND window) {
    char text[8192] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &length))
        return "<no answer>";
    text[sizeof text - 1] = '\0';
    return text;
}

// The window class name, e.g. "#32770" for dialogs and boxes.
std::string className(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

enum WindowKind { kindPage, kindBox, kindFileDialog };

// What a top-level dialog of the setup process is: a wizard page carries the
// text box 1007, the file-open dialog its file-name field, a box neither.
WindowKind kindOf(HWND window) {
    if (GetDlgItem(window, idText)) return kindPage;
    if (GetDlgItem(window, 0x47c) || GetDlgItem(window, 0x480)) return kindFileDialog;
    return kindBox;
}

struct Search {
    WindowKind kind;
    HWND found;
};

// EnumWindows callback: the first visible dialog of the setup process of the kind asked for.
BOOL CALLBACK findProc(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != setupProcessId || !IsWindowVisible(window) || className(window) != "#32770") return TRUE;
    if (kindOf(window) != search->kind) return TRUE;
    search->found = window;
    return FALSE;
}

// EnumWindows callback: logs every window of the setup process (diagnosis).
BOOL CALLBACK listProc(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == setupProcessId)
        say("  window of setup: class %s, caption \"%s\", %s", className(window).c_str(),
            shown(windowText(window)).c_str(), IsWindowVisible(window) ? "visible" : "hidden");
    return TRUE;
}

// The kind of window in words, for the log.
const char* kindName(WindowKind kind) {
    return kind == kindPage ? "page" : kind == kindBox ? "message box" : "file-open dialog";
}

// Waits up to 30 s for a visible window of that kind; its caption is checked.
// Logs the setup process's windows when none appears.
HWND waitFor(WindowKind kind, const std::string& caption, const char* name) {
    for (int i = 0; i < 300; ++i) {
        Search search = {kind, nullptr};
        EnumWindows(findProc, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            Sleep(300);  // let it finish painting
            checkText(windowText(search.found), caption, std::string(name) + ": caption");
            return search.found;
        }
        Sleep(100);
    }
    check(false, std::string("no ") + kindName(kind) + " appeared for " + name);
    EnumWindows(listProc, 0);
    return nullptr;
}

// Waits until a window that was acted on is gone.
void waitGone(HWND window, const char* name) {
    for (int i = 0; i < 300; ++i) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return;
        Sleep(100);
    }
    check(false, std::string(name) + " did not close");
}

// Asks the test script for a screenshot of the window and waits until it has
// taken it (the script deletes the request file).
void screenshot(HWND window, const char* name) {
    if (shotsDir.empty() || shotsDir == "-") return;
    RECT r;
    GetWindowRect(window, &r);
    char line[400];
    std::snprintf(line, sizeof line, "%02d-%s %ld %ld %ld %ld\n", ++shotNumber, name, r.right - r.left,
                  r.bottom - r.top, r.left, r.top);
    const std::string temp = shotsDir + "\\request.tmp", request = shotsDir + "\\request.txt";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) {
        check(false, "cannot write " + temp);
        return;
    }
    std::fputs(line, file);
    std::fclose(file);
    MoveFileA(temp.c_str(), request.c_str());
    for (int i = 0; i < 300; ++i) {
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        Sleep(100);
    }
    check(false, std::string("screenshot ") + name + " was not taken");
}

// Presses a control of a dialog as a click would: WM_COMMAND, BN_CLICKED.
void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The dialog's control rectangle in its client coordinates.
RECT controlRect(HWND dialog, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Dialog procedure of the hidden template copy: handles nothing.
INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

int baseUnitX = 0, baseUnitY = 0;

// The dialog base units of template 1000 on this system, from a hidden copy of
// the template in this process (MapDialogRect needs a dialog of one's own).
bool readBaseUnits() {
    HWND own = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogTemplateId), nullptr, quietProc, 0);
    if (!own) return false;
    RECT units = {0, 0, 4, 8};
    const bool mapped = MapDialogRect(own, &units) != FALSE;
    DestroyWindow(own);
    baseUnitX = units.right;
    baseUnitY = units.bottom;
    return mapped;
}

// Checks a shown page against the wizard's layout of the expected page: the
// dialog's position, and for every control of template 1000 its visibility
// and, when visible, its rectangle, text and check state.
void checkPage(HWND dialog, WizardPage expected, const char* name) {
    DialogModel model = templateDialog(baseUnitX, baseUnitY);
    RECT outer;
    GetWindowRect(dialog, &outer);
    model.width = outer.right - outer.left;
    model.height = outer.bottom - outer.top;
    model.hasSystemMenu = (GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    model.screen.referenceLeft = desktop.left;
    model.screen.referenceTop = desktop.top;
    model.screen.referenceRight = desktop.right;
    model.screen.referenceBottom = desktop.bottom;
    model.screen.captionButtonWidth = GetSystemMetrics(SM_CXSIZE);
    model.screen.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    model.screen.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (expected.textOnly == 1)
        layoutTextPage(expected, model);
    else
        layoutChoicePage(expected, model);

    const std::string page = name;
    char where[200];
    std::snprintf(where, sizeof where, "%s: dialog at %ld,%ld (%dx%d), expected %d,%d", name, outer.left, outer.top,
                  model.width, model.height, model.x, model.y);
    check(outer.left == model.x && outer.top == model.y, where);
    int visible = 0;
    for (const DialogControl& control : model.controls) {
        HWND window = GetDlgItem(dialog, control.id);
        const std::string what = page + ": control " + std::to_string(control.id);
        if (!check(window != nullptr, what + " exists")) continue;
        const bool seen = IsWindowVisible(window) != FALSE;
        if (!check(seen == control.visible, what + (control.visible ? " should be visible" : " should be hidden")))
            continue;
        if (!seen) continue;
        ++visible;
        const RECT r = controlRect(dialog, window);
        char rect[200];
        std::snprintf(rect, sizeof rect, "%s at %ld,%ld %ldx%ld, expected %d,%d %dx%d", what.c_str(), r.left, r.top,
                      r.right - r.left, r.bottom - r.top, control.x, control.y, control.width, control.height);
        check(r.left == control.x && r.top == control.y && r.right - r.left == control.width &&
                  r.bottom - r.top == control.height,
              rect);
        if (control.id != idPicture) checkText(windowText(window), control.text, what + " text");
        const bool isRadio = control.id >= idFirstRadio && control.id < idFirstRadio + radioSlots;
        const bool isCheck = control.id >= idFirstCheck && control.id < idFirstCheck + checkSlots;
        if (isRadio || isCheck)
            check((SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED) == control.checked,
                  what + (control.checked ? " should be checked" : " should be clear"));
    }
    say("page %s: \"%s\", %d controls visible, layout checked", name, shown(windowText(dialog)).c_str(), visible);
}

// The text of a message box: its longest static text.
BOOL CALLBACK boxTextProc(HWND child, LPARAM data) {
    std::string* text = reinterpret_cast<std::string*>(data);
    if (className(child) == "Static") {
        const std::string t = windowText(child);
        if (t.size() > text->size()) *text = t;
    }
    return TRUE;
}

// Waits for a message box, checks its caption, text and buttons, takes its
// screenshot and answers it.
bool answerBox(const std::string& caption, const std::string& text, bool yesNo, int answer, const char* name) {
    HWND box = waitFor(kindBox, caption, name);
    if (!box) return false;
    std::string seen;
    EnumChildWindows(box, boxTextProc, reinterpret_cast<LPARAM>(&seen));
    checkText(seen, text, std::string(name) + ": text");
    if (yesNo) {
        check(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK),
              std::string(name) + ": Yes and No buttons only");
    } else {
        check(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDYES), std::string(name) + ": an OK button");
    }
    say("box %s: \"%s\"", name, shown(seen).c_str());
    screenshot(box, name);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    waitGone(box, name);
    return true;
}

// Waits for a page, checks it, takes its screenshot; null when it is missing.
HWND showPageChecked(const WizardPage& expected, const char* name) {
    HWND page = waitFor(kindPage, expected.caption ? expected.caption : "", name);
    if (page) {
        checkPage(page, expected, name);
        screenshot(page, name);
    }
    return page;
}

// Presses a button of a page and waits until the page has ended.
void leavePage(HWND page, int id, const char* name) {
    press(page, id);
    waitGone(page, name);
}

// ---- The example package's texts ----

const char* const title = "Prismafold FFT Filters 2.1 Setup";
const char* const quit = "Do you really want to stop the installation of Prismafold FFT Filters?";
const char* const welcomeText =
    "Welcome to the installation of Prismafold FFT Filters 2.1.\r\n\r\nSetup adds the Prismafold filters "
    "(frequency-domain sharpening, descreening and pattern removal) to every Orrery PhotoCraft installation on "
    "this computer. Please close Orrery PhotoCraft before you go on.";
const char* const fullTitle = "Prismafold FFT Filters 2.1 Setup - Full edition";
const char* const trialTitle = "Prismafold FFT Filters 2.1 Trial Setup";

// One row of a page's radio or check table.
TextRow row(const char* label, const char* description = nullptr) {
    TextRow r;
    r.cells.push_back(label);
    if (description) r.cells.push_back(description);
    return r;
}

// A page with the package's Back, Next and Cancel labels and its cancel question.
WizardPage buttonsPage(const char* caption, const char* heading) {
    WizardPage page;
    page.caption = caption;
    page.headingText = heading;
    page.backLabel = "< Back";
    page.nextLabel = "Next >";
    page.cancelLabel = "Cancel";
    page.cancelQuestion = quit;
    return page;
}

// The welcome page: the script's title and welcome text.
WizardPage welcomePage() {
    WizardPage page = buttonsPage(title, welcomeText);
    page.editText = "";
    return page;
}

// The top-level Set's page: the three editions.
WizardPage editionsPage() {
    WizardPage page = buttonsPage("Prismafold FFT Filters 2.1 Setup - Edition",
                                  "Which edition of Prismafold FFT Filters do you want to install?");
    page.items.rows = {
        row("Full edition", "The licensed edition with all twelve filters, the preset library and the manual. You "
                            "need the serial number printed on your licence card."),
        row("30-day trial", "Try all twelve filters for 30 days. Images filtered with the trial carry a faint "
                            "watermark."),
        row("Remove Prismafold FFT Filters",
            "Removes the Prismafold filters, the FFT engine and the presets from every Orrery PhotoCraft "
            "installation. The manual stays.")};
    page.editText = "";  // replaced by item 0's description
    return page;
}

// The full edition's Set page: its two component choices.
WizardPage fullEditionPage() {
    WizardPage page = buttonsPage(fullTitle, "Choose the components of the full edition.");
    page.items.rows = {
        row("Filters, presets and manual",
            "Installs the Prismafold filters and the FFT engine into Orrery PhotoCraft, the preset library next to "
            "the filters and the manual into the Orrery PhotoCraft folder. Older Prismafold files are removed "
            "first."),
        row("Filters only", "Installs only the Prismafold filters and the FFT engine. Your own presets and the "
                            "manual stay as they are.")};
    page.editText = "";
    return page;
}

std::string licenceText;

// The licence page of a Variant: the text-only layout with license.txt.
WizardPage licencePage(const char* caption, const char* agree) {
    WizardPage page;
    page.textOnly = 1;
    page.caption = caption;
    page.editText = licenceText.c_str();
    page.backLabel = "< Back";
    page.nextLabel = agree;
    page.cancelLabel = "Cancel";
    page.cancelQuestion = quit;
    return page;
}

// The report page: only the Finish button.
WizardPage finalPage(const char* caption, const char* report) {
    WizardPage page;
    page.caption = caption;
    page.headingText = report;
    page.editText = "";
    page.backLabel = "";
    page.nextLabel = "Finish";
    page.cancelLabel = "";
    page.cancelQuestion = "";
    return page;
}

const char* const askDelete =
    "Setup found older copies of 'prismafold-presets.dat' in the Orrery PhotoCraft folders.\r\nRemove them?";

// The installation path shared by the install and overwrite scenarios, up to
// the host page.
HWND throughToHosts(const char* suffix) {
    std::string name;
    HWND page = showPageChecked(welcomePage(), (name = std::string("welcome") + suffix).c_str());
    if (!page) return nullptr;
    leavePage(page, idNext, "welcome");
    page = showPageChecked(editionsPage(), (name = std::string("editions") + suffix).c_str());
    if (!page) return nullptr;
    leavePage(page, idNext, "editions");
    page = showPageChecked(fullEditionPage(), (name = std::string("full-edition") + suffix).c_str());
    if (!page) return nullptr;
    leavePage(page, idNext, "full edition");
    page = showPageChecked(licencePage(fullTitle, "I Agree"), (name = std::string("licence") + suffix).c_str());
    if (!page) return nullptr;
    // Back on the licence page shows the component page again, re-created.
    leavePage(page, idBack, "licence");
    page = waitFor(kindPage, fullTitle, "full edition after Back");
    if (!page) return nullptr;
    checkPage(page, fullEditionPage(), "full edition after Back");
    leavePage(page, idNext, "full edition");
    page = waitFor(kindPage, fullTitle, "licence again");
    if (!page) return nullptr;
    checkPage(page, licencePage(fullTitle, "I Agree"), "licence again");
    leavePage(page, idNext, "licence");
    return page;
}

// The full edition's host page with the two registered hosts, both checked.
WizardPage hostsPage(const std::string& host1, const std::string& host2) {
    WizardPage page = buttonsPage(
        fullTitle, "Setup found several Orrery PhotoCraft installations. Install Prismafold FFT Filters into:");
    page.editText = "";
    page.checks.rows = {row(host1.c_str()), row(host2.c_str())};
    page.checked[0] = 1;
    page.checked[1] = 1;
    return page;
}

// Full edition, first component set, into both hosts.
bool scenarioInstall(const std::vector<std::string>& args) {
    if (args.size() < 2) return check(false, "install needs HOST1 HOST2");
    if (!throughToHosts("")) return false;
    HWND page = showPageChecked(hostsPage(args[0], args[1]), "hosts");
    if (!page) return false;
    leavePage(page, idNext, "hosts");
    // The removal pass asks about the presets once per host.
    if (!answerBox(fullTitle, askDelete, true, IDYES, "remove-question")) return false;
    if (!answerBox(fullTitle, askDelete, true, IDYES, "remove-question-2")) return false;
    page = showPageChecked(
        finalPage(fullTitle, "Prismafold FFT Filters has been installed into 2 Orrery PhotoCraft installations."),
        "report");
    if (!page) return false;
    leavePage(page, idNext, "report");
    return true;
}

// The trial edition into host 1 only, whose halvex.dll the test made older:
// the overwrite question for it (Yes), and for the filter with an equal date
// the Ask question (No). The trial removes nothing first.
bool scenarioOverwrite(const std::vector<std::string>& args) {
    if (args.size() < 2) return check(false, "overwrite needs HOST1 HOST2");
    HWND page = showPageChecked(welcomePage(), "welcome");
    if (!page) return false;
    leavePage(page, idNext, "welcome");
    page = waitFor(kindPage, editionsPage().caption, "editions");
    if (!page) return false;
    press(page, idFirstRadio + 1);
    Sleep(300);
    leavePage(page, idNext, "editions");
    page = showPageChecked(licencePage(trialTitle, "Accept"), "trial-licence");
    if (!page) return false;
    leavePage(page, idNext, "licence");
    WizardPage hosts = buttonsPage(trialTitle, "Install the trial into these Orrery PhotoCraft installations:");
    hosts.editText = "";
    hosts.checks.rows = {row(args[0].c_str()), row(args[1].c_str())};
    hosts.checked[0] = 1;
    hosts.checked[1] = 1;
    page = showPageChecked(hosts, "trial-hosts");
    if (!page) return false;
    press(page, idFirstCheck + 1);  // host 2 off
    Sleep(300);
    check(SendMessageA(GetDlgItem(page, idFirstCheck + 1), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "hosts: host 2 cleared by its click");
    leavePage(page, idNext, "hosts");
    const std::string dll = "The installed file\r\n" + args[0] +
                            "\\halvex.dll\r\n(February  03, 2001, 04:05) is older.\r\n\r\nThe file in this "
                            "package\r\nbin\\halvex.dll\r\n(March 04, 2026, 05:06) is newer.\r\n\r\nReplace the "
                            "installed file?";
    if (!answerBox(trialTitle, dll, true, IDYES, "overwrite-question")) return false;
    const std::string filter = "The installed file\r\n" + args[0] +
                               "\\Plug-ins\\Filters\\prismafold.8bf\r\n(November 12, 2025, 13:14) \r\n\r\nThe "
                               "file in this package\r\nfiles\\prismafold.8bf\r\n(November 12, 2025, 13:14) "
                               "\r\n\r\nReplace the installed file?";
    if (!answerBox(trialTitle, filter, true, IDNO, "overwrite-question-same-date")) return false;
    page = showPageChecked(
        finalPage(trialTitle, "The Prismafold FFT Filters trial has been installed. It runs for 30 days."),
        "trial-report-one-host");
    if (!page) return false;
    leavePage(page, idNext, "report");
    return true;
}

// Cancel asks; No keeps the page, Yes ends setup.
bool scenarioCancel(const std::vector<std::string>&) {
    HWND page = showPageChecked(welcomePage(), "welcome");
    if (!page) return false;
    press(page, idCancel);
    if (!answerBox(title, quit, true, IDNO, "cancel-question")) return false;
    Sleep(300);
    check(IsWindow(page) && IsWindowVisible(page), "No keeps the welcome page");
    press(page, idCancel);
    if (!answerBox(title, quit, true, IDYES, "cancel-question-yes")) return false;
    waitGone(page, "welcome page after Yes");
    return true;
}

// The file-name field of the file-open dialog: the combo box of the
// explorer-style dialog or the edit field of the old style.
HWND fileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) return combo;
    return GetDlgItem(dialog, 0x480);
}

// The trial edition without a registered host: the information box, the
// no-host page, the file-open dialog and the report.
bool scenarioNoHost(const std::vector<std::string>& args) {
    if (args.empty()) return check(false, "nohost needs EXE_PATH");
    HWND page = showPageChecked(welcomePage(), "welcome");
    if (!page) return false;
    leavePage(page, idNext, "welcome");
    page = showPageChecked(editionsPage(), "editions");
    if (!page) return false;
    press(page, idFirstRadio + 1);
    Sleep(300);
    check(SendMessageA(GetDlgItem(page, idFirstRadio + 1), BM_GETCHECK, 0, 0) == BST_CHECKED &&
              SendMessageA(GetDlgItem(page, idFirstRadio), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "editions: the trial's radio button chosen");
    checkText(windowText(GetDlgItem(page, idText)),
              "Try all twelve filters for 30 days. Images filtered with the trial carry a faint watermark.",
              "editions: the trial's description");
    leavePage(page, idNext, "editions");
    // The trial Set has one Variant: its page is skipped.
    page = showPageChecked(licencePage(trialTitle, "Accept"), "trial-licence");
    if (!page) return false;
    leavePage(page, idNext, "licence");
    if (!answerBox(trialTitle,
                   "The list of installed Orrery PhotoCraft versions could not be read from the registry.\r\nSetup "
                   "will let you locate the program yourself.",
                   false, IDOK, "no-registry-box"))
        return false;
    WizardPage noHost = buttonsPage(trialTitle, "Setup found no Orrery PhotoCraft installation on this computer.");
    noHost.editText = " ";
    noHost.backLabel = "";
    noHost.items.rows = {row("Locate Orrery PhotoCraft", "Choose the program file PhotoCraft.exe yourself in the next dialog."),
                         row("Quit setup", "Stop now; nothing will be installed.")};
    page = showPageChecked(noHost, "no-host");
    if (!page) return false;
    leavePage(page, idNext, "no-host");

    HWND open = waitFor(kindFileDialog, "Open", "file-open dialog");
    if (!open) return false;
    HWND field = fileNameField(open);
    check(field != nullptr && IsWindowVisible(field), "file-open dialog: the file-name field is shown");
    say("file-open dialog: \"%s\", typing %s", windowText(open).c_str(), args[0].c_str());
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()));
    screenshot(open, "file-open");
    press(open, IDOK);
    waitGone(open, "file-open dialog");

    page = showPageChecked(
        finalPage(trialTitle, "The Prismafold FFT Filters trial has been installed into the Orrery PhotoCraft folder."),
        "trial-report");
    if (!page) return false;
    leavePage(page, idNext, "report");
    return true;
}

// The licence text as the package carries it.
std::string readFile(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fclose(file);
    return text;
}

}  // namespace

// Starts setup in the package directory, runs the scenario, checks the exit code.
int main(int argc, char** argv) {
    if (argc < 6) {
        std::printf("usage: setup-driver SCENARIO SETUP.EXE PACKAGE_DIR SHOTS_DIR|- LOG [ARGS...]\n");
        return 2;
    }
    const std::string scenario = argv[1];
    packageDir = argv[3];
    shotsDir = argv[4];
    if (FILE* log = std::fopen(argv[5], "w")) theLog = log;
    std::vector<std::string> args(argv + 6, argv + argc);
    licenceText = readFile(packageDir + "\\license.txt");
    check(!licenceText.empty(), "license.txt read from the package");
    check(readBaseUnits(), "template 1000 gives the dialog base units");
    say("dialog base units %d x %d", baseUnitX, baseUnitY);

    std::string command = std::string("\"") + argv[2] + "\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, packageDir.c_str(), &startup,
                        &process)) {
        say("FAIL: cannot start %s in %s (error %lu)", argv[2], packageDir.c_str(), GetLastError());
        say("RESULT FAIL");
        return 1;
    }
    setupProcessId = process.dwProcessId;
    say("scenario %s: setup started (process %lu)", scenario.c_str(), setupProcessId);

    bool completed = false;
    if (scenario == "install")
        completed = scenarioInstall(args);
    else if (scenario == "overwrite")
        completed = scenarioOverwrite(args);
    else if (scenario == "cancel")
        completed = scenarioCancel(args);
    else if (scenario == "nohost")
        completed = scenarioNoHost(args);
    else
        check(false, "unknown scenario " + scenario);

    // Setup ends by itself after the last page, with exit code 0.
    if (WaitForSingleObject(process.hProcess, completed ? 30000 : 0) != WAIT_OBJECT_0) {
        check(!completed, "setup did not end after its last page");
        EnumWindows(listProc, 0);
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    } else {
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        check(code == 0, "setup's exit code is " + std::to_string(code) + ", expected 0");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    check(completed, "scenario " + scenario + " went through");
    say("RESULT %s (%d failure(s))", failures ? "FAIL" : "ok", failures);
    if (theLog != stdout) std::fclose(theLog);
    return failures ? 1 : 0;
}
