// windows-driver setup|halvex|fft ARGS: the checks that need a Windows
// program, run under Wine by scripts/test-windows.sh for each build (each
// mode's usage at its function). Exit code 0 when all hold.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../fftlib_engine/reference.h"
#include "engine/variants.h"
#include "halvex.h"
#include "platform/dialog.h"
#include "platform/ui.h"

namespace {

FILE* theLog = stdout;
volatile LONG failures = 0;

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(theLog, format, args);
    va_end(args);
    std::fputc('\n', theLog);
    std::fflush(theLog);
}

// Records a check's outcome, from any thread; failures are logged.
bool check(bool ok, const std::string& what) {
    if (!ok) InterlockedIncrement(&failures), say("FAIL: %s", what.c_str());
    return ok;
}

// A text with its line ends made visible, for the log.
std::string shown(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

void checkText(const std::string& seen, const std::string& expected, const std::string& what) {
    check(seen == expected, what + ": \"" + shown(seen) + "\", expected \"" + shown(expected) + "\"");
}

std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

typedef std::vector<std::string> Statement;
std::map<std::string, std::string> theTexts;  // "text" lines, $1.. and $licence
std::map<std::string, Statement> thePages;    // a page's fields, those of its "like" page first
std::map<std::string, std::vector<Statement>> theFlows;

// A token with its escapes (\r \n, else the character itself) and every
// $name replaced by its text.
std::string expand(const std::string& token) {
    std::string out;
    for (size_t i = 0, end; i < token.size(); i = end) {
        for (end = i + 1; token[i] == '$' && end < token.size() && std::isalnum((unsigned char)token[end]);) ++end;
        if (end > i + 1)
            out += theTexts[token.substr(i + 1, end - i - 1)];
        else if (token[i] == '\\' && ++end <= token.size())
            out += token[i + 1] == 'r' ? '\r' : token[i + 1] == 'n' ? '\n' : token[i + 1];
        else
            out += token[i];
    }
    return out;
}

Statement tokens(const std::string& line) {
    Statement out;
    std::istringstream in(line);
    for (std::string token; in >> std::quoted(token, '"', '\0');) out.push_back(expand(token));
    return out;
}

// Reads the flows file into texts, pages and flows; false when a line fails.
bool loadFlows(const std::string& path) {
    std::string text = readFile(path);
    // A line that starts with blanks continues the one before.
    for (size_t at = text.find('\n'); at + 1 < text.size(); at = text.find('\n', at + 1))
        if (text[at + 1] == ' ' || text[at + 1] == '\t') text[at] = ' ';
    std::istringstream lines(text);
    std::vector<Statement>* flow = nullptr;
    for (std::string line; std::getline(lines, line);) {
        const Statement s = line[0] == '#' ? Statement() : tokens(line);
        if (s.empty()) continue;
        if (s[0] == "text" && s.size() == 3) {
            theTexts[s[1]] = s[2];
        } else if (s[0] == "page" && s.size() >= 2) {
            const bool like = s.size() > 3 && s[2] == "like";
            Statement fields = like ? thePages[s[3]] : Statement();
            thePages[s[1]] = (fields.insert(fields.end(), s.begin() + (like ? 4 : 2), s.end()), fields);
        } else if (s[0] == "flow" && s.size() == 2) {
            flow = &theFlows[s[1]];
        } else if (!flow) {
            return check(false, "flows file: cannot read \"" + line + "\"");
        } else {
            flow->push_back(s);
        }
    }
    return true;
}

// The WizardPage that a page's fields describe, pointing into them; false
// when a field is unknown or lacks its values.
bool wizardPage(const Statement& fields, WizardPage& page) {
    const std::map<std::string, const char* WizardPage::*> texts = {
        {"caption", &WizardPage::caption},  {"heading", &WizardPage::headingText}, {"edit", &WizardPage::editText},
        {"back", &WizardPage::backLabel},   {"next", &WizardPage::nextLabel},      {"cancel", &WizardPage::cancelLabel},
        {"question", &WizardPage::cancelQuestion}};
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        const size_t values = field == "textonly" ? 0 : field == "radio" || field == "check" ? 2 : 1;
        if (i + values >= fields.size() || (values == 1 && !texts.count(field)))
            return check(false, "page field " + field + ": unknown, or without its values");
        if (values == 1) page.*texts.at(field) = fields[i + 1].c_str();
        if (field == "textonly") page.textOnly = 1;
        if (field == "radio") page.items.rows.push_back(TextRow{{fields[i + 1], fields[i + 2]}});
        if (field == "check" && page.checks.rows.size() < checkSlots) {
            page.checked[page.checks.rows.size()] = fields[i + 2] == "1";
            page.checks.rows.push_back(TextRow{{fields[i + 1]}});
        }
        i += values;
    }
    return true;
}

