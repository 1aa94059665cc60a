// The platform-free wizard dialog: layout in pixels, the text rule, showPage's
// skip and the command handling that needs no message box.
#include <gtest/gtest.h>
#include "wizard/dialog.h"
#include "wizard/page.h"

namespace {

// Outer size 566 x 327 (the console's metrics): no product of the layout falls
// on a whole number, so truncation is tested, not rounding noise.
DialogModel testDialog() {
    DialogModel dialog = templateDialog(6, 13);
    dialog.width = 566;
    dialog.height = 327;
    dialog.screen.captionButtonWidth = 18;
    dialog.screen.screenWidth = 1024;
    dialog.screen.screenHeight = 768;
    dialog.screen.referenceRight = 1024;
    dialog.screen.referenceBottom = 768;
    return dialog;
}

TextTable table(std::initializer_list<std::vector<std::string>> rows) {
    TextTable t;
    for (const auto& cells : rows) t.rows.push_back(TextRow{cells});
    return t;
}

struct Rect {
    int x, y, width, height;
};

Rect rectOf(const DialogModel& dialog, int id) {
    const DialogControl* c = findControl(dialog, id);
    return c ? Rect{c->x, c->y, c->width, c->height} : Rect{-1, -1, -1, -1};
}

#define EXPECT_RECT(dialog, id, X, Y, W, H)                    \
    do {                                                       \
        const Rect r = rectOf(dialog, id);                     \
        EXPECT_EQ(r.x, X) << "control " << id;                 \
        EXPECT_EQ(r.y, Y) << "control " << id;                 \
        EXPECT_EQ(r.width, W) << "control " << id;             \
        EXPECT_EQ(r.height, H) << "control " << id;            \
    } while (0)

bool visible(const DialogModel& dialog, int id) { return findControl(dialog, id)->visible; }
// The ids of the visible controls in template order: radio 1201-1206, Back 5,
// Next 6, Cancel 2, picture 1009, text box 1007, heading 1008, check 1101-1105.
std::string shown(const DialogModel& dialog) {
    std::string ids;
    for (const DialogControl& control : dialog.controls)
        if (control.visible) ids += (ids.empty() ? "" : " ") + std::to_string(control.id);
    return ids;
}
const std::string& text(const DialogModel& dialog, int id) { return findControl(dialog, id)->text; }
bool checked(const DialogModel& dialog, int id) { return findControl(dialog, id)->checked; }

}  // namespace

TEST(WizardTemplate, StartsAsTheTemplate) {
    const DialogModel dialog = templateDialog(6, 13);
    ASSERT_EQ(dialog.controls.size(), 17u);
    EXPECT_EQ(dialog.title, "Dialog");
    for (const DialogControl& control : dialog.controls) {
        EXPECT_TRUE(control.visible) << control.id;
        EXPECT_FALSE(control.checked) << control.id;
    }
    // Dialog units at base units 6 x 13: Back at (193, 163) 50 x 14.
    EXPECT_RECT(dialog, 5, 290, 265, 75, 23);
}

TEST(WizardTextRule, AbsentEmptyAndText) {
    DialogModel dialog = testDialog();
    setControlText(dialog, 5, nullptr);
    EXPECT_TRUE(visible(dialog, 5));
    EXPECT_EQ(text(dialog, 5), "Back");
    setControlText(dialog, 5, "");
    EXPECT_FALSE(visible(dialog, 5));
    setControlText(dialog, 5, nullptr);  // absent keeps it hidden
    EXPECT_FALSE(visible(dialog, 5));
    setControlText(dialog, 5, "< Zurück");
    EXPECT_TRUE(visible(dialog, 5));
    EXPECT_EQ(text(dialog, 5), "< Zurück");
    EXPECT_NE(findControl(dialog, 5)->changed & changedText, 0u);
    EXPECT_NE(findControl(dialog, 5)->changed & changedVisible, 0u);
}

TEST(WizardPlaceControl, CutsTowardsZeroAndKeepsTextWhenNone) {
    DialogModel dialog = testDialog();
    placeControl(dialog, 1008, 0.35, 0.05, 0.5, 0.15, nullptr);
    EXPECT_RECT(dialog, 1008, 198, 16, 283, 49);
    EXPECT_EQ(text(dialog, 1008), "Static");
    EXPECT_TRUE(visible(dialog, 1008));
    placeControl(dialog, 1008, 0.35, 0.05, 0.5, 0.15, "");
    EXPECT_FALSE(visible(dialog, 1008));
}

