// Text macros, numbered message texts and the script's error boxes.
#pragma once
#include "model.h"

// Results of expandMacros.
enum {
    expandOk = 0,
    expandPartTooLong = 1,    // one part alone exceeds the capacity
    expandResultTooLong = 2   // the parts together do not fit: refused, line unchanged
};

// The macro text for a reference written as "$(" name ")": cell 1 of the first
// row of the Script's macros whose cell 0 equals it exactly, or null.
const char* lookupMacro(const char* reference);

// Expands the macro references of line in place. capacity is the size of the
// line's buffer (4096). The expanded line must fit with its NUL; when it does
// not, the expansion is refused: the result is non-zero and the line stays as
// it was.
int expandMacros(char* line, int capacity);

// Cell 1 (or the given cell) of the first row of the Variant's messages whose
// cell 0 is the number formatted with "%d"; null when there is none.
const char* messageText(const Variant& variant, int number);
const char* messageText(const Variant& variant, int number, int column);

// The error boxes: error icon, OK button, no owner (through uiMessageBox).
void showScriptError(const Script& script);   // text and caption from the Script
void showVersionError(const Script& script);  // "Setup version error: v3.0", no caption
void showVariantError(const Variant& variant);  // the Variant's error text and title

extern const char* const versionErrorText;  // "Setup version error: v3.0"
