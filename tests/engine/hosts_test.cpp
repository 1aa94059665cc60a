// Host discovery from a hive, the host step, the no-host page, the file-open
// dialog and the engine's message boxes, through the recording UI.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "engine/files.h"
#include "engine/hosts.h"
#include "fake_ui.h"
#include "support.h"
#include "variant_fixture.h"

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// A hive builder: sections under HKEY_LOCAL_MACHINE\SOFTWARE\Vendor\Host.
class Hive {
public:
    Hive& key(const std::string& path) {
        text_ += "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Host" + (path.empty() ? "" : "\\" + path) + "]\n";
        return *this;
    }
    Hive& value(const std::string& name, const std::string& data) {
        text_ += (name.empty() ? std::string("@") : "\"" + escaped(name) + "\"") + "=\"" + escaped(data) + "\"\n";
        return *this;
    }
    // A host key with a plug-in key (default value plug when not empty) and an
    // application subkey holding app.
    Hive& host(const std::string& name, const std::string& plug, const std::string& app) {
        key(name + "\\PluginPath");
        if (!plug.empty()) value("", plug);
        return key(name + "\\ApplicationPath").value("", app);
    }
    std::string text() const { return "Windows Registry Editor Version 5.00\n" + text_; }

private:
    std::string text_;
};

class HostsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeUi::reset();
        table = HostTable{};
    }
    void TearDown() override { useNoHive(); }
    void use(const Hive& hive) { useHive(dir, hive.text()); }

    TempDir dir;
    VariantFixture fixture;
    HostTable table;
};

TEST_F(HostsTest, OnlyTheFirstFiveHostKeysCount) {
    Hive hive;
    for (const char* name : {"f", "B", "d", "a", "C", "e"}) hive.host(name, "P", std::string("App") + name);
    use(hive);
    discoverHosts(table, &fixture.variant);
    ASSERT_EQ(table.hostCount, 5);
    const char* expected[] = {"Appa\\", "AppB\\", "AppC\\", "Appd\\", "Appe\\"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(table.entries[i].appDir, expected[i]);
        EXPECT_STREQ(table.entries[i].plugDir, "P\\");
        EXPECT_EQ(table.entries[i].kind, hostAppAndPlugDir);
        EXPECT_EQ(table.entries[i].checked, 1);
    }
    EXPECT_EQ(fakeUi::cursors, std::vector<int>{cursorWait});
    EXPECT_TRUE(fakeUi::boxes.empty());
}

// Each slot as "kind appDir|plugDir" (kinds: 0 none, 1 appOnly, 2 both; a
// slot of kind none is never installed into, so its plug-in directory is not shown).
std::string slots(const HostTable& table) {
    std::string out;
    for (int i = 0; i < table.hostCount; ++i) {
        const HostEntry& entry = table.entries[i];
        out += (i ? "; " : "") + std::to_string(entry.kind) + " " + entry.appDir;
        if (entry.kind != hostNone) out += "|" + std::string(entry.plugDir);
    }
    return out;
}

// A missing plug-in key, a plug-in key without default value (appOnly), the
// application directory as a value, trailing backslashes, texts and key names
// that do not fit (their slot stays, never opened).
TEST_F(HostsTest, DiscoveryFillsTheSlotsFromTheHive) {
    const std::string tooLong(511, 'x'), fits(510, 'y');  // 511 and a backslash do not fit in 512 with the NUL
    const struct {
        Hive hive;
        std::string slots;
    } cases[] = {
        {Hive().key("7.0\\ApplicationPath").value("", "C:\\App"), ""},
        {Hive().host("7.0", "", "C:\\App"), "1 C:\\App\\|"},
        {Hive().key("7.0\\PluginPath").value("", "C:\\Plug\\").key("7.0").value("applicationpath", "C:\\App\\"),
         "2 C:\\App\\|C:\\Plug\\"},
        // Empty texts and roots are not found: a host there would be a whole drive.
        {Hive().host("1", "C:\\Plug\\", "").host("2", "C:\\Plug", "D:\\App\\").host("3", "P", "C:").host("4", "P", "/"),
         "0 ; 2 D:\\App\\|C:\\Plug\\; 0 ; 0 "},
        {Hive().host("1", "X:\\", "D:\\App").host("2", "/", "D:\\B\\").host("3", "P\\..", "D:\\C\\..\\C")
             .host("4", "\\\\srv\\share", "\\\\srv\\share\\app\\..\\."),
         "1 D:\\App\\|; 1 D:\\B\\|; 1 D:\\C\\..\\C\\|; 0 "},
        {Hive().host("1", "C:\\Plug", tooLong).host("2", "C:\\Plug", fits), "0 ; 2 " + fits + "\\|C:\\Plug\\"},
        {Hive().host(std::string(300, 'a'), "P", "A").host("b", "P", "B"), "0 ; 2 B\\|P\\"},
    };
    for (const auto& c : cases) {
        table = HostTable{};
        use(c.hive);
        discoverHosts(table, &fixture.variant);
        EXPECT_EQ(slots(table), c.slots) << c.hive.text();
        EXPECT_EQ(table.entries[table.hostCount].kind, hostNone);
        EXPECT_STREQ(table.entries[table.hostCount].appDir, "");
    }
    EXPECT_STREQ(table.entries[1].label, "B\\");  // the page drops the backslash
}

