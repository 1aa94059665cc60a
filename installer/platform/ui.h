// The user-interface platform layer of setup: the wizard page record, the
// modal wizard dialog, message boxes, the cursor and the file-open dialog. The
// Windows build implements it with Win32; the Linux build with a console
// transcript on stdin/stdout. Both drive the same dialog logic (dialog.h).
#pragma once
#include <cstddef>
#include "../script/model.h"
#include "types.h"

// One wizard page: what the owner of a page fills from the script model and
// hands to showPage. Texts follow one rule on every control: absent (null)
// leaves the control as it is, empty hides it, anything else shows it.
enum { radioSlots = 6, checkSlots = 5 };

struct WizardPage {
    ModuleHandle instance = nullptr;     // module that holds template 1000
    WindowHandle ownerWindow = nullptr;  // owner of the dialog (none)
    TextTable items;                     // radio items: column 0 label, column 1 description
    int selected = 0;                    // index of the chosen radio item
    TextTable checks;                    // check items: column 0 label
    unsigned char checked[checkSlots] = {0, 0, 0, 0, 0};  // state of check items 0..4
    unsigned char textOnly = 0;          // 1: the text-only layout (licence)
    const char* editText = nullptr;      // text box 1007
    const char* headingText = nullptr;   // static 1008
    const char* caption = nullptr;       // window title, also the cancel question's caption
    const char* nextLabel = nullptr;     // button 6
    const char* backLabel = nullptr;     // button 5
    const char* cancelLabel = nullptr;   // button 2
    const char* cancelQuestion = nullptr;  // asked before the page ends with Cancel
};

enum UiCursor { cursorArrow = 0, cursorWait = 1 };

// Shows a message box; style is a combination of the box* values of types.h.
// A null caption shows the system's default caption ("Error"); a null text an
// empty one. Returns answerOk, answerYes or answerNo.
int uiMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style);

// Sets the system's arrow or wait cursor.
void uiSetCursor(UiCursor cursor);

// Shows the file-open dialog with the one filter "*.exe". On success the chosen
// file's full path is in buffer (NUL-terminated, never more than size bytes).
// Returns false, buffer untouched, when the user cancels.
bool uiOpenFileDialog(WindowHandle owner, char* buffer, size_t size);

// Runs template 1000 modally for the page and returns the value the dialog
// ended with, or resultDialogFailed when it cannot be created.
int uiRunDialog(WizardPage* page);

// Shows the page modally and returns resultCancel, resultBack or resultNext
// (resultDialogFailed when the dialog cannot be created). With skip set it
// returns resultNext at once and shows nothing.
int showPage(WizardPage* page, bool skip);