TEST(WizardPositionPage, CentresShiftedLeftAtAThird) {
    DialogModel dialog = testDialog();
    positionPage(dialog);
    EXPECT_EQ(dialog.x, (1024 - 566) / 2 - 18);  // 211
    EXPECT_EQ(dialog.y, (768 - 327) / 3);        // 147
    EXPECT_TRUE(dialog.moved);
}

TEST(WizardPositionPage, WithoutSystemMenuTheShiftIsTwoThirds) {
    DialogModel dialog = testDialog();
    dialog.hasSystemMenu = false;
    positionPage(dialog);
    EXPECT_EQ(dialog.x, 229 - (18 - 18 / 3));  // 217
}

TEST(WizardPositionPage, ClampsToTheScreen) {
    DialogModel dialog = testDialog();
    // A reference wider than the screen: x would run off the right edge.
    dialog.screen.referenceRight = 2000;
    positionPage(dialog);
    EXPECT_EQ(dialog.x, 1024 - 566);
    // A reference low on the screen: y would run off the bottom.
    dialog.screen.referenceLeft = 100;
    dialog.screen.referenceRight = 700;
    dialog.screen.referenceTop = 500;
    dialog.screen.referenceBottom = 900;
    positionPage(dialog);
    EXPECT_EQ(dialog.x, 100 + (600 - 566) / 2 - 18);  // 99
    EXPECT_EQ(dialog.y, 768 - 327);
    // A dialog larger than the screen: not below 0.
    dialog.width = 1200;
    dialog.height = 900;
    dialog.screen.referenceLeft = dialog.screen.referenceTop = 0;
    dialog.screen.referenceRight = 1024;
    dialog.screen.referenceBottom = 768;
    positionPage(dialog);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    // A reference narrower than the dialog: no centring, only the shift.
    dialog.width = 566;
    dialog.height = 327;
    dialog.screen.referenceLeft = 300;
    dialog.screen.referenceRight = 600;
    dialog.screen.referenceTop = 100;
    dialog.screen.referenceBottom = 200;
    positionPage(dialog);
    EXPECT_EQ(dialog.x, 300 - 18);
    EXPECT_EQ(dialog.y, 100);
}

TEST(WizardChoicePage, OneRadioItemGetsTheTallHeading) {
    WizardPage page;
    page.caption = "Title";
    page.headingText = "Heading";
    page.items = table({{"Only", "Its description"}});
    DialogModel dialog = testDialog();
    EXPECT_FALSE(dialogInit(dialog, &page));
    EXPECT_EQ(currentPage(), &page);
    EXPECT_EQ(dialog.title, "Title");
    EXPECT_TRUE(dialog.repositionRequested);
    EXPECT_EQ(dialog.x, 211);
    EXPECT_EQ(dialog.y, 147);
    EXPECT_RECT(dialog, 1009, 0, 0, 181, 327);
    EXPECT_RECT(dialog, 1008, 198, 16, 351, 163);  // height 0.5
    EXPECT_RECT(dialog, 1007, 198, 196, 351, 65);
    EXPECT_RECT(dialog, 1201, 214, 65, 335, 57);  // step 0.35 / 2
    EXPECT_EQ(shown(dialog), "1201 5 6 2 1009 1007 1008");
    EXPECT_TRUE(checked(dialog, 1201));
    EXPECT_EQ(text(dialog, 1201), "Only");
    EXPECT_EQ(text(dialog, 1007), "Its description");
    EXPECT_EQ(text(dialog, 1008), "Heading");
    // Absent button labels keep the template's texts; buttons keep their place.
    EXPECT_EQ(text(dialog, 5), "Back");
    EXPECT_RECT(dialog, 6, 365, 265, 75, 23);
}