TEST_F(HostsTest, AMissingRootKeyShowsMessageZeroThenTheNoHostPage) {
    use(Hive());
    fakeUi::pageReplies.push_back(PageReply{resultCancel, 0, {}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultCancel);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "No host registry");
    EXPECT_EQ(fakeUi::boxes[0].caption, "Filter Setup");
    EXPECT_EQ(fakeUi::boxes[0].style, static_cast<unsigned>(boxOk));
    ASSERT_EQ(fakeUi::pages.size(), 1u);
    const RecordedPage& page = fakeUi::pages[0];
    EXPECT_EQ(page.heading, "No host found");
    EXPECT_EQ(page.edit, " ");
    EXPECT_TRUE(page.hasBack);
    EXPECT_EQ(page.back, "");
    EXPECT_EQ(page.next, "Next >");
    EXPECT_EQ(page.cancel, "Cancel");
    EXPECT_EQ(page.question, "Really cancel?");
    ASSERT_EQ(page.items.size(), 2u);
    EXPECT_EQ(page.items[0], (std::vector<std::string>{"Browse", "Point at the host's program"}));
    EXPECT_EQ(page.items[1], (std::vector<std::string>{"Quit", "End the installer"}));
}

TEST_F(HostsTest, ASingleHostIsInstalledIntoWithoutAPage) {
    use(Hive().host("7.0", "C:\\Plug", "C:\\App"));
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultNext);
    EXPECT_TRUE(fakeUi::pages.empty());
    EXPECT_EQ(table.hostCount, 1);
    EXPECT_EQ(table.entries[0].checked, 1);
}

