// The registry and file-system layers through registry.h and fs.h: what the
// engine relies on from either build. The Windows build runs the same tables
// under Wine against its registry (keys imported with "reg import") and file
// system; rows that only the Linux stand-ins can show are marked so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/hostdir.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "support.h"

namespace {

// Wine orders keys by lower case, replaces read-only targets and keeps no
// read-only bit on directories.
bool underWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

// Every key lies under SOFTWARE\EngineTests, which the hive deletes first, so
// nothing of an earlier run stays in Wine's registry.
#define KEY "[HKEY_LOCAL_MACHINE\\SOFTWARE\\EngineTests\\"
const char* const hiveText =
    "Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\EngineTests]\r\n"
    KEY "Host\\7.0]\r\n@=\"C:\\\\Program Files\\\\Host\\\\\"\r\n\"Quoted\"=\"say \\\"hi\\\"\"\r\n\"Empty\"=\"\"\r\n"
    "\"Lower\"=dword:00abcdef\r\n\"Upper\"=dword:0000001F\r\n\"Bytes\"=hex:4a,4B,\\\r\n  6c,Ff\r\n\"None\"=hex:\r\n"
    "\"Gone\"=\"x\"\r\n\"gone\"=-\r\n\"Twice\"=\"1\"\r\n\"TWICE\"=\"2\"\r\n"
    KEY "Order\\gamma]\r\n" KEY "Order\\Alpha]\r\n" KEY "Order\\AB]\r\n" KEY "Order\\beta]\r\n"
    "[hkey_local_machine\\software\\enginetests\\order\\BETA\\x]\r\n" KEY "Order\\b]\r\n"
    KEY "Upper\\a_b]\r\n" KEY "Upper\\Alpha]\r\n" KEY "Deleted\\Child]\r\n"
    "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\EngineTests\\Deleted]\r\n"
    "[HKEY_CURRENT_USER\\Software\\EngineTests\\User]\r\n" KEY "Sizes\\LongerName]\r\n@=\"0123456789\"\r\n";
#undef KEY

// The registry holds hiveText for every test: named by SETUP_REGISTRY on
// Linux, imported on Windows.
class RegistryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        writeFile(*dir / "hive.reg", hiveText);
#ifdef _WIN32
        std::system(("reg import \"" + *dir / "hive.reg" + "\" >NUL 2>&1").c_str());
#else
        setenv("SETUP_REGISTRY", (*dir / "hive.reg").c_str(), 1);
#endif
    }
    static void TearDownTestSuite() { delete dir; }
    // The key at path below SOFTWARE\EngineTests, or null.
    static RegistryKey open(const std::string& path, long* result = nullptr) {
        RegistryKey key = nullptr;
        long opened = registryOpenKey(registryLocalMachine(), ("SOFTWARE\\EngineTests\\" + path).c_str(), &key);
        return (result ? *result = opened : opened) == registrySuccess ? key : nullptr;
    }
    static TempDir* dir;
};
TempDir* RegistryTest::dir = new TempDir;

// The bytes of the value called name ("*": the subkeys' names joined by "|"),
// "<none>" for a missing value, "<no key>" for a key that does not open.
std::string read(RegistryKey key, const char* name) {
    if (!key) return "<no key>";
    std::string names;
    char text[512];
    unsigned long size = sizeof text;
    if (name && std::strcmp(name, "*") == 0) {
        for (unsigned long i = 0; registryEnumKey(key, i, text, &size) == registrySuccess; ++i, size = sizeof text)
            names += (i ? "|" : "") + std::string(text, size);
        return registryEnumKey(key, 99, text, &size) == registryNoMoreItems ? names : "<not at the end>";
    }
    if (registryQueryValue(key, name, reinterpret_cast<unsigned char*>(text), &size) != registrySuccess)
        return "<none>";
    return std::string(text, size);
}

