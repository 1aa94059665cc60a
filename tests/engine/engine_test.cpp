// What no transcript reaches: the bounds and refusals of the message formats,
// every report of a malformed hive (a run reads only up to the first), the
// removal walk over trees the case format cannot lay out (read-only entries,
// links, mounts), the engine's own refusal of roots, which discovery never lets
// through, of folders that lead to one and of names that lead out, and the
// file-open dialog's current directory and root choices.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "engine/files.h"
#include "engine/format.h"
#include "engine/hosts.h"
#include "engine/run.h"
#include "platform/posix/hive.h"
#include "platform/ui.h"
#include "script/reader.h"
#include "support.h"

// The user-interface layer, of which only the file-open dialog is used: it
// moves to another directory, as the Windows dialog may, and then "chooses"
// dialogPath (null: cancelled). These tests expect no message box.
namespace {
const char* dialogPath = nullptr;
std::string dialogDirectory;
int boxes = 0;
}  // namespace

bool uiOpenFileDialog(WindowHandle, char* buffer, size_t size) {
    if (chdir(dialogDirectory.c_str()) != 0 || !dialogPath) return false;
    snprintf(buffer, size, "%s", dialogPath);
    return true;
}
int uiMessageBox(WindowHandle, const char*, const char*, unsigned) { return ++boxes, answerNo; }
void uiSetCursor(UiCursor) {}
int uiRunDialog(WizardPage*) { return resultDialogFailed; }
int showPage(WizardPage*, bool) { return resultCancel; }

