#include "fake_ui.h"

#include <cstring>

#include "platform/ui.h"

namespace fakeUi {
std::vector<RecordedBox> boxes;
std::deque<int> answers;
std::vector<int> cursors;
std::vector<RecordedPage> pages;
std::deque<PageReply> pageReplies;
std::deque<DialogReply> dialogReplies;
std::function<void()> duringDialog;

void reset() {
    boxes.clear();
    answers.clear();
    cursors.clear();
    pages.clear();
    pageReplies.clear();
    dialogReplies.clear();
    duringDialog = nullptr;
}
}  // namespace fakeUi

namespace {
std::vector<std::vector<std::string>> rowsOf(const TextTable& table) {
    std::vector<std::vector<std::string>> rows;
    for (const TextRow& row : table.rows) rows.push_back(row.cells);
    return rows;
}

void take(const char* text, std::string& out, bool& has) {
    has = text != nullptr;
    out = text ? text : "";
}
}  // namespace

int uiMessageBox(WindowHandle, const char* text, const char* caption, unsigned style) {
    fakeUi::boxes.push_back(RecordedBox{text ? text : "", caption ? caption : "", caption != nullptr, style});
    if (!fakeUi::answers.empty()) {
        int answer = fakeUi::answers.front();
        fakeUi::answers.pop_front();
        return answer;
    }
    if ((style & 0xF) == boxYesNo) return (style & boxDefButton2) ? answerNo : answerYes;
    return answerOk;
}

void uiSetCursor(UiCursor cursor) { fakeUi::cursors.push_back(cursor); }

bool uiOpenFileDialog(WindowHandle, char* buffer, size_t size) {
    if (fakeUi::duringDialog) fakeUi::duringDialog();
    if (fakeUi::dialogReplies.empty()) return false;
    fakeUi::DialogReply reply = fakeUi::dialogReplies.front();
    fakeUi::dialogReplies.pop_front();
    if (!reply.chosen || reply.path.size() + 1 > size) return false;
    std::memcpy(buffer, reply.path.c_str(), reply.path.size() + 1);
    return true;
}

int uiRunDialog(WizardPage*) { return resultDialogFailed; }

int showPage(WizardPage* page, bool skip) {
    if (skip) return resultNext;
    RecordedPage recorded;
    take(page->caption, recorded.caption, recorded.hasCaption);
    take(page->headingText, recorded.heading, recorded.hasHeading);
    take(page->editText, recorded.edit, recorded.hasEdit);
    take(page->backLabel, recorded.back, recorded.hasBack);
    take(page->nextLabel, recorded.next, recorded.hasNext);
    take(page->cancelLabel, recorded.cancel, recorded.hasCancel);
    take(page->cancelQuestion, recorded.question, recorded.hasQuestion);
    recorded.items = rowsOf(page->items);
    recorded.checks = rowsOf(page->checks);
    std::memcpy(recorded.checked, page->checked, sizeof recorded.checked);
    fakeUi::pages.push_back(recorded);
    PageReply reply;
    if (!fakeUi::pageReplies.empty()) {
        reply = fakeUi::pageReplies.front();
        fakeUi::pageReplies.pop_front();
    }
    page->selected = reply.selected;
    for (size_t i = 0; i < reply.checked.size() && i < 5; ++i) page->checked[i] = reply.checked[i];
    return reply.result;
}
