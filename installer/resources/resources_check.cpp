// wizard-resources-check: a Windows program that carries setup's resources
// and checks them through the resource API. Exit code 0 when dialog template
// 1000 (373 x 184 units, 17 controls, caption "Dialog") and bitmap 106
// (220 x 369, 24 bits) are found. With --show it then shows a choice page, a
// text page and a message box, and prints what each returned.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include "platform/dialog.h"
#include "platform/ui.h"

namespace {

#pragma pack(push, 1)
struct DialogTemplateExHeader {  // the fixed start of a DLGTEMPLATEEX
    WORD version;
    WORD signature;
    DWORD helpId;
    DWORD exStyle;
    DWORD style;
    WORD items;
    short x, y, cx, cy;
};
#pragma pack(pop)

bool checkDialog(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialogTemplateId), MAKEINTRESOURCEA(5));
    if (!found) {
        std::printf("dialog %d: missing\n", dialogTemplateId);
        return false;
    }
    const auto* header = static_cast<const DialogTemplateExHeader*>(LockResource(LoadResource(module, found)));
    if (!header || SizeofResource(module, found) < sizeof *header || header->signature != 0xFFFF) {
        std::printf("dialog %d: not a DLGTEMPLATEEX\n", dialogTemplateId);
        return false;
    }
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
    const bool ok = header->cx == 373 && header->cy == 184 && header->items == 17 &&
                    (header->style & wanted) == wanted;
    std::printf("dialog %d: %d x %d units, %d controls, style 0x%08lx%s\n", dialogTemplateId,
                header->cx, header->cy, header->items, static_cast<unsigned long>(header->style),
                ok ? "" : " (wrong)");
    return ok;
}

bool checkBitmap(HMODULE module) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(sideBitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) {
        std::printf("bitmap %d: missing\n", sideBitmapId);
        return false;
    }
    BITMAP info;
    std::memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    const bool ok = info.bmWidth == 220 && info.bmHeight == 369 && info.bmBitsPixel == 24;
    std::printf("bitmap %d: %ld x %ld, %d bits%s\n", sideBitmapId, static_cast<long>(info.bmWidth),
                static_cast<long>(info.bmHeight), info.bmBitsPixel, ok ? "" : " (wrong)");
    return ok;
}

void showSamples(HMODULE module) {
    WizardPage choice;
    choice.instance = module;
    choice.caption = "Sample plug-in setup";
    choice.headingText = "Choose what to install.";
    choice.items.rows = {TextRow{{"Full package", "The filters, the presets and the manual."}},
                         TextRow{{"Filters only", "Only the filters."}}};
    choice.backLabel = "< Back";
    choice.nextLabel = "Next >";
    choice.cancelLabel = "Cancel";
    choice.cancelQuestion = "Do you really want to stop the installation?";
    const int first = showPage(&choice, false);
    std::printf("choice page: %d, selected %d\n", first, choice.selected);

    WizardPage licence;
    licence.instance = module;
    licence.textOnly = 1;
    licence.caption = "Licence";
    licence.editText = "Line one of the licence.\r\nLine two.";
    licence.backLabel = "";
    licence.nextLabel = "I agree";
    const int second = showPage(&licence, false);
    std::printf("text page: %d\n", second);

    uiSetCursor(cursorWait);
    uiSetCursor(cursorArrow);
    const int answer = uiMessageBox(nullptr, "A sample box.", "Sample", boxOk);
    std::printf("box: %d\n", answer);
}

}  // namespace

int main(int argc, char** argv) {
    HMODULE module = GetModuleHandleA(nullptr);
    const bool dialogOk = checkDialog(module);
    const bool bitmapOk = checkBitmap(module);
    if (argc > 1 && std::strcmp(argv[1], "--show") == 0) showSamples(module);
    std::fflush(stdout);
    return dialogOk && bitmapOk ? 0 : 1;
}