TEST_F(RegistryTest, KeysAndValuesAsWindowsKeepsThem) {
    using namespace std::string_literals;
    const struct { const char *key, *name; std::string data; } rows[] = {
        {"Host\\7.0", nullptr, "C:\\Program Files\\Host\\\0"s}, {"HOST\\7.0", "", "C:\\Program Files\\Host\\\0"s},
        {"host\\7.0", "quoted", "say \"hi\"\0"s},               {"Host\\7.0", "Empty", "\0"s},
        {"Host\\7.0", "Lower", "\xef\xcd\xab\0"s},               {"Host\\7.0", "Upper", "\x1f\0\0\0"s},
        {"Host\\7.0", "Bytes", "JKl\xff"},                       {"Host\\7.0", "None", ""},
        {"Host\\7.0", "Gone", "<none>"},                         {"Host\\7.0", "twice", "2\0"s},
        {"Host\\7.0", "Missing", "<none>"},                      {"Host", nullptr, "<none>"},
        {"Host", "*", "7.0"},                                    {"Host\\7.0", "*", ""},
        {"Order", "*", "AB|Alpha|b|beta|gamma"},
        {"Upper", "*", underWine() ? "a_b|Alpha" : "Alpha|a_b"},
        {"Deleted", "*", "<no key>"},                            {"User", "*", "<no key>"},
    };
    for (const auto& row : rows) {
        long result;
        RegistryKey key = open(row.key, &result);
        EXPECT_EQ(read(key, row.name), row.data) << row.key << " " << (row.name ? row.name : "(default)");
        EXPECT_EQ(result, key ? registrySuccess : registryFileNotFound) << row.key;
        if (key) registryCloseKey(key);
    }
    // An empty path opens the same key again.
    RegistryKey key = open("Host\\7.0"), again = nullptr;
    ASSERT_EQ(registryOpenKey(key, "", &again), registrySuccess);
    EXPECT_EQ(read(again, "Quoted"), read(key, "Quoted"));
    registryCloseKey(again);
    registryCloseKey(key);
}

TEST_F(RegistryTest, BuffersThatAreTooSmallReportMoreData) {
    RegistryKey sizes = open("Sizes"), key = nullptr;
    ASSERT_NE(sizes, nullptr);
    char name[11] = "keep";
    for (unsigned long size : {8ul, 10ul}) {  // the name without its NUL does not fit either
        EXPECT_EQ(registryEnumKey(sizes, 0, name, &size), registryMoreData) << size;
#ifndef _WIN32
        EXPECT_STREQ(name, "keep");
#endif
    }
    unsigned long size = sizeof name;
    EXPECT_EQ(registryEnumKey(sizes, 0, name, &size), registrySuccess);
    EXPECT_EQ(size, 10u);
    ASSERT_EQ(registryOpenKey(sizes, "longername", &key), registrySuccess);
    unsigned char data[11];
    for (unsigned long given : {10ul, 11ul}) {
        size = given;
        EXPECT_EQ(registryQueryValue(key, nullptr, data, &size), given < 11 ? registryMoreData : registrySuccess);
        EXPECT_EQ(size, 11u);
    }
    registryCloseKey(key);
    registryCloseKey(sizes);
}

#ifndef _WIN32
// Runs call as the user nobody, to whom access checks apply even in a test
// run as root; false when the user cannot be changed, as in a run by another
// user (confine.sh makes that user root of a namespace of its own, where
// nobody does not exist). The root of the machine can always change it.
bool asNobody(const std::function<void()>& call) {
    if (geteuid() != 0 || seteuid(65534) != 0) {
        std::ifstream map("/proc/self/uid_map");
        std::string inside, outside;
        map >> inside >> outside;
        EXPECT_FALSE(geteuid() == 0 && outside == "0") << "root could not become the user nobody";
        return false;
    }
    call();
    return seteuid(0) == 0;
}

