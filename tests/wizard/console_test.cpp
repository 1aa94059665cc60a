// The console layer's transcript: whole pages, commands, boxes, the
// cursor and the file-open dialog, driven through injected streams.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>
#include <string>
#include "platform/posix/ui_console.h"
#include "platform/ui.h"
#include "wizard/page.h"

namespace {

// Feeds input to the console layer and collects what it writes.
class Console {
public:
    explicit Console(const std::string& input) {
        in_ = std::tmpfile();
        out_ = std::tmpfile();
        std::fputs(input.c_str(), in_);
        std::rewind(in_);
        uiConsoleSetStreams(in_, out_);
    }
    ~Console() {
        uiConsoleSetStreams(nullptr, nullptr);
        std::fclose(in_);
        std::fclose(out_);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    std::string output() {
        std::fflush(out_);
        std::rewind(out_);
        std::string text;
        int c;
        while ((c = std::fgetc(out_)) != EOF) text += static_cast<char>(c);
        return text;
    }

private:
    FILE* in_;
    FILE* out_;
};

TextTable table(std::initializer_list<std::vector<std::string>> rows) {
    TextTable t;
    for (const auto& cells : rows) t.rows.push_back(TextRow{cells});
    return t;
}

WizardPage variantPage() {
    WizardPage page;
    page.caption = "Halvex setup";
    page.headingText = "Choose the edition.";
    page.items = table({{"Standard", "The filters."}, {"Professional", "The filters\r\nand the batch tools."}});
    page.backLabel = "< Back";
    page.nextLabel = "Next >";
    page.cancelLabel = "Cancel";
    page.cancelQuestion = "Stop the installation?";
    return page;
}

const char* const variantBlock =
    "== page \"Halvex setup\"\n"
    "heading: Choose the edition.\n"
    "radio 1: (*) Standard\n"
    "radio 2: ( ) Professional\n"
    "text: The filters.\n"
    "back: < Back\n"
    "next: Next >\n"
    "cancel: Cancel\n";

}  // namespace

TEST(ConsoleTranscript, ChoicePageRadioThenNext) {
    Console console("radio 2\nnext\n");
    WizardPage page = variantPage();
    EXPECT_EQ(showPage(&page, false), 6);
    EXPECT_EQ(page.selected, 1);
    EXPECT_EQ(console.output(), std::string(variantBlock) +
                                    "== page \"Halvex setup\"\n"
                                    "heading: Choose the edition.\n"
                                    "radio 1: ( ) Standard\n"
                                    "radio 2: (*) Professional\n"
                                    "text: The filters\n"
                                    "text: and the batch tools.\n"
                                    "back: < Back\n"
                                    "next: Next >\n"
                                    "cancel: Cancel\n");
}

TEST(ConsoleTranscript, SkippedPageReturnsNextAndShowsNothing) {
    Console console("cancel\n");
    WizardPage page = variantPage();
    EXPECT_EQ(showPage(&page, true), 6);
    EXPECT_EQ(console.output(), "");
}

TEST(ConsoleTranscript, TemplateTextsAndHiddenControls) {
    Console console("back\n");
    WizardPage page;  // nothing set: template texts, the text box empty
    page.items = table({{"Only"}});
    EXPECT_EQ(showPage(&page, false), 5);
    EXPECT_EQ(console.output(),
              "== page \"\"\n"
              "heading: Static\n"
              "radio 1: (*) Only\n"
              "text: \n"
              "back: Back\n"
              "next: Next\n"
              "cancel: Cancel\n");
}

TEST(ConsoleTranscript, RejectedCommands) {
    Console console("next\nback\nradio 3\nradio 7\nradio\ncheck 1\nhelp\n\n  cancel  \n");
    WizardPage page;
    page.caption = "No host";
    page.headingText = "";
    page.items = table({{"Browse", "Point at the host."}, {"Quit", "End setup."}});
    page.backLabel = "";
    page.nextLabel = "";
    EXPECT_EQ(showPage(&page, false), 2);
    EXPECT_EQ(console.output(),
              "== page \"No host\"\n"
              "radio 1: (*) Browse\n"
              "radio 2: ( ) Quit\n"
              "text: Point at the host.\n"
              "cancel: Cancel\n"
              "?? next is hidden\n"
              "?? back is hidden\n"
              "?? radio 3 is hidden\n"
              "?? radio takes a number from 1 to 6\n"
              "?? radio takes a number from 1 to 6\n"
              "?? check 1 is hidden\n"
              "?? unknown command \"help\" (next, back, cancel, radio N, check N)\n"
              "?? no command (next, back, cancel, radio N, check N)\n");
}

TEST(ConsoleTranscript, CheckPageWithCancelQuestion) {
    Console console("check 2\ncancel\nno\ncheck 1\ncancel\nyes\n");
    WizardPage page;
    page.caption = "Hosts";
    page.headingText = "Install into:";
    page.checks = table({{"C:\\Host A"}, {"D:\\Host B"}});
    page.checked[0] = 1;
    page.editText = "";
    page.backLabel = "Back";
    page.nextLabel = "Install";
    page.cancelLabel = "Quit";
    page.cancelQuestion = "Really quit?";
    EXPECT_EQ(showPage(&page, false), 2);
    EXPECT_EQ(page.checked[0], 0);
    EXPECT_EQ(page.checked[1], 1);
    const auto block = [](char first, char second) {
        return std::string("== page \"Hosts\"\nheading: Install into:\ncheck 1: [") + first +
               "] C:\\Host A\ncheck 2: [" + second + "] D:\\Host B\nback: Back\nnext: Install\ncancel: Quit\n";
    };
    const std::string question = "== box \"Hosts\" icon=question buttons=yesno default=yes\ntext: Really quit?\n";
    EXPECT_EQ(console.output(), block('x', ' ') + block('x', 'x') + question + block(' ', 'x') + question);
}

TEST(ConsoleTranscript, EndOfInputCancelsWithoutTheQuestion) {
    Console console("radio 2\n");
    WizardPage page = variantPage();
    EXPECT_EQ(showPage(&page, false), 2);
    const std::string out = console.output();
    EXPECT_EQ(out.find("== box"), std::string::npos);
}

TEST(ConsoleTranscript, EndOfInputInTheQuestionTakesYes) {
    Console console("cancel");  // no line end, then the end of input
    WizardPage page = variantPage();
    EXPECT_EQ(showPage(&page, false), 2);
    EXPECT_NE(console.output().find("== box \"Halvex setup\""), std::string::npos);
}

TEST(ConsoleTranscript, TextPage) {
    Console console("next\n");
    WizardPage page;
    page.textOnly = 1;
    page.caption = "Licence";
    page.editText = "Line one.\r\nLine two.\r\n\r\nLast line.";
    page.backLabel = "< Back";
    page.nextLabel = "I agree";
    page.cancelLabel = "Cancel";
    EXPECT_EQ(showPage(&page, false), 6);
    EXPECT_EQ(console.output(),
              "== page \"Licence\"\n"
              "text: Line one.\n"
              "text: Line two.\n"
              "text: \n"
              "text: Last line.\n"
              "back: < Back\n"
              "next: I agree\n"
              "cancel: Cancel\n");
}

TEST(ConsoleBoxes, OkBoxReadsNothing) {
    Console console("next\n");
    EXPECT_EQ(uiMessageBox(nullptr, "Setup version error: v3.0", nullptr, boxIconHand), answerOk);
    EXPECT_EQ(uiMessageBox(nullptr, "Two\r\nlines", "Plug-in", boxOk), answerOk);
    EXPECT_EQ(uiMessageBox(nullptr, nullptr, "", boxOk), answerOk);
    EXPECT_EQ(console.output(),
              "== box \"Error\" icon=error buttons=ok default=ok\n"
              "text: Setup version error: v3.0\n"
              "== box \"Plug-in\" icon=none buttons=ok default=ok\n"
              "text: Two\n"
              "text: lines\n"
              "== box \"\" icon=none buttons=ok default=ok\n"
              "text: \n");
}

TEST(ConsoleBoxes, YesNoBoxes) {
    Console console("no\nmaybe\nyes\n\n");
    const unsigned question = boxYesNo | boxIconQuestion;
    EXPECT_EQ(uiMessageBox(nullptr, "Overwrite?", "Plug-in", question), answerNo);
    EXPECT_EQ(uiMessageBox(nullptr, "Overwrite?", "Plug-in", question | boxDefButton2), answerYes);
    EXPECT_EQ(uiMessageBox(nullptr, "Remove?", "Plug-in", question | boxDefButton2), answerNo);
    EXPECT_EQ(uiMessageBox(nullptr, "Remove?", "Plug-in", question), answerYes);  // empty line: the default
    EXPECT_EQ(console.output(),
              "== box \"Plug-in\" icon=question buttons=yesno default=yes\n"
              "text: Overwrite?\n"
              "== box \"Plug-in\" icon=question buttons=yesno default=no\n"
              "text: Overwrite?\n"
              "?? answer yes or no\n"
              "== box \"Plug-in\" icon=question buttons=yesno default=no\n"
              "text: Remove?\n"
              "== box \"Plug-in\" icon=question buttons=yesno default=yes\n"
              "text: Remove?\n");
}

TEST(ConsoleCursor, WaitAndArrow) {
    Console console("");
    uiSetCursor(cursorWait);
    uiSetCursor(cursorArrow);
    EXPECT_EQ(console.output(), "== cursor wait\n== cursor arrow\n");
}

// A relative path is taken from the current directory; a path that names no
// existing file is asked again, as the dialog's "file must exist" does.
TEST(ConsoleOpen, PathsBecomeFullExistingFiles) {
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir("/usr"), 0);
    Console console("bin/env\n/no/such.exe\n/usr\nC:\\h.exe\n/usr/bin/env\n\n");
    char buffer[512] = "";
    EXPECT_TRUE(uiOpenFileDialog(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/usr/bin/env");
    buffer[0] = '\0';
    EXPECT_TRUE(uiOpenFileDialog(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/usr/bin/env");
    EXPECT_FALSE(uiOpenFileDialog(nullptr, buffer, sizeof buffer));  // empty line
    EXPECT_STREQ(buffer, "/usr/bin/env");                            // untouched
    EXPECT_FALSE(uiOpenFileDialog(nullptr, buffer, sizeof buffer));  // end of input
    EXPECT_EQ(console.output(),
              "== open \"*.exe\"\n== open \"*.exe\"\n?? no such file: /no/such.exe\n?? no such file: /usr\n"
              "?? no such file: /usr/C:\\h.exe\n== open \"*.exe\"\n== open \"*.exe\"\n");
    ASSERT_EQ(chdir(saved), 0);
}

TEST(ConsoleOpen, TooLongPathIsAskedAgain) {
    Console console("/usr/bin/env\n/bin/sh\n");
    char buffer[10] = "";
    EXPECT_TRUE(uiOpenFileDialog(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/bin/sh");
    EXPECT_EQ(console.output(), "== open \"*.exe\"\n?? path longer than 9 characters\n");
}
