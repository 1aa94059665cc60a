// The platform-free wizard dialog: the pixel layout of every kind of page and
// where the dialog stands, which no transcript shows, and the few command
// rules the flow cases cannot reach.
#include <gtest/gtest.h>
#include <string>
#include "platform/dialog.h"
#include "platform/ui.h"

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

// A control as "id x,y wxh [*] text", the checked mark for radios and check boxes.
std::string shown(const DialogControl& c) {
    return std::to_string(c.id) + " " + std::to_string(c.x) + "," + std::to_string(c.y) + " " +
           std::to_string(c.width) + "x" + std::to_string(c.height) + (c.checked ? " *" : "") +
           (c.text.empty() ? "" : " " + c.text) + "\n";
}

// Every visible control in template order.
std::string shown(const DialogModel& dialog) {
    std::string out;
    for (const DialogControl& c : dialog.controls) out += c.visible ? shown(c) : "";
    return out;
}

}  // namespace

TEST(WizardLayout, EveryKindOfPage) {
    const std::string buttons = "5 290,265 75x23 Back\n6 365,265 75x23 Next\n2 474,265 75x23 Cancel\n";
    const std::string picture = "1009 0,0 181x327\n";
    // The page's texts (null: absent), items, checks and how many are checked, and what shows.
    const struct {
        const char *what, *heading, *edit, *back, *next;
        TextTable items, checks;
        int checked;
        bool textOnly;
        std::string controls;
    } cases[] = {
        {"one radio item: the tall heading", "Heading", nullptr, nullptr, nullptr,
         table({{"Only", "Its description"}}), {}, 0, false,
         "1201 214,65 335x57 * Only\n" + buttons + picture + "1007 198,196 351x65 Its description\n" +
             "1008 198,16 351x163 Heading\n"},
        {"two radio items share 0.2 to 0.55; an absent heading keeps the template's", nullptr, nullptr, nullptr,
         nullptr, table({{"One", "first"}, {"Two", "second"}}), {}, 0, false,
         "1201 214,65 335x38 * One\n1202 214,103 335x38 Two\n" + buttons + picture +
             "1007 198,196 351x65 first\n1008 198,16 351x49 Static\n"},
        {"eight items: six radios at a ninth of 0.35 each", nullptr, nullptr, nullptr, nullptr,
         table({{"I0", "T"}, {"I1", "T"}, {"I2", "T"}, {"I3", "T"}, {"I4", "T"}, {"I5", "T"}, {"I6", "T"},
                {"I7", "T"}}), {}, 0, false,
         "1201 214,65 335x12 * I0\n1202 214,78 335x12 I1\n1203 214,90 335x12 I2\n1204 214,103 335x12 I3\n"
         "1205 214,116 335x12 I4\n1206 214,128 335x12 I5\n" +
             buttons + picture + "1007 198,196 351x65 T\n1008 198,16 351x49 Static\n"},
        {"no items; an empty Back label hides Back", "Welcome", "Some text", "", nullptr, {}, {}, 0, false,
         "6 365,265 75x23 Next\n2 474,265 75x23 Cancel\n" + picture + "1007 198,196 351x65 Some text\n" +
             "1008 198,16 351x163 Welcome\n"},
        {"check items with their states; an empty label hides its box", nullptr, "", nullptr, nullptr, {},
         table({{"C:\\Host A"}, {""}, {"C:\\Host C"}}), 2, false,
         buttons + picture + "1008 198,16 351x49 Static\n1101 214,65 335x28 * C:\\Host A\n" +
             "1103 214,122 335x28 C:\\Host C\n"},
        {"radio and check items: only the radios", nullptr, nullptr, nullptr, nullptr,
         table({{"R1", "d1"}, {"R2", "d2"}}), table({{"C1"}}), 1, false,
         "1201 214,65 335x38 * R1\n1202 214,103 335x38 R2\n" + buttons + picture +
             "1007 198,196 351x65 d1\n1008 198,16 351x49 Static\n"},
        {"an absent radio label leaves its radio hidden", nullptr, nullptr, nullptr, nullptr, table({{"A", "a"}, {}}),
         {}, 0, false,
         "1201 214,65 335x38 * A\n" + buttons + picture + "1007 198,196 351x65 a\n1008 198,16 351x49 Static\n"},
        {"the text page: one large text box, items ignored", nullptr, "Terms", nullptr, "I agree",
         table({{"ignored", "ignored"}}), {}, 0, true,
         "5 290,265 75x23 Back\n6 365,265 75x23 I agree\n2 474,265 75x23 Cancel\n1007 16,16 533x228 Terms\n"},
    };
    for (const auto& c : cases) {
        WizardPage page;
        page.headingText = c.heading;
        page.editText = c.edit;
        page.backLabel = c.back;
        page.nextLabel = c.next;
        page.items = c.items;
        page.checks = c.checks;
        for (int i = 0; i < c.checked; ++i) page.checked[i] = 1;
        page.textOnly = c.textOnly;
        DialogModel dialog = testDialog();
        EXPECT_FALSE(dialogInit(dialog, &page));
        EXPECT_EQ(shown(dialog), c.controls) << c.what;
        EXPECT_TRUE(currentPage() == &page && dialog.repositionRequested) << c.what;
        EXPECT_EQ(std::to_string(dialog.x) + "," + std::to_string(dialog.y), "211,147") << c.what;
        for (const DialogControl& control : dialog.controls) {
            const bool placed = control.id == idText || control.id == idHeading || control.id >= idFirstCheck;
            EXPECT_TRUE(!control.visible || !placed || (control.changed & changedRect)) << c.what << " " << control.id;
        }
    }
}

