// The console stand-in of the user-interface layer (ui.h) in the Linux build:
// pages and boxes are written as a text transcript to an output stream and the
// user's commands read from an input stream, one a line. The transcript is an
// interface, documented in docs/console-installer.md ("The console installer").
#pragma once
#include <cstdio>
#include "../dialog.h"

// The streams the console reads and writes; null restores stdin / stdout.
// A prompt is written only when the input stream is a terminal.
void uiConsoleSetStreams(FILE* input, FILE* output);

// The console dialog's metrics, so that the layout is computed as on Windows:
// template 1000 at base units 6 x 13 (MS Shell Dlg 8 pt at 96 dpi) gives a
// client area of 560 x 299 pixels; a 3-pixel modal frame and a 22-pixel caption
// make the outer size 566 x 327. The screen is 1024 x 768 with a caption button
// width (SM_CXSIZE) of 18, and the reference rectangle (the desktop) the whole
// screen. The dialog has a system menu.
enum {
    consoleBaseUnitX = 6,
    consoleBaseUnitY = 13,
    consoleDialogWidth = 566,
    consoleDialogHeight = 327,
    consoleScreenWidth = 1024,
    consoleScreenHeight = 768,
    consoleCaptionButtonWidth = 18
};

// Template 1000 in the console's metrics, before any layout.
DialogModel consoleDialog();

// Prints a dialog's page block (the "== page" line and one line per visible
// control) to the output stream.
void uiConsolePrintPage(const DialogModel& dialog);
