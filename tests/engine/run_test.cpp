// The installation run over hosts held in real directory trees.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/run.h"
#include "fake_ui.h"
#include "support.h"
#include "variant_fixture.h"

namespace {

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeUi::reset();
        makeDirectory(dir / "pkg");
        package = dir / "pkg/";
        writeFile(package + "A.exe", "program");
        writeFile(package + "B.8bf", "filter");
        script.chosenVariant = &fixture.variant;
    }
    // A host of kind appOnly with its application directory under the temp dir.
    HostEntry& addHost(int kind, const std::string& name, bool withPlugins = true) {
        HostEntry& host = script.hosts.entries[script.hosts.hostCount++];
        std::string app = dir / name + "/";
        makeDirectory(app);
        copy(app, host.appDir);
        copy(app, host.label);
        host.checked = 1;
        host.kind = kind;
        if (kind == hostAppAndPlugDir) {
            makeDirectory(app + "Reg");
            copy(app + "Reg/", host.plugDir);
        } else if (withPlugins) {
            makeDirectory(app + "Plug-ins");
        }
        return host;
    }
    static void copy(const std::string& text, char* out) { snprintf(out, hostTextSize, "%s", text.c_str()); }
    const RecordedPage& finalPage() {
        EXPECT_EQ(fakeUi::pages.size(), 1u);
        return fakeUi::pages.back();
    }
    void standardFiles() {
        fixture.addFile("A.exe", package.c_str(), "progdir", "doNotUninstall", "doInstall", "Overwrite");
        fixture.addFile("B.8bf", package.c_str(), "plugdir", "doUninstall", "doInstall", "AskIfDiffer");
    }

    TempDir dir;
    VariantFixture fixture;
    Script script;
    std::string package;
};

TEST_F(RunTest, NoHostReportsNothingInstalled) {
    standardFiles();
    runInstallation(script);
    const RecordedPage& page = finalPage();
    EXPECT_EQ(page.heading, "Nothing installed");
    EXPECT_EQ(page.caption, "Filter Setup");
    EXPECT_EQ(page.edit, "");
    EXPECT_EQ(page.back, "");
    EXPECT_EQ(page.next, "Finish");
    EXPECT_EQ(fakeUi::cursors, (std::vector<int>{cursorWait, cursorArrow}));
}

// Reports 5, 3, 4 and 2; only checked hosts of a known kind are installed into.
TEST_F(RunTest, TheReportCountsTheHostsInstalledInto) {
    standardFiles();
    const struct {
        std::vector<std::pair<int, int>> hosts;  // kind, checked
        const char* heading;
    } cases[] = {
        {{{hostAppOnly, 0}, {hostAppAndPlugDir, 0}}, "Nothing installed"},
        {{{hostAppAndPlugDir, 1}, {hostAppOnly, 1}, {hostAppAndPlugDir, 1}}, "Installed into 3 hosts"},
        {{{hostAppOnly, 1}}, "Installed into one host without plug-in directory"},
        {{{hostNone, 1}, {hostAppAndPlugDir, 1}}, "Installed into one host"},
    };
    int n = 0;
    for (const auto& c : cases) {
        fakeUi::reset();
        script.hosts = HostTable{};
        std::vector<std::string> names;
        for (const auto& host : c.hosts) {
            names.push_back("h" + std::to_string(n++));
            addHost(host.first, names.back()).checked = host.second;
        }
        runInstallation(script);
        EXPECT_EQ(finalPage().heading, c.heading);
        for (size_t i = 0; i < c.hosts.size(); ++i) {
            const bool installed = c.hosts[i].second && c.hosts[i].first != hostNone;
            EXPECT_EQ(fileExists(dir / names[i] + "/A.exe"), installed) << c.heading << " " << i;
        }
    }
    EXPECT_EQ(readFile(dir / "h2/Reg/Filters/B.8bf"), "filter");
    EXPECT_EQ(readFile(dir / "h3/Plug-ins/Filters/B.8bf"), "filter");
}