DWORD setupProcessId = 0;
std::string shotsDir;
int shotNumber = 0, baseUnitX = 0, baseUnitY = 0;

// A window's text as its own window procedure gives it: GetWindowTextA on a
// window of another process returns only the text it was created with.
std::string windowText(HWND window) {
    char text[8192] = "";
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 5000, nullptr))
        return "<no answer>";
    text[sizeof text - 1] = '\0';
    return text;
}

HWND fileNameField(HWND dialog) { return GetDlgItem(dialog, GetDlgItem(dialog, 0x47c) ? 0x47c : 0x480); }

enum WindowKind { kindPage, kindBox, kindFileDialog, kindAny };
const char* const kindNames[] = {"page", "message box", "file-open dialog"};

// The first visible dialog of setup of that kind (a page carries text box
// 1007, the file-open dialog its file-name field, a message box neither), or
// null; kindAny logs every one instead (diagnosis).
HWND findWindow(WindowKind kind) {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process != setupProcessId || !IsWindowVisible(w)) continue;
        const WindowKind k = GetDlgItem(w, idText) ? kindPage : fileNameField(w) ? kindFileDialog : kindBox;
        if (kind == kindAny) say("  %s of setup: \"%s\"", kindNames[k], shown(windowText(w)).c_str());
        if (k == kind) return w;
    }
    return nullptr;
}

// How many times longer than natively a wait may take: the script's SLOW (under an emulator).
const int slow = std::max(1, std::atoi(std::getenv("SLOW") ? std::getenv("SLOW") : "1"));

// Waits up to 30 s (times slow) for a window of that kind and checks its caption.
HWND waitFor(WindowKind kind, const std::string& caption, const std::string& name) {
    for (int i = 0; i < 300 * slow; ++i, Sleep(100)) {
        if (HWND found = findWindow(kind)) {
            Sleep(300);  // let it finish painting
            checkText(windowText(found), caption, name + ": caption");
            return found;
        }
    }
    check(false, std::string("no ") + kindNames[kind] + " appeared for " + name);
    return findWindow(kindAny);
}

bool waitGone(HWND window, const std::string& name) {
    for (int i = 0; i < 300 * slow; ++i, Sleep(100))
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    return check(false, name + " did not close");
}

