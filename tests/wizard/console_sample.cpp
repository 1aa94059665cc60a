// wizard-console-sample: one choice page, a Yes/No box, the cursor and the
// file-open dialog on the real standard input and output, for the piped-run
// test (run_console_sample.sh). Results go to standard error, so standard
// output holds nothing but the transcript.
#include <cstdio>
#include "platform/ui.h"
#include "wizard/page.h"

int main() {
    WizardPage page;
    page.caption = "Halvex setup";
    page.headingText = "Choose the edition.";
    page.items.rows = {TextRow{{"Standard", "The filters."}},
                       TextRow{{"Professional", "The filters and the batch tools."}}};
    page.backLabel = "";
    page.nextLabel = "Next >";
    page.cancelLabel = "Cancel";
    page.cancelQuestion = "Stop the installation?";
    const int result = showPage(&page, false);
    std::fprintf(stderr, "page: %d selected %d\n", result, page.selected);
    uiSetCursor(cursorWait);
    const int answer = uiMessageBox(nullptr, "Replace the older file?", "Halvex setup",
                                    boxYesNo | boxIconQuestion | boxDefButton2);
    std::fprintf(stderr, "box: %d\n", answer);
    uiSetCursor(cursorArrow);
    char path[512] = "";
    const bool chosen = uiOpenFileDialog(nullptr, path, sizeof path);
    std::fprintf(stderr, "open: %d %s\n", chosen ? 1 : 0, path);
    return 0;
}
