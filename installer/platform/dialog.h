// The wizard dialog as a plain record, and the platform-free logic
// that lays it out and handles its commands. Both platform layers drive this
// same logic: the Win32 layer reads the real dialog into a DialogModel, lets
// these functions change it and applies the changes with SetWindowPos,
// ShowWindow, SetWindowTextA and BM_SETCHECK; the console layer starts from
// the template's state and prints the model.
#pragma once
#include <string>
#include <vector>
#include "types.h"

struct WizardPage;

// Ids of dialog template 1000, bitmap 106 and their controls.
enum {
    dialogTemplateId = 1000,
    sideBitmapId = 106,
    idCancel = 2,
    idBack = 5,
    idNext = 6,
    idFirstCheck = 1101,  // 1101..1105
    idFirstRadio = 1201,  // 1201..1206
    idText = 1007,        // the read-only multi-line text box
    idHeading = 1008,     // the heading static
    idPicture = 1009      // the side picture (bitmap 106)
};

// What changed since a platform layer last applied the model (bit flags).
enum : unsigned {
    changedRect = 1u,
    changedText = 2u,
    changedVisible = 4u,
    changedCheck = 8u
};

// One control of the dialog. The rectangle is in pixels in the dialog's client
// coordinates.
struct DialogControl {
    int id = 0;
    bool visible = true;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;
    bool checked = false;  // radio buttons and check boxes
    unsigned changed = 0;  // changed* bits, cleared by the platform layer
};

// The inputs of positionPage that come from the system.
struct ScreenMetrics {
    int captionButtonWidth = 0;  // SM_CXSIZE
    int screenWidth = 0;         // SM_CXSCREEN
    int screenHeight = 0;        // SM_CYSCREEN
    // The reference window's client rectangle in screen coordinates (the
    // dialog's parent, or the desktop).
    int referenceLeft = 0, referenceTop = 0, referenceRight = 0, referenceBottom = 0;
};

// The dialog: its outer rectangle (window rectangle, screen coordinates), its
// title and its controls in template order.
struct DialogModel {
    WindowHandle window = nullptr;  // the real dialog (owner of the cancel question)
    bool hasSystemMenu = true;      // WS_SYSMENU
    int x = 0, y = 0, width = 0, height = 0;
    std::string title;
    ScreenMetrics screen;
    std::vector<DialogControl> controls;
    bool moved = false;                // x, y changed by positionPage
    bool repositionRequested = false;  // DM_REPOSITION asked for
    bool titleChanged = false;
};

// Template 1000 as a model: every control visible with its template text
// ("Radio1".."Radio6", "Back", "Next", "Cancel", "Static", "Check1".."Check5",
// the text box empty), unchecked, at its template rectangle converted from
// dialog units with the given base units (pixels = units * base / 4 across,
// units * base / 8 down, rounded). Title "Dialog"; outer size and screen
// metrics are left for the caller.
DialogModel templateDialog(int baseUnitX, int baseUnitY);

// The control with that id, or null.
DialogControl* findControl(DialogModel& dialog, int id);
const DialogControl* findControl(const DialogModel& dialog, int id);

// The text rule: null leaves the control as it is, "" hides it, any other
// text shows it with that text.
void setControlText(DialogModel& dialog, int id, const char* text);

// Moves a control to fractions of the dialog's outer size (each product cut
// towards zero), then applies the text rule when text is not null.
void placeControl(DialogModel& dialog, int id, double x, double y, double width,
                  double height, const char* text);

// Centres the dialog on its reference rectangle, shifted left by one caption
// button, at a third of the free height, kept on the screen.
void positionPage(DialogModel& dialog);

void layoutChoicePage(WizardPage& page, DialogModel& dialog);
void layoutTextPage(WizardPage& page, DialogModel& dialog);

// The dialog procedure's initialisation: remembers the page as the current
// page and lays the dialog out. Returns false: no focus was set.
bool dialogInit(DialogModel& dialog, WizardPage* page);

// What the dialog procedure does with one command.
struct CommandOutcome {
    bool handled = true;  // false only for a Cancel whose question was not answered Yes
    int endWith = 0;      // 0: the dialog stays; else the value to end it with (2, 5, 6)
};
// A WM_COMMAND for control id with notification code (0: a click, Enter, Escape).
CommandOutcome dialogCommand(DialogModel& dialog, int id, int notifyCode);

// The page of the dialog being shown (null before the first page).
WizardPage* currentPage();