TEST_F(RegistryTest, WithoutAReadableHiveEveryOpenFails) {
    writeFile(*dir / "private.reg", hiveText);
    chmod((*dir / "private.reg").c_str(), 0600);
    // Special files are not read (a FIFO would be waited on), nor more than
    // 16 MiB: a hive of just that size is read (and holds no key).
    mkfifo((*dir / "fifo.reg").c_str(), 0644);
    symlink("/dev/zero", (*dir / "zero.reg").c_str());
    for (off_t size : {off_t(16) << 20, (off_t(16) << 20) + 1}) {
        const std::string name = *dir / std::to_string(size);
        writeFile(name, "");
        EXPECT_EQ(truncate(name.c_str(), size), 0);
    }
    const std::pair<const char*, long> rows[] = {{nullptr, registryFileNotFound}, {"", registryFileNotFound},
                                                 {"missing.reg", registryFileNotFound},
                                                 {"hive.reg/x", registryFileNotFound},
                                                 {"private.reg", registryAccessDenied},
                                                 {"fifo.reg", registryAccessDenied},
                                                 {"zero.reg", registryAccessDenied},
                                                 {"16777216", registryFileNotFound},
                                                 {"16777217", registryAccessDenied}};
    long result = registrySuccess;
    for (const auto& row : rows) {
        if (row.first) setenv("SETUP_REGISTRY", (*row.first ? *dir / row.first : std::string()).c_str(), 1);
        else unsetenv("SETUP_REGISTRY");
        if (!asNobody([&] { open("Host", &result); })) break;
        EXPECT_EQ(result, row.second) << (row.first ? row.first : "(no variable)");
    }
    SetUpTestSuite();
    if (result == registrySuccess) GTEST_SKIP() << "the user cannot be changed";
}
#endif

// --- File system ---

enum Call { copyReplacing, copyNew, createDirectory, deleteFile, openFile, attributes };

// Steps on one scratch tree, in order: the call on a path (and a target), its
// result, the error it leaves (0: not checked) and then one file's contents
// ("-": absent; "": not checked).
struct Step {
    Call call;
    const char *path, *target;
    bool ok;
    unsigned long error;
    const char *file, *contents;
    bool linuxOnly = false, asNobody = false;
};

// Makes the step's call on paths below dir.
bool perform(const Step& step, const std::string& dir) {
    const std::string path = dir + step.path, target = dir + step.target;
    const char *from = path.c_str(), *to = target.c_str();
    return step.call == copyReplacing || step.call == copyNew ? fsCopyFile(from, to, step.call == copyNew)
           : step.call == createDirectory                     ? fsCreateDirectory(from)
           : step.call == deleteFile                          ? fsDeleteFile(from)
           : step.call == openFile                            ? fsOpenForRead(from) != nullptr
                                                              : fsGetAttributes(from) != fsInvalidAttributes;
}