namespace {

TEST(FormatTest, ConversionsBoundsAndRefusals) {
    // A format and its arguments, filled into size bytes: what shows, and whether it was formatted.
    const struct { const char* format; std::vector<MessageArg> args; size_t size; const char* shown; bool formatted; }
        rows[] = {
        {"[%s|%5s|%-5s|%.2s|%s]", {textArg("a"), textArg("b"), textArg("c"), textArg("long"), textArg("")}, 99,
         "[a|    b|c    |lo|]", true},
        {"%d %i %5d %-5d| %05d %+d % d %.3d|%.0d|", {numberArg(1), numberArg(-2), numberArg(3), numberArg(4),
         numberArg(-5), numberArg(6), numberArg(7), numberArg(8), numberArg(0)}, 99,
         "1 -2     3 4    | -0005 +6  7 008||", true},
        {"%u %x %X %#x %o %#o %c|%-3c|%3c|%hd %hu %lu %5.3x %#X %lc|", {numberArg(-1), numberArg(255),
         numberArg(255), numberArg(255), numberArg(8), numberArg(8), numberArg('A'), numberArg('z'), numberArg('y'),
         numberArg(40000), numberArg(40000), numberArg(7), numberArg(10), numberArg(0), numberArg(0)}, 99,
         "4294967295 ff FF 0xff 10 010 A|z  |  y|-25536 40000 7   00a 0 |", true},
        {"%d of 100%% %s", {numberArg(INT_MIN), textArg(nullptr), textArg("unused")}, 99, "-2147483648 of 100% ",
         true},
        {nullptr, {numberArg(1)}, 99, "", true},
        // Cut to the buffer: widths that overflow are clamped, not wrapped.
        {"%s and more", {textArg("0123456789")}, 8, "0123456", true},
        {"%4294967297s|", {textArg("x")}, 16, "               ", true},
        {"%-.4294967297s|", {textArg("abc")}, 16, "abc|", true},
        {"plain text", {}, 6, "plain", true},
        {"%n", {}, 2, "%", false},
        // Refused: shown exactly as written.
        {"%s%s%n", {textArg("a"), textArg("b")}, 99, "%s%s%n", false},
        {"%s %s %s", {textArg("a"), textArg("b")}, 99, "%s %s %s", false},
        {"%d", {textArg("a")}, 99, "%d", false},
        {"%s", {numberArg(5)}, 99, "%s", false},
        {"50%", {numberArg(5)}, 99, "50%", false},
    };
    for (const auto& row : rows) {
        char out[99];
        std::memset(out, 0x7f, sizeof out);
        EXPECT_EQ(formatMessage(out, row.size, row.format, row.args.data(), static_cast<int>(row.args.size())),
                  row.formatted)
            << (row.format ? row.format : "(null)");
        EXPECT_STREQ(out, row.shown) << (row.format ? row.format : "(null)");
    }
    // Each form that is not accepted, with a text and with a number.
    for (const char* bad : {"%ls", "%*s", "%1$s", "%lld", "%hhd", "%#d", "%#u", "%05s", "%+s", "% s", "%#s", "%hs",
                            "%p", "%05c", "%.1c", "%+c", "% c", "%#c", "%Lx", "%f", "%"}) {
        for (MessageArg arg : {textArg("a"), numberArg(5)}) {
            char out[16];
            EXPECT_FALSE(formatMessage(out, sizeof out, bad, &arg, 1)) << bad;
            EXPECT_STREQ(out, bad) << bad;
        }
    }
}

// Every malformed line is reported with its number and reason; what came
// before it stays read and nothing after it is read.
TEST(HiveTest, AMalformedLineIsReportedAndEndsTheReading) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    // Line 4, after a section with a value, and then (unless told) another section.
    auto fourth = [&](const std::string& line, const char* rest = "\n[HKEY_LOCAL_MACHINE\\After]\n") {
        return header + "[HKEY_LOCAL_MACHINE\\Before]\n\"V\"=\"1\"\n" + line + rest;
    };
    const struct { std::string text; int line; const char* reason; } rows[] = {
        {"", 1, "empty file: header line expected"},
        {"Windows Registry Editor Version 4.00\n[HKEY_LOCAL_MACHINE\\After]\n", 1, "first line must be"},
        {std::string("\xFF\xFEW\0i\0", 6), 1, "first line must be"},
        {header + "@=\"x\"\n[HKEY_LOCAL_MACHINE\\After]\n", 2, "value line before the first section"},
        {fourth("\"N\"=\"unclosed"), 4, "quoted text not closed"}, {fourth("\"N\"="), 4, "value data expected"},
        {fourth("\"N\"=\"bad \\n escape\""), 4, "unknown escape in a quoted text"},
        {fourth("\"N\""), 4, "'=' expected after the value name"}, {fourth("N=\"v\""), 4, "'\"' expected"},
        {fourth("\"N\"=\"v\" trailing"), 4, "text after the value data"},
        {fourth("\"N\"=dword:123456789"), 4, "text after the value data"},
        {fourth("\"N\"=dword:xyz"), 4, "hex digits expected after dword:"},
        {fourth("\"N\"=hex:41,"), 4, "byte expected after ','"}, {fourth("\"N\"=hex:41,zz"), 4, "hex byte expected"},
        {fourth("\"N\"=hex:41 42"), 4, "',' expected between hex bytes"},
        {fourth("\"N\"=hex:412"), 4, "',' expected between hex bytes"},
        {fourth("\"N\"=hex(2:41"), 4, "value type expected in hex(...)"},
        {fourth("\"N\"=hex():41"), 4, "value type expected in hex(...)"},
        {fourth("\"N\"=hex(123456789):41"), 4, "value type expected in hex(...)"},
        {fourth("\"N\"=hex;41"), 4, "':' expected after hex"},
        {fourth("\"N\"=hex:41,\\ x"), 4, "text after a continuation '\\'"},
        {fourth("\"N\"=hex:41,\\\n42,\\\n"), 6, "byte expected after ','"},
        {fourth("\"N\"=hex:41,\\\n  4g"), 5, "',' expected between hex bytes"},
        {fourth("\"N\"=hex:41,\\", ""), 4, "continuation at the end of the file"},
        {fourth("\"N\"=hex:41,\\\n" + std::string("4\0", 2)), 5, "NUL character"},
        {fourth(std::string("@=\"a\0b\"", 7)), 4, "NUL character"},
        {fourth("\"N\"=sz:abc"), 4, "value data must be a quoted text, dword:, hex: or -"},
        {fourth("[HKEY_LOCAL_MACHINE\\A\\\\B]"), 4, "empty key name in a section"},
        {fourth("[HKEY_LOCAL_MACHINE\\A\\]"), 4, "empty key name in a section"},
        {fourth("[]"), 4, "empty key name in a section"},
        {fourth("[HKEY_LOCAL_MACHINE\\A"), 4, "section line must end in ']'"},
        {fourth("[HKEY_NOWHERE\\A]"), 4, "unknown root key in a section"},
    };
    for (const auto& row : rows) {
        char* report = nullptr;
        size_t size = 0;
        FILE* stream = open_memstream(&report, &size);
        HiveKey root;
        EXPECT_FALSE(parseHive(row.text.data(), row.text.size(), "test.reg", stream, root)) << row.text;
        fclose(stream);
        const std::string expected =
            "setup: registry hive test.reg, line " + std::to_string(row.line) + ": " + row.reason;
        EXPECT_EQ(std::string(report).substr(0, expected.size()), expected) << row.text;
        free(report);
        const HiveKey* kept = hiveFindSubkey(root, "Before");
        EXPECT_EQ(kept && hiveFindValue(*kept, "V"), row.line > 3) << row.text;
        EXPECT_EQ(hiveFindSubkey(root, "After"), nullptr) << row.text;
    }
    // The reader stops at the size it is given, also within a last line without a line end.
    const std::string text = header + "[HKEY_LOCAL_MACHINE\\A]\n@=\"x\" beyond the end\n";
    HiveKey root;
    EXPECT_TRUE(parseHive(text.data(), text.size() - 16, "test.reg", nullptr, root));
    ASSERT_NE(hiveFindSubkey(root, "A"), nullptr);
    EXPECT_EQ(hiveFindValue(*hiveFindSubkey(root, "A"), "")->data, std::string("x", 2));
}