TEST_F(HostsTest, TheChoicePageHidesAHostWithoutApplicationDirectory) {
    use(Hive().host("1", "C:\\Plug", "C:\\App\\").key("2\\PluginPath").value("", "C:\\Other"));
    fakeUi::pageReplies.push_back(PageReply{resultNext, 0, {1, 1, 0, 0, 0}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultNext);
    ASSERT_EQ(table.hostCount, 2);
    ASSERT_EQ(fakeUi::pages.size(), 1u);
    const RecordedPage& page = fakeUi::pages[0];
    EXPECT_EQ(page.caption, "Filter Setup");
    EXPECT_EQ(page.heading, "Choose the hosts");
    EXPECT_TRUE(page.hasEdit);
    EXPECT_EQ(page.edit, "");
    EXPECT_EQ(page.back, "< Back");
    ASSERT_EQ(page.checks.size(), 2u);
    EXPECT_EQ(page.checks[0], std::vector<std::string>{"C:\\App"});
    EXPECT_EQ(page.checks[1], std::vector<std::string>{""});
    EXPECT_EQ(page.checked[0], 1);
    EXPECT_EQ(table.entries[1].kind, hostNone);
    EXPECT_STREQ(table.entries[0].appDir, "C:\\App\\");
    EXPECT_STREQ(table.entries[0].label, "C:\\App");
    EXPECT_EQ(table.entries[1].checked, 1);  // copied back from the page, installing still skips it
}

TEST_F(HostsTest, TwoHostsWithTheSameDirectoryAreNotMerged) {
    use(Hive().host("6.0", "P", "C:\\Same").host("7.0", "P", "C:\\Same"));
    fakeUi::pageReplies.push_back(PageReply{resultNext, 0, {0, 1, 0, 0, 0}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultNext);
    ASSERT_EQ(fakeUi::pages.size(), 1u);
    EXPECT_EQ(fakeUi::pages[0].checks[0], fakeUi::pages[0].checks[1]);
    EXPECT_EQ(table.entries[0].checked, 0);
    EXPECT_EQ(table.entries[1].checked, 1);
}

TEST_F(HostsTest, BackAndCancelOnTheChoicePage) {
    use(Hive().host("6.0", "P", "A").host("7.0", "P", "B"));
    fakeUi::pageReplies.push_back(PageReply{resultBack, 0, {0, 0, 0, 0, 0}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultBack);
    EXPECT_EQ(table.entries[0].checked, 1);  // not copied back
    fakeUi::pageReplies.push_back(PageReply{resultDialogFailed, 0, {}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultCancel);
}

TEST_F(HostsTest, NextWithTheSecondItemEndsLikeCancel) {
    use(Hive());
    fakeUi::pageReplies.push_back(PageReply{resultNext, 1, {}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultCancel);
    EXPECT_TRUE(fakeUi::dialogReplies.empty());
}

TEST_F(HostsTest, ABrowsedFileGivesItsDirectory) {
    useNoHive();
    fakeUi::pageReplies.push_back(PageReply{resultNext, 0, {}});
    fakeUi::dialogReplies.push_back({true, "D:\\Tools\\Host\\host.exe"});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultNext);
    EXPECT_EQ(table.hostCount, 1);
    EXPECT_STREQ(table.entries[0].appDir, "D:\\Tools\\Host\\");
    EXPECT_STREQ(table.entries[0].label, "D:\\Tools\\Host\\");
    EXPECT_STREQ(table.entries[0].plugDir, "");
    EXPECT_EQ(table.entries[0].kind, hostAppOnly);
    EXPECT_EQ(table.entries[0].checked, 1);
    EXPECT_EQ(fakeUi::pages.size(), 1u);  // no choice page for one host
}

// A program at a root, or named without a directory, would make a whole
// drive (or the current directory) the host: no file is chosen.
TEST_F(HostsTest, AFileAtARootIsNoChoice) {
    for (const char* path : {"C:\\host.exe", "/host.exe", "host.exe", "\\\\srv\\share\\host.exe"}) {
        fakeUi::dialogReplies.push_back({true, path});
        char buffer[512] = "untouched";
        EXPECT_FALSE(browseForHost(nullptr, buffer, sizeof buffer)) << path;
        EXPECT_STREQ(buffer, "") << path;
    }
}

TEST_F(HostsTest, ACancelledDialogStillGoesOnWithNoHost) {
    useNoHive();
    fakeUi::pageReplies.push_back(PageReply{resultNext, 0, {}});
    EXPECT_EQ(chooseHosts(&fixture.variant, nullptr, nullptr, table), resultNext);
    EXPECT_EQ(table.hostCount, 0);
}

TEST_F(HostsTest, TheDialogLeavesTheCurrentDirectoryAsItWas) {
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    fakeUi::duringDialog = [this] { ASSERT_EQ(chdir(dir.path().c_str()), 0); };
    fakeUi::dialogReplies.push_back({true, "/opt/host/host.exe"});
    char buffer[512] = "";
    EXPECT_TRUE(browseForHost(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/opt/host/");
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof after), nullptr);
    EXPECT_STREQ(after, before);
    fakeUi::duringDialog = [this] { ASSERT_EQ(chdir(dir.path().c_str()), 0); };
    strcpy(buffer, "untouched");
    EXPECT_FALSE(browseForHost(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "untouched");
    ASSERT_NE(getcwd(after, sizeof after), nullptr);
    EXPECT_STREQ(after, before);
}

TEST_F(HostsTest, AbsentKeyNamesFindNothing) {
    use(Hive().host("7.0", "P", "A"));
    fixture.variant.pluginRegistryKey.rows.clear();
    discoverHosts(table, &fixture.variant);
    EXPECT_EQ(table.hostCount, 0);
    EXPECT_TRUE(fakeUi::boxes.empty());
    fixture.variant.adobeRegistryKey.rows.clear();
    discoverHosts(table, &fixture.variant);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "No host registry");
}

TEST_F(HostsTest, WithoutAVariantNothingIsDiscovered) {
    table.hostCount = 3;
    discoverHosts(table, nullptr);
    EXPECT_EQ(table.hostCount, 0);
    EXPECT_TRUE(fakeUi::cursors.empty());
}

TEST_F(HostsTest, MessageBoxStyles) {
    EXPECT_EQ(showInfo("hello", nullptr), answerOk);
    EXPECT_EQ(fakeUi::boxes.back().caption, "");
    EXPECT_TRUE(fakeUi::boxes.back().hasCaption);
    EXPECT_EQ(askYesNo("Sure?", true, &fixture.variant), answerYes);
    EXPECT_EQ(fakeUi::boxes.back().style, static_cast<unsigned>(boxYesNo | boxIconQuestion));
    EXPECT_EQ(fakeUi::boxes.back().caption, "Filter Setup");
    EXPECT_EQ(askYesNo("Sure?", false, &fixture.variant), answerNo);
    EXPECT_EQ(fakeUi::boxes.back().style, static_cast<unsigned>(boxYesNo | boxIconQuestion | boxDefButton2));
    fakeUi::answers.push_back(0);  // a box that failed counts as No
    EXPECT_EQ(askYesNo("Sure?", true, &fixture.variant), answerNo);
}

}  // namespace
