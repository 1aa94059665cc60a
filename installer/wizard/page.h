// One wizard page: what the owner of a page fills from the script model and
// hands to showPage. Texts follow one rule on every control: absent (null)
// leaves the control as it is, empty hides it, anything else shows it.
#pragma once
#include "../platform/types.h"
#include "../script/model.h"

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

// Shows the page modally and returns resultCancel, resultBack or resultNext
// (resultDialogFailed when the dialog cannot be created). With skip set it
// returns resultNext at once and shows nothing.
int showPage(WizardPage* page, bool skip);
