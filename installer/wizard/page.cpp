#include "page.h"
#include "../platform/ui.h"

int showPage(WizardPage* page, bool skip) {
    if (skip) return resultNext;
    return uiRunDialog(page);
}
