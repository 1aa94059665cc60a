// showPage: a page shown modally through the platform's dialog, or skipped.
#include "ui.h"

int showPage(WizardPage* page, bool skip) {
    if (skip) return resultNext;
    return uiRunDialog(page);
}
