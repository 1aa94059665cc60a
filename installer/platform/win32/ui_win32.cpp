// The Win32 user-interface layer: the wizard dialog from template 1000,
// message boxes, the wait and arrow cursors and the file-open dialog. The
// dialog procedure reads the real dialog into a DialogModel, lets the
// platform-free logic of installer/platform/dialog.cpp lay it out and handle its
// commands, and applies what changed to the real windows.
#include <windows.h>
#include <commdlg.h>
#include "../ui.h"
#include "../dialog.h"

namespace {

// The dialog being shown. Only one page shows at a time, so one model.
DialogModel theDialog;

const int controlIds[] = {1201, 1202, 1203, 1204, 1205, 1206, 5, 6, 2,
                          1009, 1007, 1008, 1101, 1102, 1103, 1104, 1105};

// The real dialog as a model: outer rectangle, style, screen metrics and every
// control's rectangle (client coordinates), text, visibility and check state.
void readDialog(HWND dialog, DialogModel& model) {
    model = DialogModel();
    model.window = dialog;
    RECT outer;
    GetWindowRect(dialog, &outer);
    model.x = outer.left;
    model.y = outer.top;
    model.width = outer.right - outer.left;
    model.height = outer.bottom - outer.top;
    model.hasSystemMenu = (GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    char title[512] = "";
    GetWindowTextA(dialog, title, sizeof title);
    model.title = title;

    HWND reference = GetParent(dialog);
    if (!reference) reference = GetDesktopWindow();
    RECT client;
    GetClientRect(reference, &client);
    MapWindowPoints(reference, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    model.screen.referenceLeft = client.left;
    model.screen.referenceTop = client.top;
    model.screen.referenceRight = client.right;
    model.screen.referenceBottom = client.bottom;
    model.screen.captionButtonWidth = GetSystemMetrics(SM_CXSIZE);
    model.screen.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    model.screen.screenHeight = GetSystemMetrics(SM_CYSCREEN);

    for (int id : controlIds) {
        DialogControl control;
        control.id = id;
        if (HWND window = GetDlgItem(dialog, id)) {
            RECT r;
            GetWindowRect(window, &r);
            MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
            control.x = r.left;
            control.y = r.top;
            control.width = r.right - r.left;
            control.height = r.bottom - r.top;
            // The dialog itself is not shown yet: the control's own style tells.
            control.visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
            if (id != idPicture) {
                char text[4096] = "";
                GetWindowTextA(window, text, sizeof text);
                control.text = text;
            }
            control.checked = SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
        model.controls.push_back(control);
    }
}

// Applies what the logic changed to the real dialog, in the order of the
// layout: position, DM_REPOSITION, title, then the controls.
void applyDialog(HWND dialog, DialogModel& model) {
    // Each flag is cleared before its call, so that a notification sent back
    // to the dialog procedure meanwhile finds nothing left to apply.
    if (model.moved) {
        model.moved = false;
        SetWindowPos(dialog, nullptr, model.x, model.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (model.repositionRequested) {
        model.repositionRequested = false;
        SendMessageA(dialog, DM_REPOSITION, 0, 0);
    }
    if (model.titleChanged) {
        model.titleChanged = false;
        SetWindowTextA(dialog, model.title.c_str());
    }
    for (size_t i = 0; i < model.controls.size(); ++i) {
        const DialogControl control = model.controls[i];
        model.controls[i].changed = 0;
        if (!control.changed) continue;
        HWND window = GetDlgItem(dialog, control.id);
        if (!window) continue;
        if (control.changed & changedRect)
            SetWindowPos(window, nullptr, control.x, control.y, control.width, control.height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.changed & changedText) SetWindowTextA(window, control.text.c_str());
        if (control.changed & changedCheck)
            SendMessageA(window, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (control.changed & changedVisible)
            ShowWindow(window, control.visible ? SW_SHOW : SW_HIDE);
    }
}

INT_PTR CALLBACK wizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        readDialog(dialog, theDialog);
        const bool focusSet = dialogInit(theDialog, reinterpret_cast<WizardPage*>(lParam));
        applyDialog(dialog, theDialog);
        return focusSet ? TRUE : FALSE;
    }
    case WM_COMMAND: {
        const CommandOutcome outcome =
            dialogCommand(theDialog, LOWORD(wParam), HIWORD(wParam));
        applyDialog(dialog, theDialog);
        if (outcome.endWith != 0) EndDialog(dialog, outcome.endWith);
        return outcome.handled ? TRUE : FALSE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int uiRunDialog(WizardPage* page) {
    HINSTANCE instance = static_cast<HINSTANCE>(page->instance);
    if (!instance) instance = GetModuleHandleA(nullptr);
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(dialogTemplateId),
                        static_cast<HWND>(page->ownerWindow), wizardDialogProc,
                        reinterpret_cast<LPARAM>(page));
    theDialog.window = nullptr;
    return static_cast<int>(result);
}

int uiMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style) {
    return MessageBoxA(static_cast<HWND>(owner), text ? text : "", caption, style);
}

void uiSetCursor(UiCursor cursor) {
    SetCursor(LoadCursor(nullptr, cursor == cursorWait ? IDC_WAIT : IDC_ARROW));
}

bool uiOpenFileDialog(WindowHandle owner, char* buffer, size_t size) {
    static const char filter[] = "*.exe\0*.exe\0";
    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = static_cast<DWORD>(size > 0xFFFFu ? 0xFFFFu : size);
    dialog.lpstrFileTitle = nullptr;
    dialog.lpstrInitialDir = nullptr;
    dialog.lpstrTitle = nullptr;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&dialog) != FALSE;
}