// The walk over entries that are not plain directories: a read-only folder and
// a link are not descended into, an undeletable file in a sub-folder ends only
// that sub-folder's walk, and one in the folder itself fails the removal.
TEST(RemovalTest, OnlyPlainDirectoriesAreWalked) {
    TempDir dir;
    const std::string app = dir / "app/";
    for (const char* folder : {"app", "app/locked", "app/sub", "elsewhere"}) fs::create_directory(dir / folder);
    for (const char* file : {"app/locked/f.8bf", "app/sub/f.8bf", "elsewhere/f.8bf", "app/F.8BF"})
        writeFile(dir / file, "x");
    makeReadOnly(dir / "app/locked");
    makeReadOnly(dir / "app/sub/f.8bf");
    symlink((dir / "elsewhere").c_str(), (app + "link").c_str());
    EXPECT_TRUE(removeMatchingFiles("f.8bf", app.c_str()));
    for (const char* kept : {"app/locked/f.8bf", "app/sub/f.8bf", "elsewhere/f.8bf"})
        EXPECT_TRUE(fs::exists(dir / kept)) << kept;
    EXPECT_FALSE(fs::exists(dir / "app/F.8BF"));
    writeFile(app + "f.8bf", "x");
    makeReadOnly(app + "f.8bf");
    EXPECT_FALSE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_TRUE(fs::exists(app + "f.8bf"));
}

// A folder on another mount, another file system or a bind mount of the same
// one, is not walked into, as Windows walks into no mounted folder.
TEST(RemovalTest, OtherMountsAreNotWalked) {
    TempDir dir;
    const std::string app = dir / "app/";
    for (const char* folder : {"app/tmpfs", "app/bound", "elsewhere"}) fs::create_directories(dir / folder);
    writeFile(dir / "elsewhere/f.8bf", "x");
    if (mount("none", (app + "tmpfs").c_str(), "tmpfs", 0, nullptr) != 0 ||
        mount((dir / "elsewhere").c_str(), (app + "bound").c_str(), nullptr, MS_BIND, nullptr) != 0) {
        const int error = errno;
        umount2((app + "tmpfs").c_str(), MNT_DETACH);
        GTEST_SKIP() << "no mount can be made here: " << std::strerror(error);
    }
    writeFile(app + "tmpfs/f.8bf", "x");
    writeFile(app + "f.8bf", "x");
    EXPECT_TRUE(removeMatchingFiles("f.8bf", app.c_str()));
    EXPECT_FALSE(fs::exists(app + "f.8bf"));
    for (const char* kept : {"app/tmpfs/f.8bf", "app/bound/f.8bf"}) EXPECT_TRUE(fs::exists(dir / kept)) << kept;
    for (const char* mounted : {"app/tmpfs", "app/bound"}) umount2((dir / mounted).c_str(), MNT_DETACH);
}

// Whatever discovery lets through, no removal walk, copy or plug-in folder
// works on a whole drive or share, nor in a folder that leads to the root:
// such a host fails like a failed copy, before anything is asked.
TEST(RemovalTest, NoRootIsEverAHost) {
    TempDir dir;  // the current directory, where "C:" would be a folder: nothing else is made in it
    char saved[4096];
    ASSERT_TRUE(getcwd(saved, sizeof saved) && chdir(dir.path().c_str()) == 0);
    ASSERT_EQ(symlink("/", "toRoot"), 0);
    for (const char* root : {"", "/", "\\", "C:", "C:\\", "\\\\srv\\share\\", "/tmp/..", "D:\\. .\\",
                             "toRoot\\", "/proc/self/root/", "\\\\?\\UNC\\srv\\share\\"}) {
        EXPECT_FALSE(removeMatchingFiles("x.dll", root)) << root;
        EXPECT_FALSE(copyWithPolicy("x.dll", "/tmp/", root, keywordOverwrite, Variant())) << root;
        for (const char* uninstall : {"Ask", "doNotUninstall"}) {
            Variant variant;
            variant.files.rows.push_back(TextRow{{"x.dll", "/tmp/", "plugdir", uninstall, "doInstall", "Overwrite"}});
            variant.messages.rows.push_back(TextRow{{"12", "%s into %s"}});
            HostEntry host{};
            copyText(host.appDir, sizeof host.appDir, root);
            host.kind = hostAppOnly;
            char error[64];
            EXPECT_FALSE(installIntoHost(host, error, sizeof error, variant)) << root;
            EXPECT_EQ(std::string(error), std::string("x.dll into ") + root);
        }
    }
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    ASSERT_EQ(chdir(saved), 0);
}