// Centred on the reference, shifted left by a caption button (two thirds of
// one without a system menu), at a third of the free height, kept on screen.
TEST(WizardLayout, WhereThePageStands) {
    const struct { int left, top, right, bottom, width, height; bool systemMenu; int x, y; } cases[] = {
        {0, 0, 1024, 768, 566, 327, true, 211, 147},
        {0, 0, 1024, 768, 566, 327, false, 217, 147},
        {0, 0, 2000, 768, 566, 327, true, 1024 - 566, 147},    // off the right edge
        {100, 500, 700, 900, 566, 327, true, 99, 768 - 327},   // off the bottom
        {0, 0, 1024, 768, 1200, 900, true, 0, 0},              // larger than the screen
        {300, 100, 600, 200, 566, 327, true, 300 - 18, 100},   // a reference narrower than the dialog
    };
    for (const auto& c : cases) {
        DialogModel dialog = testDialog();
        dialog.screen = {18, 1024, 768, c.left, c.top, c.right, c.bottom};
        dialog.width = c.width;
        dialog.height = c.height;
        dialog.hasSystemMenu = c.systemMenu;
        positionPage(dialog);
        const std::string at = std::to_string(dialog.x) + "," + std::to_string(dialog.y);
        EXPECT_EQ(at, std::to_string(c.x) + "," + std::to_string(c.y)) << c.left << "," << c.top << " " << c.systemMenu;
        EXPECT_TRUE(dialog.moved);
    }
}

// Commands: the buttons end the dialog, other codes and ids do nothing; a
// chosen item's description goes into the text box, unseen when item 0 had
// none; showing a page again starts at item 0 but keeps the check states.
TEST(WizardLayout, Commands) {
    WizardPage page;
    page.editText = " ";
    page.items = table({{"A", ""}, {"B", "second"}});
    page.checks = table({{"H1"}, {"H2"}});
    DialogModel dialog = testDialog();
    dialogInit(dialog, &page);
    for (int id : {int(idNext), int(idBack), int(idCancel)}) EXPECT_EQ(dialogCommand(dialog, id, 0).endWith, id);
    for (int id : {int(idPicture), 1, idFirstRadio + 6}) EXPECT_EQ(dialogCommand(dialog, id, 0).endWith, 0);
    EXPECT_EQ(dialogCommand(dialog, idNext, 1).endWith, 0);
    dialogCommand(dialog, idFirstRadio + 1, 5);  // not a click: nothing chosen
    EXPECT_EQ(page.selected, 0);
    dialogCommand(dialog, idFirstRadio + 1, 0);
    EXPECT_EQ(page.selected, 1);
    EXPECT_EQ(findControl(dialog, idText)->text, "second");
    EXPECT_FALSE(findControl(dialog, idText)->visible);
    EXPECT_TRUE(findControl(dialog, idFirstRadio + 1)->checked);
    EXPECT_FALSE(findControl(dialog, idFirstRadio)->checked);
    page.items = TextTable{};
    dialogInit(dialog, &page);
    dialogCommand(dialog, idFirstCheck + 1, 0);
    EXPECT_EQ(page.checked[1], 1);
    DialogModel again = testDialog();
    dialogInit(again, &page);
    EXPECT_EQ(page.selected, 0);
    EXPECT_TRUE(findControl(again, idFirstCheck + 1)->checked);
    dialogCommand(again, idFirstCheck + 1, 0);
    EXPECT_EQ(page.checked[1], 0);
}
