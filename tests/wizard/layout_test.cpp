// The platform-free wizard dialog: the pixel layout of every kind of page and
// where the dialog stands, which no transcript shows, and the few command
// rules the flow cases cannot reach.
#include <gtest/gtest.h>
#include <functional>
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

// Every visible control in template order as "id x,y wxh [*] text", the
// checked mark for radios and check boxes.
std::string shown(const DialogModel& dialog) {
    std::string out;
    for (const DialogControl& c : dialog.controls) {
        if (!c.visible) continue;
        out += std::to_string(c.id) + " " + std::to_string(c.x) + "," + std::to_string(c.y) + " " +
               std::to_string(c.width) + "x" + std::to_string(c.height) + (c.checked ? " *" : "") +
               (c.text.empty() ? "" : " " + c.text) + "\n";
    }
    return out;
}

}  // namespace

TEST(WizardLayout, EveryKindOfPage) {
    const std::string buttons = "5 290,265 75x23 Back\n6 365,265 75x23 Next\n2 474,265 75x23 Cancel\n";
    const std::string picture = "1009 0,0 181x327\n";
    const struct {
        const char* what;
        std::function<void(WizardPage&)> fill;
        std::string controls;
    } cases[] = {
        {"one radio item: the tall heading",
         [](WizardPage& p) {
             p.headingText = "Heading";
             p.items = table({{"Only", "Its description"}});
         },
         "1201 214,65 335x57 * Only\n" + buttons + picture + "1007 198,196 351x65 Its description\n" +
             "1008 198,16 351x163 Heading\n"},
        {"two radio items share 0.2 to 0.55; an absent heading keeps the template's",
         [](WizardPage& p) { p.items = table({{"One", "first"}, {"Two", "second"}}); },
         "1201 214,65 335x38 * One\n1202 214,103 335x38 Two\n" + buttons + picture +
             "1007 198,196 351x65 first\n1008 198,16 351x49 Static\n"},
        {"eight items: six radios at a ninth of 0.35 each",
         [](WizardPage& p) {
             for (int i = 0; i < 8; ++i) p.items.rows.push_back(TextRow{{"I" + std::to_string(i), "T"}});
         },
         "1201 214,65 335x12 * I0\n1202 214,78 335x12 I1\n1203 214,90 335x12 I2\n1204 214,103 335x12 I3\n"
         "1205 214,116 335x12 I4\n1206 214,128 335x12 I5\n" +
             buttons + picture + "1007 198,196 351x65 T\n1008 198,16 351x49 Static\n"},
        {"no items; an empty Back label hides Back",
         [](WizardPage& p) {
             p.headingText = "Welcome";
             p.editText = "Some text";
             p.backLabel = "";
         },
         "6 365,265 75x23 Next\n2 474,265 75x23 Cancel\n" + picture + "1007 198,196 351x65 Some text\n" +
             "1008 198,16 351x163 Welcome\n"},
        {"check items with their states; an empty label hides its box; radios win over checks",
         [](WizardPage& p) {
             p.checks = table({{"C:\\Host A"}, {""}, {"C:\\Host C"}});
             p.checked[0] = p.checked[1] = 1;
             p.editText = "";
         },
         buttons + picture + "1008 198,16 351x49 Static\n1101 214,65 335x28 * C:\\Host A\n" +
             "1103 214,122 335x28 C:\\Host C\n"},
        {"radio and check items: only the radios",
         [](WizardPage& p) {
             p.items = table({{"R1", "d1"}, {"R2", "d2"}});
             p.checks = table({{"C1"}});
             p.checked[0] = 1;
         },
         "1201 214,65 335x38 * R1\n1202 214,103 335x38 R2\n" + buttons + picture +
             "1007 198,196 351x65 d1\n1008 198,16 351x49 Static\n"},
        {"an absent radio label leaves its radio hidden",
         [](WizardPage& p) {
             p.items.rows.push_back(TextRow{{"A", "a"}});
             p.items.rows.push_back(TextRow{});
         },
         "1201 214,65 335x38 * A\n" + buttons + picture + "1007 198,196 351x65 a\n1008 198,16 351x49 Static\n"},
        {"the text page: one large text box, items ignored",
         [](WizardPage& p) {
             p.textOnly = 1;
             p.editText = "Terms";
             p.items = table({{"ignored", "ignored"}});
             p.nextLabel = "I agree";
         },
         "5 290,265 75x23 Back\n6 365,265 75x23 I agree\n2 474,265 75x23 Cancel\n1007 16,16 533x228 Terms\n"},
    };
    for (const auto& c : cases) {
        WizardPage page;
        c.fill(page);
        DialogModel dialog = testDialog();
        EXPECT_FALSE(dialogInit(dialog, &page));
        EXPECT_EQ(shown(dialog), c.controls) << c.what;
        EXPECT_EQ(currentPage(), &page);
        EXPECT_TRUE(dialog.repositionRequested);
        EXPECT_EQ(dialog.x, 211);
        EXPECT_EQ(dialog.y, 147);
        for (const DialogControl& control : dialog.controls) {
            if (control.visible && (control.id == idText || control.id == idHeading || control.id >= idFirstCheck)) {
                EXPECT_NE(control.changed & changedRect, 0u) << c.what << " " << control.id;
            }
        }
    }
}

