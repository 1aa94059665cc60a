// The wizard dialog's logic without a window: template 1000 as a model, the
// text rule, the layout of choice and text pages, and the commands.
#include "dialog.h"
#include <algorithm>
#include "ui.h"

namespace {

WizardPage* theCurrentPage = nullptr;

struct TemplateControl {
    int id;
    int x, y, width, height;  // dialog units
    const char* text;
};

// Template 1000's controls in template order, as in setup.rc.
const TemplateControl templateControls[] = {
    {1201, 140, 41, 90, 10, "Radio1"},
    {1202, 140, 51, 90, 10, "Radio2"},
    {1203, 140, 62, 90, 10, "Radio3"},
    {1204, 140, 71, 90, 10, "Radio4"},
    {1205, 140, 82, 90, 10, "Radio5"},
    {1206, 140, 93, 90, 10, "Radio6"},
    {5, 193, 163, 50, 14, "Back"},
    {6, 243, 163, 50, 14, "Next"},
    {2, 316, 163, 50, 14, "Cancel"},
    {1009, 1, 3, 115, 174, ""},
    {1007, 138, 108, 228, 45, ""},
    {1008, 131, 7, 235, 26, "Static"},
    {1101, 249, 38, 89, 10, "Check1"},
    {1102, 249, 50, 89, 10, "Check2"},
    {1103, 249, 62, 89, 10, "Check3"},
    {1104, 249, 74, 89, 10, "Check4"},
    {1105, 249, 86, 89, 10, "Check5"},
};

// MulDiv for the non-negative values of the template: rounded to nearest.
int mulDiv(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

int cut(double value) { return static_cast<int>(value); }

bool isRadio(int id) { return id >= idFirstRadio && id < idFirstRadio + radioSlots; }
bool isCheck(int id) { return id >= idFirstCheck && id < idFirstCheck + checkSlots; }

void setVisible(DialogControl& control, bool visible) {
    if (control.visible != visible) {
        control.visible = visible;
        control.changed |= changedVisible;
    }
}

void setText(DialogControl& control, const std::string& text) {
    if (control.text != text) {
        control.text = text;
        control.changed |= changedText;
    }
}

void setChecked(DialogControl& control, bool checked) {
    if (control.checked != checked) {
        control.checked = checked;
        control.changed |= changedCheck;
    }
}

void check(DialogModel& dialog, int id, bool checked) {
    if (DialogControl* control = findControl(dialog, id)) setChecked(*control, checked);
}

void hide(DialogModel& dialog, int id) {
    if (DialogControl* control = findControl(dialog, id)) setVisible(*control, false);
}

void setTitle(DialogModel& dialog, const char* caption) {
    dialog.title = caption ? caption : "";
    dialog.titleChanged = true;
}

// Step 1 of both layouts.
void positionAndTitle(WizardPage& page, DialogModel& dialog) {
    positionPage(dialog);
    dialog.repositionRequested = true;
    setTitle(dialog, page.caption);
}

void buttonTexts(WizardPage& page, DialogModel& dialog) {
    setControlText(dialog, idCancel, page.cancelLabel);
    setControlText(dialog, idBack, page.backLabel);
    setControlText(dialog, idNext, page.nextLabel);
}

double margin(const DialogModel& dialog) {
    return 0.05 * dialog.height / dialog.width;
}

}  // namespace

DialogModel templateDialog(int baseUnitX, int baseUnitY) {
    DialogModel dialog;
    dialog.title = "Dialog";
    for (const TemplateControl& t : templateControls) {
        DialogControl control;
        control.id = t.id;
        control.text = t.text;
        // The dialog manager converts each field on its own, so a control's
        // width is not the difference of its converted edges.
        control.x = mulDiv(t.x, baseUnitX, 4);
        control.y = mulDiv(t.y, baseUnitY, 8);
        control.width = mulDiv(t.width, baseUnitX, 4);
        control.height = mulDiv(t.height, baseUnitY, 8);
        dialog.controls.push_back(control);
    }
    return dialog;
}

DialogControl* findControl(DialogModel& dialog, int id) {
    for (DialogControl& control : dialog.controls)
        if (control.id == id) return &control;
    return nullptr;
}

const DialogControl* findControl(const DialogModel& dialog, int id) {
    for (const DialogControl& control : dialog.controls)
        if (control.id == id) return &control;
    return nullptr;
}

void setControlText(DialogModel& dialog, int id, const char* text) {
    DialogControl* control = findControl(dialog, id);
    if (!control || !text) return;
    if (*text == '\0') {
        setVisible(*control, false);
        return;
    }
    setText(*control, text);
    setVisible(*control, true);
}

void placeControl(DialogModel& dialog, int id, double x, double y, double width,
                  double height, const char* text) {
    DialogControl* control = findControl(dialog, id);
    if (!control) return;
    const double w = dialog.width, h = dialog.height;
    control->x = cut(w * x);
    control->y = cut(h * y);
    control->width = cut(w * width);
    control->height = cut(h * height);
    control->changed |= changedRect;
    if (text) setControlText(dialog, id, text);
}

void positionPage(DialogModel& dialog) {
    const ScreenMetrics& s = dialog.screen;
    int button = s.captionButtonWidth;
    if (!dialog.hasSystemMenu) button -= button / 3;
    const int w = dialog.width, h = dialog.height;
    const int refWidth = s.referenceRight - s.referenceLeft;
    const int refHeight = s.referenceBottom - s.referenceTop;

    int x = s.referenceLeft + std::max(refWidth - w, 0) / 2 - button;
    if (x + w > s.screenWidth) x = std::max(s.screenWidth - w, 0);
    int y = s.referenceTop + std::max(refHeight - h, 0) / 3;
    if (y + h > s.screenHeight) y = std::max(s.screenHeight - h, 0);

    dialog.x = x;
    dialog.y = y;
    dialog.moved = true;
}

void layoutChoicePage(WizardPage& page, DialogModel& dialog) {
    const double m = margin(dialog);
    const double L = 0.65 - m;
    positionAndTitle(page, dialog);

    placeControl(dialog, idPicture, 0, 0, 0.35 - m, 1, nullptr);
    const bool manyRows = rowCount(page.items) > 1 || rowCount(page.checks) > 1;
    placeControl(dialog, idHeading, 0.35, 0.05, L, manyRows ? 0.15 : 0.5, page.headingText);
    placeControl(dialog, idText, 0.35, 0.6, L, 0.2, page.editText);
    buttonTexts(page, dialog);

    for (int i = 0; i < radioSlots; ++i) hide(dialog, idFirstRadio + i);
    for (int j = 0; j < checkSlots; ++j) hide(dialog, idFirstCheck + j);

    const int items = rowCount(page.items);
    const double radioStep = 0.35 / (items + 1);
    for (int i = 0; i < radioSlots && i < items; ++i)
        placeControl(dialog, idFirstRadio + i, 0.35 + m, 0.2 + i * radioStep, L - m, radioStep,
                     cell(page.items, i, 0));

    page.selected = 0;
    if (items > 0) {
        check(dialog, idFirstRadio, true);
        setControlText(dialog, idText, cell(page.items, 0, 1));
    }

    if (items == 0) {
        const int checks = rowCount(page.checks);
        const double checkStep = 0.35 / (checks + 1);
        for (int j = 0; j < checkSlots && j < checks; ++j) {
            placeControl(dialog, idFirstCheck + j, 0.35 + m, 0.2 + j * checkStep, L - m,
                         checkStep, cell(page.checks, j, 0));
            check(dialog, idFirstCheck + j, page.checked[j] != 0);
        }
    }
}

void layoutTextPage(WizardPage& page, DialogModel& dialog) {
    const double m = margin(dialog);
    positionAndTitle(page, dialog);
    hide(dialog, idPicture);
    hide(dialog, idHeading);
    for (int i = 0; i < radioSlots; ++i) hide(dialog, idFirstRadio + i);
    for (int j = 0; j < checkSlots; ++j) hide(dialog, idFirstCheck + j);
    placeControl(dialog, idText, m, 0.05, 1 - 2 * m, 0.7, page.editText);
    buttonTexts(page, dialog);
}

bool dialogInit(DialogModel& dialog, WizardPage* page) {
    theCurrentPage = page;
    if (page) {
        if (page->textOnly == 1)
            layoutTextPage(*page, dialog);
        else
            layoutChoicePage(*page, dialog);
    }
    return false;
}

CommandOutcome dialogCommand(DialogModel& dialog, int id, int notifyCode) {
    CommandOutcome outcome;
    WizardPage* page = theCurrentPage;
    if (notifyCode != 0 || !page) return outcome;

    if (id == idCancel) {
        if (page->cancelQuestion && *page->cancelQuestion) {
            const int answer = uiMessageBox(dialog.window, page->cancelQuestion, page->caption,
                                            boxYesNo | boxIconQuestion);
            if (answer != answerYes) {
                outcome.handled = false;
                return outcome;
            }
        }
        outcome.endWith = resultCancel;
    } else if (id == idBack) {
        outcome.endWith = resultBack;
    } else if (id == idNext) {
        outcome.endWith = resultNext;
    } else if (isCheck(id)) {
        const int j = id - idFirstCheck;
        page->checked[j] = page->checked[j] ? 0 : 1;
        check(dialog, id, page->checked[j] != 0);
    } else if (isRadio(id)) {
        page->selected = id - idFirstRadio;
        // An automatic radio button: the chosen one checked, the others cleared.
        for (int i = 0; i < radioSlots; ++i)
            check(dialog, idFirstRadio + i, idFirstRadio + i == id);
        // The description goes into the text box as it is, visible or not.
        const char* description = cell(page->items, page->selected, 1);
        if (DialogControl* text = findControl(dialog, idText))
            setText(*text, description ? description : "");
    }
    return outcome;
}

WizardPage* currentPage() { return theCurrentPage; }