TEST(WizardChoicePage, TwoRadioItemsShareTwoTenthsToFiftyFiveHundredths) {
    WizardPage page;
    page.items = table({{"One", "first"}, {"Two", "second"}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_RECT(dialog, 1008, 198, 16, 351, 49);  // height 0.15
    EXPECT_RECT(dialog, 1201, 214, 65, 335, 38);   // y 0.2, height 0.35 / 3
    EXPECT_RECT(dialog, 1202, 214, 103, 335, 38);  // y 0.2 + 0.35 / 3
    // Together they end at 0.55 of the height (179.85 px).
    EXPECT_LE(rectOf(dialog, 1202).y + rectOf(dialog, 1202).height, 180);
    EXPECT_EQ(shown(dialog), "1201 1202 5 6 2 1009 1007 1008");
    EXPECT_TRUE(checked(dialog, 1201));
    EXPECT_FALSE(checked(dialog, 1202));
    // An absent heading leaves the template's "Static".
    EXPECT_EQ(text(dialog, 1008), "Static");
}

TEST(WizardChoicePage, NoItemsShowsNoRadioOrCheckAndTheEditText) {
    WizardPage page;
    page.headingText = "Welcome";
    page.editText = "Some text";
    page.backLabel = "";
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(shown(dialog), "6 2 1009 1007 1008");  // an empty Back label hides Back
    EXPECT_RECT(dialog, 1008, 198, 16, 351, 163);
    EXPECT_EQ(text(dialog, 1007), "Some text");

    WizardPage empty;
    empty.editText = "";
    DialogModel second = testDialog();
    dialogInit(second, &empty);
    EXPECT_FALSE(visible(second, 1007));
    EXPECT_EQ(second.title, "");  // an absent caption gives an empty title
}

TEST(WizardChoicePage, MoreThanSixRadioItems) {
    WizardPage page;
    for (int i = 0; i < 8; ++i)
        page.items.rows.push_back(TextRow{{"Item " + std::to_string(i), "Text " + std::to_string(i)}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    // step = 0.35 / 9, shared by eight items of which six show.
    EXPECT_EQ(shown(dialog), "1201 1202 1203 1204 1205 1206 5 6 2 1009 1007 1008");
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(text(dialog, 1201 + i), "Item " + std::to_string(i));
        EXPECT_EQ(rectOf(dialog, 1201 + i).height, 12);
    }
    EXPECT_EQ(rectOf(dialog, 1201).y, 65);
    EXPECT_EQ(rectOf(dialog, 1206).y, static_cast<int>(327 * (0.2 + 5 * (0.35 / 9))));
    // The seventh and eighth have no control: no command can choose them.
    const CommandOutcome outcome = dialogCommand(dialog, 1206, 0);
    EXPECT_EQ(outcome.endWith, 0);
    EXPECT_EQ(page.selected, 5);
    EXPECT_EQ(text(dialog, 1007), "Text 5");
}

TEST(WizardChoicePage, RadioAndCheckItemsShowOnlyTheRadioItems) {
    WizardPage page;
    page.items = table({{"R1", "d1"}, {"R2", "d2"}});
    page.checks = table({{"C1"}, {"C2"}});
    page.checked[0] = 1;
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(shown(dialog), "1201 1202 5 6 2 1009 1007 1008");
    EXPECT_FALSE(checked(dialog, 1101));
}

TEST(WizardChoicePage, CheckItemsWithTheirStates) {
    WizardPage page;
    page.checks = table({{"C:\\Host A"}, {""}, {"C:\\Host C"}});
    page.checked[0] = 1;
    page.checked[1] = 1;
    page.checked[2] = 0;
    page.editText = "";
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    // step 0.35 / 4.
    EXPECT_RECT(dialog, 1101, 214, 65, 335, 28);
    EXPECT_RECT(dialog, 1103, 214, 122, 335, 28);
    EXPECT_EQ(shown(dialog), "5 6 2 1009 1008 1101 1103");  // an empty label hides its box
    EXPECT_TRUE(checked(dialog, 1101));
    EXPECT_TRUE(checked(dialog, 1102));
    EXPECT_FALSE(checked(dialog, 1103));
    EXPECT_EQ(text(dialog, 1103), "C:\\Host C");

    dialogCommand(dialog, 1103, 0);
    EXPECT_EQ(page.checked[2], 1);
    EXPECT_TRUE(checked(dialog, 1103));
    dialogCommand(dialog, 1101, 0);
    EXPECT_EQ(page.checked[0], 0);
    EXPECT_FALSE(checked(dialog, 1101));
}

TEST(WizardChoicePage, AbsentRadioLabelLeavesThatRadioHidden) {
    WizardPage page;
    page.items.rows.push_back(TextRow{{"A", "a"}});
    page.items.rows.push_back(TextRow{});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(shown(dialog), "1201 5 6 2 1009 1007 1008");
    EXPECT_EQ(text(dialog, 1202), "Radio2");
    EXPECT_RECT(dialog, 1202, 214, 103, 335, 38);
}

TEST(WizardTextPage, OneLargeTextBox) {
    WizardPage page;
    page.textOnly = 1;
    page.caption = "Licence";
    page.editText = "Terms";
    page.items = table({{"ignored", "ignored"}});
    page.nextLabel = "I agree";
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(dialog.title, "Licence");
    EXPECT_EQ(dialog.x, 211);
    EXPECT_RECT(dialog, 1007, 16, 16, 533, 228);
    EXPECT_EQ(shown(dialog), "5 6 2 1007");
    EXPECT_EQ(text(dialog, 1007), "Terms");
    EXPECT_EQ(text(dialog, 6), "I agree");
    EXPECT_EQ(text(dialog, 5), "Back");
}

TEST(WizardCommands, ButtonsEndTheDialog) {
    WizardPage page;
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(dialogCommand(dialog, 6, 0).endWith, 6);
    EXPECT_EQ(dialogCommand(dialog, 5, 0).endWith, 5);
    const CommandOutcome cancel = dialogCommand(dialog, 2, 0);
    EXPECT_EQ(cancel.endWith, 2);  // no question: at once
    EXPECT_TRUE(cancel.handled);
    page.cancelQuestion = "";  // an empty question asks nothing either
    EXPECT_EQ(dialogCommand(dialog, 2, 0).endWith, 2);
    // Other notification codes and other ids do nothing, handled.
    const CommandOutcome other = dialogCommand(dialog, 6, 1);
    EXPECT_EQ(other.endWith, 0);
    EXPECT_TRUE(other.handled);
    EXPECT_EQ(dialogCommand(dialog, 1009, 0).endWith, 0);
    EXPECT_EQ(dialogCommand(dialog, 1, 0).endWith, 0);
}

TEST(WizardCommands, ChoosingAnItemMovesItsDescriptionIntoTheTextBox) {
    WizardPage page;
    page.items = table({{"A", "first"}, {"B", "second"}, {"C", "third"}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_EQ(text(dialog, 1007), "first");
    dialogCommand(dialog, 1203, 0);
    EXPECT_EQ(page.selected, 2);
    EXPECT_EQ(text(dialog, 1007), "third");
    EXPECT_TRUE(visible(dialog, 1007));
    EXPECT_TRUE(checked(dialog, 1203));
    EXPECT_FALSE(checked(dialog, 1201));
    // A notification code other than 0 chooses nothing.
    dialogCommand(dialog, 1202, 5);
    EXPECT_EQ(page.selected, 2);
}

TEST(WizardCommands, HiddenTextBoxStaysHiddenWhenItemZeroHasNoDescription) {
    WizardPage page;
    page.editText = " ";
    page.items = table({{"A", ""}, {"B", "second"}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    EXPECT_FALSE(visible(dialog, 1007));
    dialogCommand(dialog, 1202, 0);
    EXPECT_EQ(page.selected, 1);
    EXPECT_EQ(text(dialog, 1007), "second");  // put in unseen
    EXPECT_FALSE(visible(dialog, 1007));
}

TEST(WizardCommands, ShowingAgainResetsSelectedButKeepsChecked) {
    WizardPage page;
    page.items = table({{"A", "a"}, {"B", "b"}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    dialogCommand(dialog, 1202, 0);
    EXPECT_EQ(page.selected, 1);
    DialogModel again = testDialog();
    dialogInit(again, &page);
    EXPECT_EQ(page.selected, 0);
    EXPECT_EQ(text(again, 1007), "a");

    WizardPage hosts;
    hosts.checks = table({{"A"}, {"B"}});
    DialogModel first = testDialog();
    dialogInit(first, &hosts);
    dialogCommand(first, 1102, 0);
    DialogModel second = testDialog();
    dialogInit(second, &hosts);
    EXPECT_TRUE(checked(second, 1102));
    EXPECT_EQ(hosts.checked[1], 1);
}