// Centred on the reference, shifted left by a caption button (two thirds of
// one without a system menu), at a third of the free height, kept on screen.
TEST(WizardLayout, WhereThePageStands) {
    const struct {
        int left, top, right, bottom, width, height;
        bool systemMenu;
        int x, y;
    } cases[] = {
        {0, 0, 1024, 768, 566, 327, true, 211, 147},
        {0, 0, 1024, 768, 566, 327, false, 217, 147},
        {0, 0, 2000, 768, 566, 327, true, 1024 - 566, 147},    // off the right edge
        {100, 500, 700, 900, 566, 327, true, 99, 768 - 327},   // off the bottom
        {0, 0, 1024, 768, 1200, 900, true, 0, 0},              // larger than the screen
        {300, 100, 600, 200, 566, 327, true, 300 - 18, 100},   // a reference narrower than the dialog
    };
    for (const auto& c : cases) {
        DialogModel dialog = testDialog();
        dialog.screen.referenceLeft = c.left;
        dialog.screen.referenceTop = c.top;
        dialog.screen.referenceRight = c.right;
        dialog.screen.referenceBottom = c.bottom;
        dialog.width = c.width;
        dialog.height = c.height;
        dialog.hasSystemMenu = c.systemMenu;
        positionPage(dialog);
        EXPECT_EQ(dialog.x, c.x) << c.left << "," << c.top << " " << c.systemMenu;
        EXPECT_EQ(dialog.y, c.y) << c.left << "," << c.top;
        EXPECT_TRUE(dialog.moved);
    }
}

TEST(WizardLayout, TemplateTextRuleAndPlacement) {
    DialogModel dialog = templateDialog(6, 13);
    ASSERT_EQ(dialog.controls.size(), 17u);
    EXPECT_EQ(dialog.title, "Dialog");
    for (const DialogControl& control : dialog.controls) EXPECT_TRUE(control.visible && !control.checked);
    EXPECT_NE(shown(dialog).find("\n5 290,265 75x23 Back\n"), std::string::npos);  // dialog units at 6 x 13
    dialog = testDialog();
    setControlText(dialog, idBack, "");
    setControlText(dialog, idBack, nullptr);  // absent keeps it hidden
    EXPECT_FALSE(findControl(dialog, idBack)->visible);
    setControlText(dialog, idBack, "< Zurück");
    EXPECT_EQ(findControl(dialog, idBack)->changed, changedText | changedVisible);
    placeControl(dialog, idHeading, 0.35, 0.05, 0.5, 0.15, nullptr);  // cut towards zero
    const DialogControl& heading = *findControl(dialog, idHeading);
    EXPECT_EQ(std::to_string(heading.x) + "," + std::to_string(heading.y) + " " + std::to_string(heading.width) +
                  "x" + std::to_string(heading.height) + " " + heading.text,
              "198,16 283x49 Static");
    EXPECT_EQ(heading.changed, changedRect);
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
