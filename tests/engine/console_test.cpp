// The engine through the console user-interface layer of the Linux build:
// every page, question and report appears in the transcript.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/hosts.h"
#include "engine/run.h"
#include "platform/posix/ui_console.h"
#include "support.h"
#include "variant_fixture.h"

namespace {

class ConsoleTest : public ::testing::Test {
protected:
    void TearDown() override {
        uiConsoleSetStreams(nullptr, nullptr);
        useNoHive();
    }
    // Runs body with the console reading input; returns the transcript.
    template <class Body>
    std::string transcript(const std::string& input, Body body) {
        FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
        char* buffer = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&buffer, &size);
        uiConsoleSetStreams(in, out);
        body();
        uiConsoleSetStreams(nullptr, nullptr);
        fclose(in);
        fclose(out);
        std::string text = buffer ? buffer : "";
        free(buffer);
        return text;
    }
    std::string host(const std::string& name) {
        makeDirectory(dir / name);
        makeDirectory(dir / name + "/Plug-ins");
        return dir / name + "/";
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    TempDir dir;
    VariantFixture fixture;
    Script script;
};

TEST_F(ConsoleTest, ChosenHostsFromAHiveAreInstalledIntoWithEveryQuestionShown) {
    std::string first = host("first"), second = host("second");
    makeDirectory(dir / "pkg");
    writeFile(dir / "pkg/B.8bf", "filter");
    writeFile(first + "B.8bf", "old copy");
    writeFile(second + "Plug-ins/B.8bf", "kept");
    fixture.addFile("B.8bf", (dir / "pkg/").c_str(), "plugdir", "Ask", "doInstall", "Overwrite");
    useHive(dir, "Windows Registry Editor Version 5.00\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Host\\1\\PluginPath]\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Host\\1\\ApplicationPath]\n@=\"" + first + "\"\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Host\\2\\PluginPath]\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Host\\2\\ApplicationPath]\n@=\"" + second + "\"\n");
    script.chosenVariant = &fixture.variant;
    int result = 0;
    std::string text = transcript("next\n\nno\nnext\n", [&] {
        result = chooseHosts(&fixture.variant, nullptr, nullptr, script.hosts);
        runInstallation(script);
    });
    EXPECT_EQ(result, resultNext);
    EXPECT_TRUE(has(text, "== cursor wait\n")) << text;
    EXPECT_TRUE(has(text, "== page \"Filter Setup\"\nheading: Choose the hosts\n")) << text;
    // The registry text got a backslash appended; the label is shown without it.
    EXPECT_STREQ(script.hosts.entries[0].appDir, (first + "\\").c_str());
    EXPECT_TRUE(has(text, "check 1: [x] " + first + "\n")) << text;
    EXPECT_TRUE(has(text, "check 2: [x] " + second + "\n")) << text;
    EXPECT_TRUE(has(text, "== box \"Filter Setup\" icon=question buttons=yesno default=yes\n"
                          "text: Remove old copies of B.8bf?\n")) << text;
    EXPECT_TRUE(has(text, "heading: Installed into 2 hosts\n")) << text;
    EXPECT_TRUE(has(text, "next: Finish\n")) << text;
    EXPECT_FALSE(fileExists(first + "B.8bf"));
    EXPECT_EQ(readFile(first + "Plug-ins/Filters/B.8bf"), "filter");
    EXPECT_EQ(readFile(second + "Plug-ins/B.8bf"), "kept");
    EXPECT_EQ(readFile(second + "Plug-ins/Filters/B.8bf"), "filter");
}

TEST_F(ConsoleTest, WithoutHostsTheBrowsedDirectoryIsUsed) {
    std::string app = host("browsed");
    makeDirectory(dir / "pkg");
    writeFile(dir / "pkg/A.exe", "program");
    fixture.addFile("A.exe", (dir / "pkg/").c_str(), "progdir", "doNotUninstall", "doInstall", "notOverwrite");
    script.chosenVariant = &fixture.variant;
    int result = 0;
    std::string text = transcript("radio 1\nnext\n" + app + "host.exe\nnext\n", [&] {
        result = chooseHosts(&fixture.variant, nullptr, nullptr, script.hosts);
        runInstallation(script);
    });
    EXPECT_EQ(result, resultNext);
    EXPECT_TRUE(has(text, "== box \"Filter Setup\" icon=none buttons=ok default=ok\ntext: No host registry\n"))
        << text;
    EXPECT_TRUE(has(text, "heading: No host found\n")) << text;
    EXPECT_TRUE(has(text, "radio 1: ")) << text;
    EXPECT_TRUE(has(text, "Browse")) << text;
    EXPECT_TRUE(has(text, "== open \"*.exe\"\n")) << text;
    EXPECT_TRUE(has(text, "heading: Installed into one host without plug-in directory\n")) << text;
    EXPECT_EQ(readFile(app + "A.exe"), "program");
}

TEST_F(ConsoleTest, AFailedCopyEndsWithTheErrorBox) {
    std::string app = host("h");
    writeFile(app + "A.exe", "existing");
    makeDirectory(dir / "pkg");
    writeFile(dir / "pkg/A.exe", "program");
    fixture.addFile("A.exe", (dir / "pkg/").c_str(), "progdir", "doNotUninstall", "doInstall", "notOverwrite");
    HostEntry& entry = script.hosts.entries[0];
    snprintf(entry.appDir, sizeof entry.appDir, "%s", app.c_str());
    entry.kind = hostAppOnly;
    entry.checked = 1;
    script.hosts.hostCount = 1;
    script.chosenVariant = &fixture.variant;
    std::string text = transcript("", [&] { runInstallation(script); });
    EXPECT_EQ(text, "== cursor wait\n== box \"Filter Setup\" icon=error buttons=ok default=ok\n"
                    "text: Could not copy A.exe into " + app + "\n");
}

}  // namespace
