// Handle types and Win32 constants that the platform-free logic of setup uses.
// The values are Win32's own, so the Windows layer passes them through unchanged
// and the Linux stand-ins interpret them the same way.
#pragma once

// Opaque handles: HINSTANCE and HWND in the Windows builds, unused on Linux.
typedef void* ModuleHandle;
typedef void* WindowHandle;

// Page results: the ids of the wizard's Cancel, Back and Next buttons.
enum {
    resultCancel = 2,
    resultBack = 5,
    resultNext = 6,
    resultDialogFailed = -1
};

// Message-box styles and answers (MB_* and ID* of Win32).
enum : unsigned {
    boxOk = 0x0u,
    boxYesNo = 0x4u,
    boxIconHand = 0x10u,      // MB_ICONHAND == MB_ICONERROR == MB_ICONSTOP
    boxIconQuestion = 0x20u,
    boxDefButton2 = 0x100u
};
enum {
    answerOk = 1,
    answerYes = 6,
    answerNo = 7
};
