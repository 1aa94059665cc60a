// The console transcript of the user-interface layer; see ui_console.h and
// docs/console-installer.md ("The console installer") for the format.
#include "ui_console.h"
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "../fs.h"
#include "../ui.h"

namespace {

FILE* inputStream = nullptr;
FILE* outputStream = nullptr;

FILE* input() { return inputStream ? inputStream : stdin; }
FILE* output() { return outputStream ? outputStream : stdout; }

bool interactive() { return isatty(fileno(input())) != 0; }

void prompt(const char* text) {
    if (!interactive()) return;
    fputs(text, output());
    fflush(output());
}

// One line of input without its line end; false at the end of input.
bool readLine(std::string& line) {
    line.clear();
    bool any = false;
    int c;
    while ((c = fgetc(input())) != EOF) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::string trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> result;
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        size_t end = text.find_first_of(" \t", start);
        if (end == std::string::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        at = end;
    }
    return result;
}

// The lines of a text: CR LF, a lone LF and a lone CR each end a line. An
// empty text is one empty line.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// A text on one line: each line break becomes one blank.
std::string oneLine(const std::string& text) {
    const std::vector<std::string> lines = linesOf(text);
    std::string result;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) result += ' ';
        result += lines[i];
    }
    return result;
}

void printLines(const char* prefix, const std::string& text) {
    for (const std::string& line : linesOf(text)) fprintf(output(), "%s: %s\n", prefix, line.c_str());
}

const DialogControl* visibleControl(const DialogModel& dialog, int id) {
    const DialogControl* control = findControl(dialog, id);
    return control && control->visible ? control : nullptr;
}

// A number from 1 to max, or 0.
int slotNumber(const std::string& word, int max) {
    if (word.empty() || word.size() > 2) return 0;
    for (char c : word)
        if (c < '0' || c > '9') return 0;
    const int n = std::atoi(word.c_str());
    return n >= 1 && n <= max ? n : 0;
}

// Parses a page command into a control id, or writes its "??" reason into
// reason and returns 0.
int pageCommand(const DialogModel& dialog, const std::string& line, std::string& reason) {
    const std::vector<std::string> w = words(line);
    if (w.empty()) {
        reason = "no command (next, back, cancel, radio N, check N)";
        return 0;
    }
    const std::string& verb = w[0];
    if (w.size() == 1 && verb == "cancel") return idCancel;
    if (w.size() == 1 && (verb == "next" || verb == "back")) {
        const int id = verb == "next" ? idNext : idBack;
        if (visibleControl(dialog, id)) return id;
        reason = verb + " is hidden";
        return 0;
    }
    if (verb == "radio" || verb == "check") {
        const bool radio = verb == "radio";
        const int max = radio ? radioSlots : checkSlots;
        const int n = w.size() == 2 ? slotNumber(w[1], max) : 0;
        if (n == 0) {
            reason = verb + " takes a number from 1 to " + std::to_string(max);
            return 0;
        }
        const int id = (radio ? idFirstRadio : idFirstCheck) + n - 1;
        if (visibleControl(dialog, id)) return id;
        reason = verb + " " + std::to_string(n) + " is hidden";
        return 0;
    }
    reason = "unknown command \"" + line + "\" (next, back, cancel, radio N, check N)";
    return 0;
}

const char* iconName(unsigned style) {
    switch (style & 0xF0u) {
    case 0x00u: return "none";
    case 0x10u: return "error";  // MB_ICONHAND = MB_ICONERROR = MB_ICONSTOP
    case 0x20u: return "question";
    case 0x30u: return "warning";
    case 0x40u: return "information";
    default: return "none";
    }
}

}  // namespace

void uiConsoleSetStreams(FILE* in, FILE* out) {
    inputStream = in;
    outputStream = out;
}

DialogModel consoleDialog() {
    DialogModel dialog = templateDialog(consoleBaseUnitX, consoleBaseUnitY);
    dialog.width = consoleDialogWidth;
    dialog.height = consoleDialogHeight;
    dialog.hasSystemMenu = true;
    dialog.screen.captionButtonWidth = consoleCaptionButtonWidth;
    dialog.screen.screenWidth = consoleScreenWidth;
    dialog.screen.screenHeight = consoleScreenHeight;
    dialog.screen.referenceRight = consoleScreenWidth;
    dialog.screen.referenceBottom = consoleScreenHeight;
    return dialog;
}