// Asks the script for a screenshot of the window and waits until it has been
// taken: the script deletes the request, and writes request.bad if it failed.
void screenshot(HWND window, const std::string& name) {
    RECT r;
    GetWindowRect(window, &r);
    const std::string temp = shotsDir + "\\request.tmp", request = shotsDir + "\\request.txt";
    std::ofstream(temp) << std::setfill('0') << std::setw(2) << ++shotNumber << "-" << name << " " << r.right - r.left
                        << " " << r.bottom - r.top << " " << r.left << " " << r.top << "\n";
    if (!check(MoveFileA(temp.c_str(), request.c_str()), "screenshot " + name + " requested through " + request)) return;
    for (int i = 0; i < 300 * slow && GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    check(GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES &&
              GetFileAttributesA((shotsDir + "\\request.bad").c_str()) == INVALID_FILE_ATTRIBUTES,
          "screenshot " + name + " taken");
}

void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// Takes the dialog's screenshot, then presses the control and waits until the
// dialog is gone.
bool answer(HWND dialog, const std::string& name, int id) {
    screenshot(dialog, name);
    press(dialog, id);
    return waitGone(dialog, name);
}

INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A control as "id x,y wxh [*] text|" (the picture's text, its bitmap's name, left out).
std::string described(int id, long x, long y, long width, long height, bool checked, const std::string& text) {
    char head[80];
    std::snprintf(head, sizeof head, "%d %ld,%ld %ldx%ld%s ", id, x, y, width, height, checked ? " *" : "");
    return head + (id == idPicture ? "" : text) + "|";
}

// Checks a shown page against the wizard's layout of the expected page: the
// dialog's position, and which controls are visible with their rectangles,
// texts and check states. The base units come from a hidden copy of
// template 1000 in this process (MapDialogRect needs a dialog of one's own).
void checkPage(HWND dialog, WizardPage expected, const std::string& name) {
    if (!baseUnitX) {
        HWND own = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogTemplateId), nullptr, quietProc, 0);
        RECT units = {0, 0, 4, 8};
        check(own && MapDialogRect(own, &units), "template 1000 gives the dialog base units");
        DestroyWindow(own);
        baseUnitX = units.right, baseUnitY = units.bottom;
    }
    DialogModel model = templateDialog(baseUnitX, baseUnitY);
    RECT outer, desktop;
    GetWindowRect(dialog, &outer);
    GetClientRect(GetDesktopWindow(), &desktop);
    model.width = outer.right - outer.left;
    model.height = outer.bottom - outer.top;
    model.hasSystemMenu = (GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    model.screen = ScreenMetrics{GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 int(desktop.left), int(desktop.top), int(desktop.right), int(desktop.bottom)};
    expected.textOnly ? layoutTextPage(expected, model) : layoutChoicePage(expected, model);
    char text[200];
    std::snprintf(text, sizeof text, ": dialog at %ld,%ld, expected %d,%d", outer.left, outer.top, model.x, model.y);
    check(outer.left == model.x && outer.top == model.y, name + text);
    std::string want, seen;  // every visible control, as the model places it and as the window shows it
    for (const DialogControl& c : model.controls) {
        HWND window = GetDlgItem(dialog, c.id);
        if (c.visible) want += described(c.id, c.x, c.y, c.width, c.height, c.checked, c.text);
        if (!window || !IsWindowVisible(window)) continue;
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        seen += described(c.id, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED, windowText(window));
    }
    checkText(seen, want, name + ": controls");
    say("page %s: \"%s\", layout checked", name.c_str(), shown(windowText(dialog)).c_str());
}

// The text of a message box: its longest static text.
BOOL CALLBACK boxTextProc(HWND child, LPARAM data) {
    std::string* text = reinterpret_cast<std::string*>(data);
    char name[16] = "";
    const std::string t = GetClassNameA(child, name, sizeof name) && !std::strcmp(name, "Static") ? windowText(child) : "";
    if (t.size() > text->size()) *text = t;
    return TRUE;
}

bool runStep(const Statement& s, HWND& page) {
    const std::string& op = s[0];
    const int id = s.size() > 1 ? std::atoi(s[1].c_str()) : 0;
    if ((op == "show" || op == "next") && s.size() >= 2 && thePages.count(s[1])) {
        WizardPage expected;
        const std::string name = s.size() > 2 ? s[2] : s[1];
        if (!wizardPage(thePages[s[1]], expected)) return false;
        if (!(page = waitFor(kindPage, expected.caption ? expected.caption : "", name))) return false;
        checkPage(page, expected, name);
        if (op == "next") return answer(page, name, idNext);
        screenshot(page, name);
    } else if ((op == "click" || op == "leave") && s.size() == 2) {
        press(page, id);
        if (op == "leave") return waitGone(page, "page left with " + s[1]);
        Sleep(300);
    } else if (op == "checked" && s.size() == 3) {
        check((SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED) == (s[2] == "1"),
              "control " + s[1] + " checked should be " + s[2]);
    } else if (op == "text" && s.size() == 3) {
        checkText(windowText(GetDlgItem(page, id)), s[2], "control " + s[1] + " text");
    } else if (op == "gone") {
        return waitGone(page, "the page");
    } else if (op == "box" && s.size() == 6) {
        HWND box = waitFor(kindBox, s[2], s[1]);
        if (!box) return false;
        std::string seen;
        EnumChildWindows(box, boxTextProc, LPARAM(&seen));
        checkText(seen, s[3], s[1] + ": text");
        const bool yesNo = s[4] == "yesno", yes = GetDlgItem(box, IDYES), no = GetDlgItem(box, IDNO);
        check(yes == yesNo && no == yesNo && !GetDlgItem(box, IDOK) == yesNo, s[1] + ": the buttons " + s[4]);
        return answer(box, s[1], s[5] == "yes" ? IDYES : s[5] == "no" ? IDNO : IDOK);
    } else if (op == "open" && s.size() == 2) {
        HWND open = waitFor(kindFileDialog, "Open", "file-open dialog"), field = open ? fileNameField(open) : nullptr;
        if (!check(field && IsWindowVisible(field), "file-open dialog with its file-name field")) return false;
        SendMessageA(field, WM_SETTEXT, 0, LPARAM(s[1].c_str()));
        return answer(open, "file-open", IDOK);
    } else {
        return check(false, "cannot run step \"" + op + "\"");
    }
    return true;
}