TEST(FileSystemTest, CallsSucceedAndFailAsOnWindows) {
    TempDir dir;
    writeFile(dir / "src", "new");
    writeFile(dir / "dst", "old");
    for (const char* name : {"ro", "locked"}) writeFile(dir / name, "kept"), makeReadOnly(dir / name);
    fs::create_directory(dir / "sub");
#ifndef _WIN32
    writeFile(dir / "private", "private");
    chmod((dir / "private").c_str(), 0600);
    symlink((dir / "loop").c_str(), (dir / "loop").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    symlink("/dev/zero", (dir / "zero").c_str());
#endif
    const std::string tooLong(300, 'n');
    const Step steps[] = {
        {copyNew, "src", "dst", false, fsErrorFileExists, "dst", "old"},
        {copyReplacing, "src", "dst", true, 0, "dst", "new"},
        {copyReplacing, "none", "dst", false, fsErrorFileNotFound, "dst", "new"},
        {copyReplacing, "sub", "dst", false, 0, "dst", "new"},
        {copyNew, "src", "sub\\b", true, 0, "sub/b", "new"},
        {copyReplacing, "src", "none\\b", false, fsErrorPathNotFound, "none", "-"},
        {copyReplacing, "src", "ro", underWine(), 0, "ro", underWine() ? "new" : "kept"},
        {createDirectory, "new\\", "", true, 0, "", ""},
        {createDirectory, "new", "", false, fsErrorAlreadyExists, "", ""},
        {createDirectory, "none\\deeper", "", false, fsErrorPathNotFound, "none", "-"},
        {deleteFile, "locked", "", false, fsErrorAccessDenied, "locked", "kept"},
        {deleteFile, "new", "", false, fsErrorAccessDenied, "", ""},
        {deleteFile, "dst", "", true, 0, "dst", "-"},
        {deleteFile, "dst", "", false, fsErrorFileNotFound, "", ""},
        {openFile, "dst", "", false, fsErrorFileNotFound, "", ""},
        // What the stand-ins make of other POSIX errors.
        {createDirectory, "src\\x", "", false, fsErrorPathNotFound, "", ""},
        {attributes, "src\\x", "", false, fsErrorPathNotFound, "", ""},
        {openFile, "loop", "", false, fsErrorAccessDenied, "", "", true},
        // No FIFO, device or socket is opened, as source or target: nothing
        // waits. "nul" is the null device in every Windows folder.
        {openFile, "nul", "", false, 0, "", ""},
        {openFile, "fifo", "", false, fsErrorAccessDenied, "", "", true},
        {openFile, "zero", "", false, fsErrorAccessDenied, "", "", true},
        {copyReplacing, "fifo", "sub\\f", false, fsErrorAccessDenied, "sub/f", "-", true},
        {copyNew, "zero", "sub\\z", false, fsErrorAccessDenied, "sub/z", "-", true},
        {copyReplacing, "src", "fifo", false, fsErrorAccessDenied, "", "", true},
        {copyReplacing, "src", "zero", false, fsErrorAccessDenied, "", "", true},
        {attributes, tooLong.c_str(), "", false, fsErrorAccessDenied, "", "", true},
        {copyNew, "private", "sub/p", false, fsErrorAccessDenied, "sub/p", "-", true, true},
        {copyReplacing, "src", "p", false, fsErrorAccessDenied, "p", "-", true, true},
        {createDirectory, "p", "", false, fsErrorAccessDenied, "p", "-", true, true},
        {deleteFile, "src", "", false, fsErrorAccessDenied, "src", "new", true, true},
    };
    bool skipped = false;
#ifndef _WIN32
    const auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    const auto open = descriptors();
#endif
    for (const Step& step : steps) {
        bool ok = !step.ok;
#ifdef _WIN32
        if (step.linuxOnly) continue;
#else
        if (step.asNobody && !asNobody([&] { ok = perform(step, dir.path()); })) {
            skipped = true;
            continue;
        }
#endif
        if (!step.asNobody) ok = perform(step, dir.path());
        const std::string what = std::to_string(step.call) + " " + step.path + " " + step.target;
        EXPECT_EQ(ok, step.ok) << what;
        EXPECT_EQ(step.error ? fsLastError() : 0ul, step.error) << what;
        const std::string contents = !*step.file ? "" : fs::exists(dir / step.file) ? readFile(dir / step.file) : "-";
        EXPECT_EQ(contents, step.contents) << what;
    }
#ifndef _WIN32
    EXPECT_EQ(descriptors(), open);  // no call, failed or not, keeps a file open
#endif
    // A replacing copy leaves no temporary file behind.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    if (skipped) GTEST_SKIP() << "the user cannot be changed: access checks not made";
}

TEST(FileSystemTest, AttributesAndListings) {
    TempDir dir;
    for (const char* folder : {"plain", "locked"}) fs::create_directory(dir / folder);
    makeReadOnly(dir / "locked");
    for (const char* file : {"File.TXT", "a.b.txt", "a.btxt"}) writeFile(dir / file, "x");
    // a.btxt: "*.txt" must start again after the first ".", not go on with "txt"
    auto attributes = [&](const std::string& name) { return fsGetAttributes((dir / name).c_str()); };
    EXPECT_EQ(attributes("plain"), static_cast<unsigned long>(fsAttributeDirectory));
    EXPECT_EQ(attributes("locked") & (fsAttributeDirectory | fsAttributeReadOnly),
              fsAttributeDirectory | (underWine() ? 0ul : static_cast<unsigned long>(fsAttributeReadOnly)));
    EXPECT_EQ(attributes("File.TXT") & (fsAttributeDirectory | fsAttributeReadOnly), 0u);
    EXPECT_EQ(attributes("missing"), static_cast<unsigned long>(fsInvalidAttributes));
#ifndef _WIN32
    // Links and special files are never plain directories: the removal walk
    // does not follow them.
    symlink((dir / "plain").c_str(), (dir / "link").c_str());
    symlink((dir / "missing").c_str(), (dir / "dangling").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    const std::pair<const char*, unsigned long> exact[] = {{"link", fsAttributeReparsePoint | fsAttributeDirectory},
        {"dangling", fsAttributeReparsePoint}, {"fifo", fsAttributeSystem}, {"File.TXT", fsAttributeNormal}};
    for (const auto& entry : exact) EXPECT_EQ(attributes(entry.first), entry.second) << entry.first;
    for (const char* name : {"link", "dangling", "fifo"}) unlink((dir / name).c_str());
    // No Windows name holds a backslash: such a name is never listed.
    writeFile(dir / "back\\slash.txt", "x");
#endif
    // Each pattern with the names it lists, sorted.
    const struct { const char *pattern, *names; } listings[] = {
        {"*", ". .. File.TXT a.b.txt a.btxt locked plain"}, {"FILE.*", "File.TXT"}, {"*.txt", "File.TXT a.b.txt"},
        {"?.b.*", "a.b.txt"}, {"*.none", ""}};
    for (const auto& listing : listings) {
        FsFindData data;
        FsFind find = fsFindFirst((dir.path() + listing.pattern).c_str(), &data);
        std::vector<std::string> names;
        for (bool more = find != nullptr; more; more = fsFindNext(find, &data)) names.push_back(data.name);
        if (find) fsFindClose(find);
        std::sort(names.begin(), names.end());
        std::string joined;
        for (const std::string& name : names) joined += (joined.empty() ? "" : " ") + name;
        EXPECT_EQ(joined, listing.names) << listing.pattern;
    }
    FsFindData data;
    EXPECT_EQ(fsFindFirst((dir.path() + "none\\*").c_str(), &data), nullptr);
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorPathNotFound));
}

