// The user-interface platform layer of setup: the modal wizard dialog, message
// boxes, the cursor and the file-open dialog. The Windows build implements it
// with Win32; the Linux build with a console transcript on stdin/stdout.
#pragma once
#include <cstddef>
#include "types.h"

struct WizardPage;

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