// Starts a command line; the process, or null. Wine now and then refuses one
// CreateProcess among hundreds: up to three tries, each refusal logged.
HANDLE startProgram(std::string command, const char* directory = nullptr) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    for (int attempt = 1; attempt <= 3; ++attempt, Sleep(200)) {
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process))
            return CloseHandle(process.hThread), process.hProcess;
        say("CreateProcess refused (error %lu, try %d): %s", GetLastError(), attempt, command.c_str());
    }
    return nullptr;
}

// setup FLOWS FLOW SETUP.EXE PACKAGE SHOTS LOG [ARGS]: starts setup.exe in
// PACKAGE and walks it from outside as FLOW of the FLOWS file says, checking
// every page against the wizard's own layout arithmetic; the log in LOG,
// "RESULT ok" at its end.
int runSetup(int argc, char** argv) {
    if (argc < 8) return std::printf("usage: windows-driver setup FLOWS FLOW SETUP.EXE PACKAGE SHOTS LOG [ARGS]\n"), 2;
    if (FILE* log = std::fopen(argv[7], "w")) theLog = log;
    shotsDir = argv[6];
    for (int a = 8; a < argc; ++a) theTexts[std::to_string(a - 7)] = argv[a];
    theTexts["licence"] = readFile(std::string(argv[5]) + "\\license.txt");
    const std::vector<Statement>& flow = theFlows[argv[3]];
    check(!theTexts["licence"].empty(), "license.txt read from the package");
    HANDLE setup = nullptr;
    if (!check(loadFlows(argv[2]) && !flow.empty(), std::string("flow ") + argv[3] + " in " + argv[2]) ||
        !check((setup = startProgram(std::string("\"") + argv[4] + "\"", argv[5])) != nullptr, "setup starts"))
        return say("RESULT FAIL"), 1;
    setupProcessId = GetProcessId(setup);
    HWND page = nullptr;
    bool completed = true;
    for (size_t i = 0; i < flow.size() && completed; ++i) completed = runStep(flow[i], page);
    // Setup ends by itself after the last page, with exit code 0.
    DWORD code = 99;
    if (WaitForSingleObject(setup, completed ? 30000 * slow : 0) != WAIT_OBJECT_0) {
        check(!completed, "setup ends after its last page");
        findWindow(kindAny);
        TerminateProcess(setup, 99);
    } else {
        GetExitCodeProcess(setup, &code);
        check(code == 0, "setup's exit code is " + std::to_string(code) + ", expected 0");
    }
    say("RESULT %s (%ld failure(s))", failures ? "FAIL" : "ok", long(failures));
    return failures ? 1 : 0;
}

const int forwardFlag = HALVEX_FORWARD, inverseFlag = HALVEX_INVERSE, releaseFlag = HALVEX_RELEASE,
          noScaleFlag = HALVEX_NO_SCALE, inputBitRevFlag = HALVEX_INPUT_BITREV, outputBitRevFlag = HALVEX_OUTPUT_BITREV;