TEST(FileSystemTest, TimesAndCalendarDates) {
    TempDir dir;
    writeFile(dir / "f", "x");
    const unsigned long long written = 127545052531234560ull;  // 2005-03-05 14:07:33.123456 UTC
#ifdef _WIN32
    FILETIME time = {static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
    HANDLE handle = CreateFileA((dir / "f").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &time);
    CloseHandle(handle);
#else
    const struct timespec time = {1110031653, 123456000};
    const struct timespec times[2] = {time, time};
    utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0);
#endif
    FsFile file = fsOpenForRead((dir / "f").c_str());
    ASSERT_NE(file, nullptr);
    FileTime read{0};
    EXPECT_TRUE(fsGetLastWriteTime(file, &read));
    fsCloseFile(file);
    EXPECT_EQ(read.ticks, written);
    EXPECT_EQ(fsOpenForRead(dir.path().c_str()), nullptr);  // a directory is not opened
    // Year, month, day of the week, day, hour, minute, second, milliseconds; none: the conversion fails.
    const struct { unsigned long long ticks; std::vector<unsigned short> date; } rows[] = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}}, {written, {2005, 3, 6, 5, 14, 7, 33, 123}},
        {(11644473600ull + 951782399ull) * 10000000ull + 9990000ull, {2000, 2, 1, 28, 23, 59, 59, 999}},
        {(11644473600ull + 951782400ull) * 10000000ull, {2000, 2, 2, 29, 0, 0, 0, 0}},
        {(11644473600ull + 978307199ull) * 10000000ull, {2000, 12, 0, 31, 23, 59, 59, 0}},
        {0x8000000000000000ull, {}}};
    for (const auto& row : rows) {
        FileTime in{row.ticks};
        SystemTime out = {};
        ASSERT_EQ(fsFileTimeToSystemTime(&in, &out), !row.date.empty()) << row.ticks;
        if (row.date.empty()) continue;
        EXPECT_EQ(std::vector<unsigned short>({out.year, out.month, out.dayOfWeek, out.day, out.hour, out.minute,
                                               out.second, out.milliseconds}), row.date) << row.ticks;
    }
    // Local time is the system time zone's. Linux: one hour east, set here (a
    // POSIX rule needs no zone files). Windows moves every time by the bias in
    // force now, daylight saving time included, whatever the zone.
