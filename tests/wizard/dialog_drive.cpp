// wizard-dialog-drive (Windows builds, run under Wine with a display): shows
// real pages through showPage and drives them from a second thread as a user
// would, checking what the Win32 layer made of the layout: positions in
// pixels, visibility, texts, check states, the cancel question and the
// results. Exit code 0 when every check holds; each failure is printed.
#include <windows.h>
#include <cstdio>
#include <string>
#include "wizard/page.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

HWND waitForWindow(const char* caption, HWND owner) {
    for (int i = 0; i < 200; ++i) {
        HWND found = nullptr;
        for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, caption); w;
             w = FindWindowExA(nullptr, w, nullptr, caption)) {
            if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner) found = w;
        }
        if (found) return found;
        Sleep(50);
    }
    return nullptr;
}

RECT clientRect(HWND dialog, int id) {
    RECT r = {0, 0, 0, 0};
    HWND control = GetDlgItem(dialog, id);
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void expectRect(HWND dialog, int id, double fx, double fy, double fw, double fh) {
    RECT outer;
    GetWindowRect(dialog, &outer);
    const double W = outer.right - outer.left, H = outer.bottom - outer.top;
    const RECT r = clientRect(dialog, id);
    const int x = static_cast<int>(W * fx), y = static_cast<int>(H * fy);
    const int w = static_cast<int>(W * fw), h = static_cast<int>(H * fh);
    char what[200];
    std::snprintf(what, sizeof what, "control %d at %ld,%ld %ldx%ld, expected %d,%d %dx%d", id,
                  r.left, r.top, r.right - r.left, r.bottom - r.top, x, y, w, h);
    check(r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h, what);
}

std::string textOf(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    Sleep(100);
}

DWORD WINAPI drive(void*) {
    // Page 1: two radio items, a cancel question.
    HWND dialog = waitForWindow("Drive test", nullptr);
    check(dialog != nullptr, "the choice page appeared");
    if (!dialog) return 0;
    Sleep(200);
    RECT outer;
    GetWindowRect(dialog, &outer);
    const int W = outer.right - outer.left, H = outer.bottom - outer.top;
    const double m = 0.05 * H / W, L = 0.65 - m, step = 0.35 / 3;
    // positionPage: centred on the desktop less a caption button, at a third.
    const int s = GetSystemMetrics(SM_CXSIZE);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - W) / 2 - s;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - H) / 3;
    char where[120];
    std::snprintf(where, sizeof where, "dialog at %ld,%ld, expected %d,%d", outer.left, outer.top, x, y);
    check(outer.left == x && outer.top == y, where);
    expectRect(dialog, 1009, 0, 0, 0.35 - m, 1);
    expectRect(dialog, 1008, 0.35, 0.05, L, 0.15);
    expectRect(dialog, 1007, 0.35, 0.6, L, 0.2);
    expectRect(dialog, 1201, 0.35 + m, 0.2, L - m, step);
    expectRect(dialog, 1202, 0.35 + m, 0.2 + step, L - m, step);
    check(shown(dialog, 1009), "picture shown");
    check(shown(dialog, 1201) && shown(dialog, 1202), "two radio buttons shown");
    check(!shown(dialog, 1203) && !shown(dialog, 1206), "radio 3..6 hidden");
    check(!shown(dialog, 1101) && !shown(dialog, 1105), "check boxes hidden");
    check(!shown(dialog, 5), "empty Back label hides Back");
    check(textOf(dialog, 6) == "Next", "absent Next label keeps the template's Next");
    check(textOf(dialog, 2) == "Stop", "Cancel label");
    check(textOf(dialog, 1008) == "Pick an edition", "heading text");
    check(textOf(dialog, 1201) == "Standard" && textOf(dialog, 1202) == "Professional", "radio labels");
    check(IsDlgButtonChecked(dialog, 1201) == BST_CHECKED, "radio 1 checked");
    check(textOf(dialog, 1007) == "first description", "item 0's description in the text box");

    click(dialog, 1202);
    check(IsDlgButtonChecked(dialog, 1202) == BST_CHECKED, "radio 2 checked after the click");
    check(IsDlgButtonChecked(dialog, 1201) != BST_CHECKED, "radio 1 cleared after the click");
    check(textOf(dialog, 1007) == "second description", "item 1's description in the text box");

    // Cancel asks its question in a box owned by the dialog; No keeps the page.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    HWND box = waitForWindow("Drive test", dialog);
    check(box != nullptr, "the cancel question appeared, owned by the dialog");
    if (box) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, 0), 0);
        Sleep(300);
        check(IsWindow(dialog) && IsWindowVisible(dialog), "No keeps the page open");
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        box = waitForWindow("Drive test", dialog);
        check(box != nullptr, "the cancel question appeared again");
        if (box) PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, 0), 0);
    }

    // Page 2: the text-only layout.
    Sleep(300);
    dialog = waitForWindow("Licence", nullptr);
    check(dialog != nullptr, "the text page appeared");
    if (!dialog) return 0;
    Sleep(200);
    GetWindowRect(dialog, &outer);
    const double m2 = 0.05 * (outer.bottom - outer.top) / (outer.right - outer.left);
    expectRect(dialog, 1007, m2, 0.05, 1 - 2 * m2, 0.7);
    check(shown(dialog, 1007), "text box shown");
    check(!shown(dialog, 1009) && !shown(dialog, 1008), "picture and heading hidden");
    check(!shown(dialog, 1201) && !shown(dialog, 1101), "no radio or check box");
    check(textOf(dialog, 1007) == "Line one.\r\nLine two.", "licence text");
    check(textOf(dialog, 5) == "Back" && shown(dialog, 5), "absent Back label: template's Back");
    click(dialog, 6);
    return 0;
}

}  // namespace

int main() {
    WizardPage choice;
    choice.instance = GetModuleHandleA(nullptr);
    choice.caption = "Drive test";
    choice.headingText = "Pick an edition";
    choice.items.rows = {TextRow{{"Standard", "first description"}},
                         TextRow{{"Professional", "second description"}}};
    choice.backLabel = "";
    choice.cancelLabel = "Stop";
    choice.cancelQuestion = "Really stop?";

    WizardPage licence;
    licence.instance = GetModuleHandleA(nullptr);
    licence.textOnly = 1;
    licence.caption = "Licence";
    licence.editText = "Line one.\r\nLine two.";

    HANDLE driver = CreateThread(nullptr, 0, drive, nullptr, 0, nullptr);
    const int first = showPage(&choice, false);
    check(first == 2, "choice page ended with Cancel (2), got " + std::to_string(first));
    check(choice.selected == 1, "selected is item 1");
    const int second = showPage(&licence, false);
    check(second == 6, "text page ended with Next (6), got " + std::to_string(second));
    WaitForSingleObject(driver, 20000);
    CloseHandle(driver);
    std::printf("%s: %d failure(s)\n", failures ? "FAILED" : "ok", failures);
    return failures ? 1 : 0;
}