// Whether (ro, io) is within variant v's bound of X (the native tests'; v < 0: the
// widest of any variant), scaled by 1/n when asked, read at rev(k) for bit-reversed output.
bool withinBound(const Spectrum& X, const float* ro, const float* io, int v, int order, int flags,
                 const std::string& what) {
    const bool bitReversed = flags & outputBitRevFlag, scaled = (flags & (inverseFlag | noScaleFlag)) == inverseFlag;
    const std::vector<int64_t> rev = bitReversed ? reversal(order) : std::vector<int64_t>();  // only where read
    double bound = 0;
    for (int u = v < 0 ? 0 : v; u <= (v < 0 ? 5 : v); ++u) bound = std::max(bound, errorBound(u, order, flags));
    const double relative = relativeError(ro, io, X, scaled ? 1.0 / double(X.size()) : 1.0, bitReversed ? &rev : nullptr) / bound;
    return check(relative <= 1, what + ": error " + std::to_string(relative) + " of the bound");
}

HalvexFftFunction theEntry = nullptr;

void transformChecked(int order, unsigned seed, int thread, bool release, int flags = forwardFlag) {
    const int n = 1 << order;
    std::vector<float> x(size_t(2 * n)), y(size_t(2 * n), 99.0f);
    randomPoints(&x[0], &x[n], n, seed);
    theEntry(&x[0], &x[n], &y[0], &y[n], order, flags);
    withinBound(reference(&x[0], &x[n], order, flags & inverseFlag ? -1 : 1), &y[0], &y[n], -1, order, flags,
                "order " + std::to_string(order) + " flags " + std::to_string(flags) + " thread " + std::to_string(thread));
    if (release) theEntry(nullptr, nullptr, nullptr, nullptr, order, releaseFlag);
}

// One thread: waits for the library, then builds, uses and releases the
// tables of orders shared with the other threads, in an order of its own.
// With shared tables one thread's release would pull them from under another.
DWORD WINAPI threadWork(void* go) {
    WaitForSingleObject(go, INFINITE);
    const int index = int(GetCurrentThreadId() % 7);
    for (int round = 0; round < 24; ++round)
        transformChecked(6 + (index + round) % 5, unsigned(index * 100 + round), index, (round + index) % 2 == 0);
    return 0;
}

