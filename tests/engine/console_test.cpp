// The engine through the console user-interface layer of the Linux build
// without a hive (the hive case runs the whole program: setup_hive.sh).
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

}  // namespace