// Names from the script that would lead out of the host fail the host with
// message 12 (the file and the folder it was meant for) before anything is
// removed, copied or made for them; a plain sub-folder is fine.
TEST(RemovalTest, NamesThatLeadOutAreRefused) {
    TempDir dir;
    for (const char* folder : {"pkg/sub", "app/Plug-ins", "app/sub", "out"}) fs::create_directories(dir / folder);
    writeFile(dir / "pkg/x.dll", "new");
    writeFile(dir / "pkg/sub/x.dll", "new");
    writeFile(dir / "out/x.dll", "planted");
    // The file's name, its target and uninstall policy, the plug-ins and
    // filters names, whether the host knows its plug-in folder, and the
    // folder the error names (null: installed).
    const struct { const char *name, *target, *uninstall, *plugins, *filters; bool plugDir; const char* into; }
        rows[] = {
        {"..\\out\\x.dll", "progdir", "doUninstall", "P", "F", false, "app/"},
        {"../out/x.dll", "nowhere", "Ask", "P", "F", false, "app/"},
        {"C:x.dll", "progdir", "doNotUninstall", "P", "F", false, "app/"},
        {"/x.dll", "plugdir", "doNotUninstall", "P", "F", false, "app/"},
        {"sub\\.. \\..\\x.dll", "progdir", "doNotUninstall", "P", "F", false, "app/"},
        {"x.dll:stream", "progdir", "doNotUninstall", "P", "F", false, "app/"},
        {"x.dll", "plugdir", "doNotUninstall", "..\\out", "F", false, "app/"},
        {"x.dll", "plugdir", "doNotUninstall", "P", "..\\..\\out", true, "app/Plug-ins/"},
        {"x.dll", "progdir", "doNotUninstall", "..\\out", "...", false, nullptr},
        {"sub\\x.dll", "progdir", "doUninstall", "..", "..", true, nullptr}};
    for (const auto& row : rows) {
        Variant variant;
        variant.files.rows.push_back(
            TextRow{{row.name, dir / "pkg/", row.target, row.uninstall, "doInstall", "Overwrite"}});
        variant.defaultPluginsDir.rows.push_back(TextRow{{row.plugins}});
        variant.defaultFiltersDir.rows.push_back(TextRow{{row.filters}});
        variant.messages.rows.push_back(TextRow{{"12", "%s into %s"}});
        HostEntry host{};
        copyText(host.appDir, sizeof host.appDir, (dir / "app/").c_str());
        copyText(host.plugDir, sizeof host.plugDir, (dir / "app/Plug-ins/").c_str());
        host.kind = row.plugDir ? hostAppAndPlugDir : hostAppOnly;
        char error[512] = "";
        EXPECT_EQ(installIntoHost(host, error, sizeof error, variant), !row.into) << row.name;
        EXPECT_EQ(std::string(error), row.into ? row.name + std::string(" into ") + dir / row.into : "") << row.name;
        EXPECT_EQ(readFile(dir / "out/x.dll"), "planted") << row.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1) << row.name;
    }
    EXPECT_EQ(readFile(dir / "app/sub/x.dll"), "new");
}

// A program chosen at a root, or named without a folder, would make a whole
// drive (or the current folder) the host: no file is chosen. Whatever is
// chosen, the current directory is put back.
TEST(BrowseTest, TheDialogKeepsTheCurrentDirectoryAndRefusesRoots) {
    TempDir dir;
    dialogDirectory = dir.path();
    // The file chosen (null: cancelled), the result and what the buffer holds.
    const struct { const char* chosen; bool ok; const char* buffer; } rows[] = {
        {"D:\\Tools\\Host\\host.exe", true, "D:\\Tools\\Host\\"}, {"/opt/host/host.exe", true, "/opt/host/"},
        {nullptr, false, "untouched"}, {"C:\\host.exe", false, ""}, {"/host.exe", false, ""}, {"host.exe", false, ""},
        {"\\\\srv\\share\\host.exe", false, ""}, {"C:\\Host\\..\\host.exe", false, ""}};
    char before[4096], after[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    for (const auto& row : rows) {
        dialogPath = row.chosen;
        char buffer[512] = "untouched";
        EXPECT_EQ(browseForHost(nullptr, buffer, sizeof buffer), row.ok) << row.buffer;
        EXPECT_STREQ(buffer, row.buffer);
        ASSERT_NE(getcwd(after, sizeof after), nullptr);
        EXPECT_STREQ(after, before);
    }
}

}  // namespace