#if defined(__i386__)
// The export called from assembly: known values in the callee-saved
// registers, the six arguments pushed (entry and arguments in words 0 to 6),
// then the stack pointer before the pushes and after the return (7, 8), ebx,
// esi, edi, ebp after it (9 to 12), the x87 control word before and after (13,
// 14). The registers come back from the recorded stack pointer whatever the
// callee did to it.
unsigned probe[15];
__attribute__((noinline)) void callThroughAssembly() {
    asm volatile(
        "pushl %%ebx\n\tpushl %%esi\n\tpushl %%edi\n\tpushl %%ebp\n\t"
        "movl $0x13579bdf, %%ebx\n\tmovl $0x2468ace0, %%esi\n\tmovl $0x0badf00d, %%edi\n\tmovl $0x5eed1234, %%ebp\n\t"
        "fnstcw 52+%[p]\n\tmovl %%esp, 28+%[p]\n\tpushl 24+%[p]\n\tpushl 20+%[p]\n\tpushl 16+%[p]\n\tpushl 12+%[p]\n\t"
        "pushl 8+%[p]\n\tpushl 4+%[p]\n\tcall *%[p]\n\tmovl %%esp, 32+%[p]\n\tfnstcw 56+%[p]\n\t"
        "movl %%ebx, 36+%[p]\n\tmovl %%esi, 40+%[p]\n\tmovl %%edi, 44+%[p]\n\tmovl %%ebp, 48+%[p]\n\t"
        "movl 28+%[p], %%esp\n\tpopl %%ebp\n\tpopl %%edi\n\tpopl %%esi\n\tpopl %%ebx"
        : [p] "+m"(probe)
        :
        : "eax", "ecx", "edx", "memory", "cc", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

// The standard calling convention, as a 32-bit host relies on it: the callee
// removed its 24 bytes of arguments and kept ebx, esi, edi, ebp and the x87
// control word; the result is the compiled call's.
void checkStdcall() {
    for (int order : {0, 3, 10, 12}) {
        for (int flags : {forwardFlag, inverseFlag | outputBitRevFlag}) {
            std::vector<float> re(size_t(1) << order), im(re.size()), outRe(re.size()), outIm(re.size()),
                wantRe(re.size()), wantIm(re.size());
            randomPoints(re.data(), im.data(), int64_t(re.size()), unsigned(order + 77));
            theEntry(re.data(), im.data(), wantRe.data(), wantIm.data(), order, flags);
            const void* pointers[] = {reinterpret_cast<void*>(theEntry), re.data(), im.data(), outRe.data(), outIm.data()};
            for (int w = 0; w < 15; ++w) probe[w] = w < 5 ? unsigned(uintptr_t(pointers[w])) : 0;
            probe[5] = unsigned(order), probe[6] = unsigned(flags);
            callThroughAssembly();
            const std::string what = "stdcall, order " + std::to_string(order) + " flags " + std::to_string(flags);
            check(probe[8] == probe[7], what + ": esp moved by " + std::to_string(int(probe[8] - probe[7])));
            check(probe[9] == 0x13579bdf && probe[10] == 0x2468ace0 && probe[11] == 0x0badf00d && probe[12] == 0x5eed1234,
                  what + ": ebx, esi, edi and ebp kept");
            check(probe[14] == probe[13], what + ": x87 control word kept");
            check(outRe == wantRe && outIm == wantIm, what + ": the compiled call's result");
        }
    }
    say("stdcall: 8 calls from assembly kept esp and the callee-saved registers; x87 control word %#x", probe[13]);
}
#endif

// halvex DLL: loads it with threads running, checks transforms (on i686 also
// through assembly), unloads and reloads it.
int runHalvex(int argc, char** argv) {
    if (argc < 3) return std::printf("usage: windows-driver halvex PATH\\halvex.dll\n"), 2;
    // Threads that exist before the load: the library sees no attach for them
    // and must create their records on their first call.
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr), threads[6];
    for (int i = 0; i < 3; ++i) threads[i] = CreateThread(nullptr, 0, threadWork, go, 0, nullptr);
    HMODULE library = LoadLibraryA(argv[2]);
    theEntry = reinterpret_cast<HalvexFftFunction>(reinterpret_cast<void*>(GetProcAddress(library, "kfxcrFftNip")));
    if (!check(library && theEntry, "LoadLibraryA and GetProcAddress find kfxcrFftNip")) return 1;
    for (int order = 0; order <= 12; ++order) transformChecked(order, unsigned(order), 0, false);
    for (int flags : {inverseFlag, inverseFlag | noScaleFlag, forwardFlag | outputBitRevFlag})
        transformChecked(9, 7, 0, false, flags);
#if defined(__i386__)
    checkStdcall();
#endif
    // Threads started after the load get their records at thread attach,
    // while the loading thread keeps releasing the tables the others use.
    for (int i = 3; i < 6; ++i) threads[i] = CreateThread(nullptr, 0, threadWork, go, 0, nullptr);
    SetEvent(go);
    for (int round = 0; round < 20; ++round) transformChecked(6 + round % 5, 900u + unsigned(round), 0, true);
    check(WaitForMultipleObjects(6, threads, TRUE, 120000) == WAIT_OBJECT_0, "the threads end");
    for (HANDLE thread : threads) {
        DWORD code = 1;
        check(GetExitCodeThread(thread, &code) && code == 0, "a thread ended normally");
        CloseHandle(thread);
    }
    check(FreeLibrary(library) && GetModuleHandleA("halvex.dll") == nullptr, "FreeLibrary unloads halvex.dll");
    library = LoadLibraryA(argv[2]);
    theEntry = reinterpret_cast<HalvexFftFunction>(reinterpret_cast<void*>(GetProcAddress(library, "kfxcrFftNip")));
    if (check(library && theEntry, "a second load binds the export again"))
        transformChecked(10, 4242u, 0, true), FreeLibrary(library);
    say("6 threads, 3 started before the load; %ld failure(s)", long(failures));
    return failures ? 1 : 0;
}

bool writeFile(const std::string& path, const std::vector<float>& data) {
    std::ofstream file(path, std::ios::binary);
    return bool(file.write(reinterpret_cast<const char*>(data.data()), std::streamsize(4 * data.size())).flush());
}

// halvex-tool fft --order ORDER --flags FLAGS --variant V IN OUT as a program,
// or with TOOL "-" its transform in this process (where every process start is
// slow: under an emulator); the exit code.
DWORD toolFft(const std::string& tool, int order, const std::string& flags, char v, const std::string& in,
              const std::string& out) {
    if (tool == "-") {
        const std::string x = readFile(in);
        const size_t n = size_t(1) << order;
        std::vector<float> xi(2 * n), y(2 * n);
        if (x.size() != 8 * n) return 1;
        std::memcpy(&xi[0], x.data(), 8 * n);
        variantEntries[v - '0'](&xi[0], &xi[n], &y[0], &y[n], order, std::atoi(flags.c_str()));
        return writeFile(out, y) ? 0 : 1;
    }
    HANDLE run = startProgram("\"" + tool + "\" fft --order " + std::to_string(order) + " --flags " + flags +
                              " --variant " + v + " \"" + in + "\" \"" + out + "\"");
    DWORD code = 99;
    if (run && WaitForSingleObject(run, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(run, &code);
    if (run) CloseHandle(run);
    return code;
}

// fft TOOL WORKDIR VARIANTS: the variants (e.g. 012345), order 0 to 16 and
// every flag set through halvex-tool fft (TOOL; "-": in this process), each
// output against the reference; inputs and outputs stay in WORKDIR.
int runFft(int argc, char** argv) {
    if (argc < 5) return std::printf("usage: windows-driver fft PATH\\halvex-tool.exe WORKDIR VARIANTS\n"), 2;
    const std::string tool = argv[2], dir = std::string(argv[3]) + "\\", variants = argv[4];
    int count = 0;
    for (int order = 0; order <= 16; ++order) {
        const int n = 1 << order;
        const std::vector<int64_t> rev = reversal(order);
        std::vector<float> plain(size_t(2 * n)), permuted(plain.size());
        randomPoints(&plain[0], &plain[n], n, unsigned(order + 1));
        for (int k = 0; k < 2 * n; ++k) permuted[size_t(k / n * n + rev[size_t(k % n)])] = plain[size_t(k)];
        const std::string in = dir + "in-" + std::to_string(order), inRev = in + "-reversed";
        if (!check(writeFile(in, plain) && writeFile(inRev, permuted), "input files in " + dir)) return 1;
        const Spectrum forward = reference(&plain[0], &plain[n], order, 1), inverse = reference(&plain[0], &plain[n], order, -1);
        for (char v : variants)
            for (int direction : {forwardFlag, inverseFlag, inverseFlag | noScaleFlag})
                for (int ordering : {0, 32, inputBitRevFlag, outputBitRevFlag}) {
                    const std::string flags = std::to_string(direction | ordering);
                    const std::string name = std::string("v") + v + "-o" + std::to_string(order) + "-f" + flags;
                    const DWORD code = toolFft(tool, order, flags, v, ordering == inputBitRevFlag ? inRev : in, dir + name + ".bin");
                    const std::string y = readFile(dir + name + ".bin");
                    const float* out = reinterpret_cast<const float*>(y.data());
                    if (check(code == 0 && y.size() == size_t(8) << order, name + ": exit code " + std::to_string(code)))
                        withinBound(direction == forwardFlag ? forward : inverse, out, out + n, v - '0', order,
                                    direction | ordering, name);
                    ++count;
                }
    }
    say("%d transforms %s; %ld failure(s)", count, tool == "-" ? "in this process" : "by halvex-tool fft", long(failures));
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "setup") return runSetup(argc, argv);
    if (mode == "halvex") return runHalvex(argc, argv);
    if (mode == "fft") return runFft(argc, argv);
    return std::printf("usage: windows-driver setup|halvex|fft ...\n"), 2;
}