TEST_F(RunTest, TheCompleteInstallationOfOneAppOnlyHost) {
    standardFiles();
    HostEntry& host = addHost(hostAppOnly, "D");
    writeFile(dir / "D/b.8BF", "stale");
    makeDirectory(dir / "D/Old");
    writeFile(dir / "D/Old/B.8bf", "stale");
    writeFile(dir / "D/A.exe", "old program");
    runInstallation(script);
    EXPECT_TRUE(fakeUi::boxes.empty());
    EXPECT_EQ(listDirectory(dir / "D"), "A.exe Old Plug-ins");
    EXPECT_EQ(listDirectory(dir / "D/Old"), "");
    EXPECT_EQ(readFile(dir / "D/A.exe"), "program");
    EXPECT_EQ(readFile(dir / "D/Plug-ins/Filters/B.8bf"), "filter");
    EXPECT_EQ(std::string(host.plugDir), dir / "D/Plug-ins\\Filters\\");
    EXPECT_EQ(finalPage().heading, "Installed into one host without plug-in directory");
}

TEST_F(RunTest, AppOnlyWithoutThePluginsDirectoryUsesTheApplicationDirectory) {
    standardFiles();
    HostEntry& host = addHost(hostAppOnly, "D", false);
    runInstallation(script);
    EXPECT_EQ(listDirectory(dir / "D"), "A.exe B.8bf");
    EXPECT_STREQ(host.plugDir, host.appDir);
}

TEST_F(RunTest, AppOnlyWithAnExistingFiltersDirectoryKeepsIt) {
    standardFiles();
    addHost(hostAppOnly, "D");
    makeDirectory(dir / "D/Plug-ins/Filters");
    writeFile(dir / "D/Plug-ins/Filters/keep", "x");
    runInstallation(script);
    EXPECT_EQ(listDirectory(dir / "D/Plug-ins/Filters"), "B.8bf keep");
}

TEST_F(RunTest, AMissingFiltersDirectoryOfARegisteredPluginDirectoryIsCreatedOnDemand) {
    standardFiles();
    HostEntry& host = addHost(hostAppAndPlugDir, "D");
    runInstallation(script);
    EXPECT_EQ(readFile(dir / "D/Reg/Filters/B.8bf"), "filter");
    EXPECT_EQ(std::string(host.plugDir), dir / "D/Reg/Filters\\");
    EXPECT_TRUE(fakeUi::boxes.empty());
}

TEST_F(RunTest, NotOverwriteInThePluginPassEndsTheRunWithMessageTwelve) {
    fixture.addFile("B.8bf", package.c_str(), "plugdir", "doNotUninstall", "doInstall", "notOverwrite");
    addHost(hostAppAndPlugDir, "D");
    makeDirectory(dir / "D/Reg/Filters");
    writeFile(dir / "D/Reg/Filters/B.8bf", "existing");
    addHost(hostAppAndPlugDir, "E");
    runInstallation(script);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Could not copy B.8bf into " + dir / "D/Reg/Filters\\");
    EXPECT_EQ(fakeUi::boxes[0].caption, "Filter Setup");
    EXPECT_EQ(fakeUi::boxes[0].style, static_cast<unsigned>(boxOk | boxIconHand));
    EXPECT_TRUE(fakeUi::pages.empty());
    EXPECT_EQ(readFile(dir / "D/Reg/Filters/B.8bf"), "existing");
    EXPECT_FALSE(fileExists(dir / "E/Reg/Filters"));  // hosts after the failure are not tried
    EXPECT_EQ(fakeUi::cursors, std::vector<int>{cursorWait});
}

TEST_F(RunTest, AFailedCopyIntoTheApplicationDirectoryNamesIt) {
    fixture.addFile("missing.exe", package.c_str(), "progdir", "doNotUninstall", "doInstall", "Overwrite");
    addHost(hostAppOnly, "D");
    runInstallation(script);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Could not copy missing.exe into " + dir / "D/");
}

TEST_F(RunTest, EntriesThatAreNotInstalledStillRemoveTheirOldCopies) {
    fixture.addFile("gone.dll", package.c_str(), "elsewhere", "doUninstall", "doInstall", "Overwrite");
    fixture.addFile("B.8bf", package.c_str(), "plugdir", "doUninstall", "doNotInstall", "Overwrite");
    addHost(hostAppOnly, "D");
    addHost(hostAppOnly, "E");
    for (const char* host : {"D", "E"}) {
        writeFile(dir / host + "/gone.dll", "x");
        writeFile(dir / host + "/Plug-ins/b.8bf", "x");
    }
    runInstallation(script);
    EXPECT_EQ(listDirectory(dir / "D"), "Plug-ins");
    EXPECT_EQ(listDirectory(dir / "E/Plug-ins"), "Filters");
    EXPECT_EQ(listDirectory(dir / "E/Plug-ins/Filters"), "");
    EXPECT_EQ(finalPage().heading, "Installed into 2 hosts");
}