#ifdef _WIN32
    TIME_ZONE_INFORMATION zone;
    const DWORD now = GetTimeZoneInformation(&zone);
    const long long east = -60ll * (zone.Bias + (now == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
                                                 : now == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                                                : 0));
#else
    setenv("TZ", "CET-1", 1);
    tzset();
    const long long east = 3600;
#endif
    const FileTime utc{133497956960000000ull};  // 2024-01-15 12:34:56 UTC
    FileTime local;
    ASSERT_TRUE(fsFileTimeToLocal(&utc, &local));
    EXPECT_EQ(static_cast<long long>(local.ticks - utc.ticks), east * 10000000ll);
}

// Makes link a link to the directory target: a symbolic link, or on Windows
// with junction a junction; false when the platform made none (Wine 8's
// CreateSymbolicLinkW reports success and makes nothing).
bool makeDirectoryLink(const std::string& link, const std::string& target, bool junction) {
#ifdef _WIN32
    if (junction)
        std::system(("mklink /J \"" + link + "\" \"" + target + "\" >NUL 2>&1").c_str());
    else
        CreateSymbolicLinkA(link.c_str(), target.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return !junction && symlink(target.c_str(), link.c_str()) == 0;
#endif
}

// The root rule over the Win32 prefixed spellings, and over where a directory
// leads: a link to a root is a root, and a folder that cannot be resolved is
// no host.
TEST(HostDirectoryTest, RootsBySpellingAndByWhereTheyLead) {
    const std::pair<const char*, bool> spellings[] = {
        {"\\\\?\\C:\\", false}, {"//?/c:/", false}, {"\\\\.\\C:\\", false}, {"\\??\\C:\\", false},
        {"\\\\?\\UNC\\srv\\share\\", false}, {"\\\\.\\UNC\\srv\\share\\", false},
        {"\\??\\UNC\\srv\\share\\", false}, {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\", false},
        {"\\\\?\\GLOBALROOT\\??\\UNC\\srv\\share", false}, {"\\\\?\\GLOBALROOT\\Device\\Mup\\srv\\share\\", false},
        {"\\\\?\\Volume{00000000-0000-0000-0000-000000000043}\\", false}, {"\\\\.\\PhysicalDrive0", false},
        {"\\\\?\\C:\\Host\\..\\", false}, {"\\\\.\\C:\\..\\D:\\", false}, {"\\\\?\\", false}, {"\\\\", false},
        {"\\\\?\\C:\\Host\\", true}, {"\\\\.\\C:\\Host", true}, {"\\??\\UNC\\srv\\share\\Host\\", true},
        {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\Host\\", true},
        {"\\\\?\\GLOBALROOT\\Device\\Mup\\srv\\share\\Host\\", true}};
    for (const auto& row : spellings) EXPECT_EQ(isHostDirectory(row.first), row.second) << row.first;

    TempDir dir;
    const char separator = dir.path().back();
    const std::string missing = dir / "missing" + separator;
    EXPECT_FALSE(leadsToHostDirectory(missing.c_str()));  // cannot be resolved: no host,
    EXPECT_FALSE(leadsToRoot(missing.c_str()));           // but no root: its walk fails by itself
#ifdef _WIN32
    EXPECT_TRUE(leadsToHostDirectory(("\\\\?\\" + dir.path()).c_str()));
    // Wine makes no links itself, but follows those of the system it runs on.
    if (underWine()) {
        EXPECT_TRUE(isHostDirectory("Z:\\proc\\self\\root\\"));
        EXPECT_TRUE(leadsToRoot("Z:\\proc\\self\\root\\"));
    }
#else
    EXPECT_TRUE(leadsToHostDirectory(dir.path().c_str()));
    EXPECT_TRUE(leadsToRoot("/proc/self/root/"));
#endif
}

// Links the test makes itself (on Windows also junctions): one to a root is a
// root, one to a folder below it a host directory.
TEST(HostDirectoryTest, LinksToARootAreRoots) {
    TempDir dir;
    fs::create_directory(dir / "host");
    const std::string root = dir.path().substr(0, dir.path().find_first_of("\\/") + 1);  // "/" or "C:\"
    const char separator = dir.path().back();
    const struct { const char* name; std::string target; bool junction, host; } links[] = {
        {"toRoot", root, false, false}, {"toHost", dir / "host", false, true},
        {"junctionToRoot", root, true, false}, {"junctionToHost", dir / "host", true, true}};
    std::string skipped;
    for (const auto& link : links) {
#ifndef _WIN32
        if (link.junction) continue;
#endif
        if (!makeDirectoryLink(dir / link.name, link.target, link.junction)) {
            skipped += std::string(skipped.empty() ? "" : ", ") + link.name;
            continue;
        }
        const std::string path = dir / link.name + separator;
        EXPECT_EQ(leadsToHostDirectory(path.c_str()), link.host) << link.name;
        EXPECT_EQ(leadsToRoot(path.c_str()), !link.host) << link.name;
    }
    if (!skipped.empty()) GTEST_SKIP() << "the platform made no directory link for " << skipped;
}

TEST(FileSystemTest, CurrentDirectoryAndTheDirectoryOfAPath) {
    TempDir dir;
    char saved[4096], now[4096], tiny[2] = "x";
    ASSERT_GT(fsGetCurrentDirectory(saved, sizeof saved), 0u);
    EXPECT_EQ(fsGetCurrentDirectory(tiny, sizeof tiny), std::strlen(saved) + 1);
    EXPECT_STREQ(tiny, "x");
    ASSERT_TRUE(fsSetCurrentDirectory(dir.path().c_str()));
    EXPECT_EQ(fsGetCurrentDirectory(now, sizeof now), dir.path().size() - 1);
    EXPECT_EQ(std::string(now) + dir.path().back(), dir.path());
    EXPECT_FALSE(fsSetCurrentDirectory((dir / "missing").c_str()));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorFileNotFound));
    ASSERT_TRUE(fsSetCurrentDirectory(saved));
    // The directory of a path, in a buffer of size bytes (null: does not fit, out untouched).
    const struct { const char* path; size_t size; const char* directory; } rows[] = {
        {"D:\\Tools\\Host\\host.exe", 512, "D:\\Tools\\Host\\"}, {"D:host.exe", 512, "D:"},
        {"/opt/host/host.exe", 512, "/opt/host/"}, {"host.exe", 512, ""},
        {"D:\\Tools\\host.exe", 10, "D:\\Tools\\"}, {"D:\\Tools\\host.exe", 9, nullptr}};
    for (const auto& row : rows) {
        char out[512] = "keep";
        EXPECT_EQ(fsDirectoryOfPath(row.path, out, row.size), row.directory != nullptr) << row.path;
        EXPECT_STREQ(out, row.directory ? row.directory : "keep") << row.path;
    }
}

}  // namespace