void uiConsolePrintPage(const DialogModel& dialog) {
    FILE* out = output();
    fprintf(out, "== page \"%s\"\n", oneLine(dialog.title).c_str());
    if (const DialogControl* heading = visibleControl(dialog, idHeading))
        printLines("heading", heading->text);
    for (int i = 0; i < radioSlots; ++i)
        if (const DialogControl* radio = visibleControl(dialog, idFirstRadio + i))
            fprintf(out, "radio %d: %s %s\n", i + 1, radio->checked ? "(*)" : "( )",
                    oneLine(radio->text).c_str());
    for (int j = 0; j < checkSlots; ++j)
        if (const DialogControl* box = visibleControl(dialog, idFirstCheck + j))
            fprintf(out, "check %d: %s %s\n", j + 1, box->checked ? "[x]" : "[ ]",
                    oneLine(box->text).c_str());
    if (const DialogControl* text = visibleControl(dialog, idText)) printLines("text", text->text);
    const struct { int id; const char* name; } buttons[] = {
        {idBack, "back"}, {idNext, "next"}, {idCancel, "cancel"}};
    for (const auto& button : buttons)
        if (const DialogControl* control = visibleControl(dialog, button.id))
            fprintf(out, "%s: %s\n", button.name, oneLine(control->text).c_str());
    fflush(out);
}

int uiRunDialog(WizardPage* page) {
    DialogModel dialog = consoleDialog();
    dialogInit(dialog, page);
    uiConsolePrintPage(dialog);
    for (;;) {
        prompt("> ");
        std::string line;
        if (!readLine(line)) return resultCancel;  // end of input: Cancel, no question
        std::string reason;
        const int id = pageCommand(dialog, trim(line), reason);
        if (id == 0) {
            fprintf(output(), "?? %s\n", reason.c_str());
            fflush(output());
            continue;
        }
        const CommandOutcome outcome = dialogCommand(dialog, id, 0);
        if (outcome.endWith != 0) return outcome.endWith;
        if (id != idCancel) uiConsolePrintPage(dialog);
    }
}

int uiMessageBox(WindowHandle, const char* text, const char* caption, unsigned style) {
    FILE* out = output();
    const bool yesNo = (style & 0xFu) == boxYesNo;
    const bool noDefault = yesNo && (style & 0xF00u) == boxDefButton2;
    fprintf(out, "== box \"%s\" icon=%s buttons=%s default=%s\n",
            oneLine(caption ? caption : "Error").c_str(), iconName(style), yesNo ? "yesno" : "ok",
            !yesNo ? "ok" : noDefault ? "no" : "yes");
    printLines("text", text ? text : "");
    fflush(out);
    if (!yesNo) return answerOk;
    const int defaultAnswer = noDefault ? answerNo : answerYes;
    for (;;) {
        prompt(noDefault ? "yes/no [no]> " : "yes/no [yes]> ");
        std::string line;
        if (!readLine(line)) return defaultAnswer;
        const std::string answer = trim(line);
        if (answer.empty()) return defaultAnswer;
        if (answer == "yes") return answerYes;
        if (answer == "no") return answerNo;
        fputs("?? answer yes or no\n", out);
        fflush(out);
    }
}

void uiSetCursor(UiCursor cursor) {
    fprintf(output(), "== cursor %s\n", cursor == cursorWait ? "wait" : "arrow");
    fflush(output());
}

bool uiOpenFileDialog(WindowHandle, char* buffer, size_t size) {
    FILE* out = output();
    fputs("== open \"*.exe\"\n", out);
    fflush(out);
    for (;;) {
        prompt("path> ");
        std::string line;
        if (!readLine(line)) return false;
        std::string path = trim(line);
        if (path.empty()) return false;
        // The host's directory is taken from the path, so a relative one must
        // not leave it to be read against whatever directory is current later.
        if (path[0] != '/' && path[0] != '\\') {
            char here[4096];
            if (!getcwd(here, sizeof here)) {
                fputs("?? the current directory cannot be read; type a full path\n", out);
                fflush(out);
                continue;
            }
            path = std::string(here) + "/" + path;
        }
        const unsigned long attributes = fsGetAttributes(path.c_str());
        if (attributes == fsInvalidAttributes || (attributes & fsAttributeDirectory)) {
            fprintf(out, "?? no such file: %s\n", path.c_str());
            fflush(out);
            continue;
        }
        if (path.size() + 1 > size) {
            fprintf(out, "?? path longer than %zu characters\n", size ? size - 1 : 0);
            fflush(out);
            continue;
        }
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return true;
    }
}