TEST_F(RunTest, AskBeforeRemovingWithYesAsDefault) {
    fixture.addFile("x.dll", package.c_str(), "progdir", "Ask", "doNotInstall", "Overwrite");
    addHost(hostAppOnly, "D");
    writeFile(dir / "D/x.dll", "x");
    fakeUi::answers.push_back(answerNo);
    runInstallation(script);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Remove old copies of x.dll?");
    EXPECT_EQ(fakeUi::boxes[0].style, static_cast<unsigned>(boxYesNo | boxIconQuestion));
    EXPECT_TRUE(fileExists(dir / "D/x.dll"));
    fakeUi::reset();
    runInstallation(script);
    EXPECT_FALSE(fileExists(dir / "D/x.dll"));
}

TEST_F(RunTest, AFailedRemovalEndsTheRunWithMessageThirteen) {
    fixture.addFile("x.dll", package.c_str(), "progdir", "doUninstall", "doInstall", "Overwrite");
    addHost(hostAppOnly, "D");
    writeFile(dir / "D/x.dll", "x");
    makeReadOnly(dir / "D/x.dll");
    runInstallation(script);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Could not remove x.dll");
    EXPECT_TRUE(fakeUi::pages.empty());
}

// Whatever discovery lets through, neither the removal walk nor a copy works
// on a whole drive: the host fails as a failed copy does, before any question.
TEST_F(RunTest, ARootOrEmptyApplicationDirectoryFailsTheHostLikeACopy) {
    const struct {
        const char *appDir, *uninstall, *target;
    } cases[] = {{"/", "doUninstall", "progdir"},
                 {"\\", "Ask", "plugdir"},
                 {"", "doNotUninstall", "progdir"},
                 {"C:", "doNotUninstall", "plugdir"}};
    for (const auto& c : cases) {
        VariantFixture local;
        local.addFile("x.dll", package.c_str(), c.target, c.uninstall, "doInstall", "Overwrite");
        HostEntry host{};
        copy(c.appDir, host.appDir);
        host.kind = hostAppOnly;
        fakeUi::reset();
        char error[4096] = "";
        EXPECT_FALSE(installIntoHost(host, error, sizeof error, local.variant)) << c.appDir;
        EXPECT_EQ(std::string(error), std::string("Could not copy x.dll into ") + c.appDir);
        EXPECT_TRUE(fakeUi::boxes.empty()) << c.appDir;
    }
}

TEST_F(RunTest, AnInvalidOrMissingVariantDoesNothing) {
    standardFiles();
    addHost(hostAppOnly, "D");
    fixture.variant.valid = false;
    runInstallation(script);
    script.chosenVariant = nullptr;
    runInstallation(script);
    EXPECT_TRUE(fakeUi::pages.empty());
    EXPECT_TRUE(fakeUi::cursors.empty());
    EXPECT_EQ(listDirectory(dir / "D"), "Plug-ins");
}

TEST_F(RunTest, AReportFormatWithTheWrongConversionIsShownAsWritten) {
    fixture.setMessage(3, "%s hosts");
    standardFiles();
    addHost(hostAppOnly, "D");
    addHost(hostAppOnly, "E");
    runInstallation(script);
    EXPECT_EQ(finalPage().heading, "%s hosts");
}

TEST_F(RunTest, APluginDirectoryThatDoesNotFitIsRefused) {
    standardFiles();
    HostEntry& host = addHost(hostAppAndPlugDir, "D");
    std::string registered(505, 'r');
    copy(registered + "\\", host.plugDir);
    runInstallation(script);
    ASSERT_EQ(fakeUi::boxes.size(), 1u);
    EXPECT_EQ(fakeUi::boxes[0].text, "Could not copy B.8bf into " + registered + "\\");
}

}  // namespace
