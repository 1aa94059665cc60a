// A recording stand-in of the user-interface layer (ui.h) and of showPage for
// the engine's tests: message boxes, cursors, file-open dialogs and pages are
// recorded, and the answers come from queues the test fills.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/ui.h"

struct RecordedBox {
    std::string text;
    std::string caption;
    bool hasCaption;
    unsigned style;
};

struct RecordedPage {
    std::string caption, heading, edit, back, next, cancel, question;
    bool hasCaption, hasHeading, hasEdit, hasBack, hasNext, hasCancel, hasQuestion;
    std::vector<std::vector<std::string>> items, checks;
    unsigned char checked[5];
};

struct PageReply {
    int result = resultNext;
    int selected = 0;
    std::vector<unsigned char> checked;  // when not empty: the flags the user leaves
};

namespace fakeUi {
extern std::vector<RecordedBox> boxes;
extern std::deque<int> answers;  // when empty a box returns its default button's answer
extern std::vector<int> cursors;
extern std::vector<RecordedPage> pages;
extern std::deque<PageReply> pageReplies;  // when empty a page returns resultNext
struct DialogReply {
    bool chosen;
    std::string path;
};
extern std::deque<DialogReply> dialogReplies;  // when empty the dialog is cancelled
extern std::function<void()> duringDialog;     // runs while the dialog is open
void reset();
}  // namespace fakeUi
