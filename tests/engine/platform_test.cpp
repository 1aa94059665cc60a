// The registry and file-system platform layers through their interfaces
// (registry.h, fs.h): what the engine relies on from either build.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/fs.h"
#include "platform/registry.h"
#include "support.h"

namespace {

// Every test's keys lie under HKEY_LOCAL_MACHINE\SOFTWARE\EngineTests, which
// each hive first deletes, so on Windows one test's keys never meet another's.
const char* const base = "SOFTWARE\\EngineTests\\";

std::string hive(const std::string& body, const char* header = "Windows Registry Editor Version 5.00") {
    return std::string(header) + "\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\EngineTests]\r\n" + body;
}

// A section line for a key below the tests' base.
std::string section(const std::string& path) { return "[HKEY_LOCAL_MACHINE\\" + std::string(base) + path + "]\r\n"; }

std::string enumerate(RegistryKey key) {
    std::string names;
    for (unsigned long i = 0;; ++i) {
        char name[260];
        unsigned long size = sizeof name;
        long result = registryEnumKey(key, i, name, &size);
        if (result != registrySuccess) {
            EXPECT_EQ(result, registryNoMoreItems);
            return names;
        }
        EXPECT_EQ(size, std::strlen(name));
        names += (names.empty() ? "" : "|") + std::string(name);
    }
}

std::string queryText(RegistryKey key, const char* name) {
    unsigned char data[512];
    unsigned long size = sizeof data;
    if (registryQueryValue(key, name, data, &size) != registrySuccess) return "<none>";
    return std::string(reinterpret_cast<char*>(data), size);
}

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { useNoHive(); }
    RegistryKey open(const std::string& path) {
        RegistryKey key = nullptr;
        EXPECT_EQ(registryOpenKey(registryLocalMachine(), (base + path).c_str(), &key), registrySuccess) << path;
        return key;
    }
    long openResult(const std::string& path) {
        RegistryKey key = nullptr;
        long result = registryOpenKey(registryLocalMachine(), (base + path).c_str(), &key);
        if (result == registrySuccess) registryCloseKey(key);
        return result;
    }
    TempDir dir;
};

#ifndef _WIN32
TEST_F(RegistryTest, WithoutAHiveEveryOpenFailsAsForAMissingKey) {
    useNoHive();
    RegistryKey key = reinterpret_cast<RegistryKey>(1);
    EXPECT_EQ(registryOpenKey(registryLocalMachine(), "SOFTWARE", &key), registryFileNotFound);
    EXPECT_EQ(key, nullptr);
    setenv("SETUP_REGISTRY", (dir / "missing.reg").c_str(), 1);
    EXPECT_EQ(registryOpenKey(registryLocalMachine(), "SOFTWARE", &key), registryFileNotFound);
}
#endif

TEST_F(RegistryTest, ReadsSectionsValuesAndEscapes) {
    useHive(dir, hive(section("Vendor\\Host\\7.0") +
                      "@=\"C:\\\\Program Files\\\\Host\\\\\"\r\n"
                      "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
                      "\"Empty\"=\"\"\r\n"));
    RegistryKey key = open("VENDOR\\host\\7.0");
    EXPECT_EQ(queryText(key, nullptr), std::string("C:\\Program Files\\Host\\\0", 23));
    EXPECT_EQ(queryText(key, ""), queryText(key, nullptr));
    EXPECT_EQ(queryText(key, "quoted"), std::string("say \"hi\"\0", 9));
    EXPECT_EQ(queryText(key, "Empty"), std::string("\0", 1));
    EXPECT_EQ(queryText(key, "Missing"), "<none>");
    RegistryKey again = nullptr;
    ASSERT_EQ(registryOpenKey(key, "", &again), registrySuccess);
    EXPECT_EQ(queryText(again, "Quoted"), std::string("say \"hi\"\0", 9));
    registryCloseKey(again);
    registryCloseKey(key);
    // The parents of a section exist as keys of their own.
    key = open("Vendor");
    EXPECT_EQ(enumerate(key), "Host");
    EXPECT_EQ(queryText(key, nullptr), "<none>");
    registryCloseKey(key);
}

TEST_F(RegistryTest, DwordAndHexValuesAreTheirRawBytes) {
    useHive(dir, hive(section("K") +
                          "\"D\"=dword:0000001f\r\n"
                          "\"H\"=hex:41,42,\\\r\n  43,00\r\n"
                          "\"Z\"=hex:\r\n",
                      "REGEDIT4"));
    RegistryKey key = open("K");
    EXPECT_EQ(queryText(key, "D"), std::string("\x1f\0\0\0", 4));
    EXPECT_EQ(queryText(key, "H"), std::string("ABC\0", 4));
    EXPECT_EQ(queryText(key, "Z"), "");
    registryCloseKey(key);
}

TEST_F(RegistryTest, SubkeysEnumerateInCaseInsensitiveOrder) {
    useHive(dir, hive(section("R\\gamma") + section("R\\Alpha") + section("R\\AB") + section("R\\beta") +
                      section("r\\BETA\\x") + section("R\\b")));
    RegistryKey key = open("R");
    EXPECT_EQ(enumerate(key), "AB|Alpha|b|beta|gamma");
    registryCloseKey(key);
}

#ifndef _WIN32
// Windows keeps subkeys ordered by their upper-case names, so the characters
// between 'Z' and 'a' sort after the letters: "AB" < "ALPHA" < "A_B". (Wine
// compares lower case and puts "a_b" first.)
TEST_F(RegistryTest, TheOrderComparesUpperCaseNames) {
    useHive(dir, hive(section("R\\Alpha") + section("R\\a_b") + section("R\\AB")));
    RegistryKey key = open("R");
    EXPECT_EQ(enumerate(key), "AB|Alpha|a_b");
    registryCloseKey(key);
}
#endif

TEST_F(RegistryTest, BuffersThatAreTooSmallReportMoreData) {
    useHive(dir, hive(section("R\\LongerName") + "@=\"0123456789\"\r\n"));
    RegistryKey root = open("R");
    char name[8] = "keep";
    unsigned long size = sizeof name;
    EXPECT_EQ(registryEnumKey(root, 0, name, &size), registryMoreData);
#ifndef _WIN32
    EXPECT_STREQ(name, "keep");
#endif
    char fits[11];
    size = 10;  // the name without its NUL
    EXPECT_EQ(registryEnumKey(root, 0, fits, &size), registryMoreData);
    size = sizeof fits;
    EXPECT_EQ(registryEnumKey(root, 0, fits, &size), registrySuccess);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(registryEnumKey(root, 1, fits, &size), registryNoMoreItems);

    RegistryKey key;
    ASSERT_EQ(registryOpenKey(root, "longername", &key), registrySuccess);
    unsigned char data[10];
    size = sizeof data;
    EXPECT_EQ(registryQueryValue(key, nullptr, data, &size), registryMoreData);
    EXPECT_EQ(size, 11u);
    registryCloseKey(key);
    EXPECT_EQ(registryOpenKey(root, "Other", &key), registryFileNotFound);
    registryCloseKey(root);
}

TEST_F(RegistryTest, KeysAndValuesCanBeDeletedLaterInTheFile) {
    useHive(dir, hive(section("R\\A") + "\"V\"=\"1\"\r\n\"W\"=\"2\"\r\n" + section("R\\B\\C") +
                      "[-HKEY_LOCAL_MACHINE\\" + base + "R\\B]\r\n" + section("R\\A") + "\"v\"=-\r\n" +
                      "\"W\"=\"3\"\r\n"));
    RegistryKey root = open("R");
    EXPECT_EQ(enumerate(root), "A");
    RegistryKey key = open("R\\A");
    EXPECT_EQ(queryText(key, "V"), "<none>");
    EXPECT_EQ(queryText(key, "W"), std::string("3\0", 2));
    registryCloseKey(key);
    registryCloseKey(root);
}

TEST_F(RegistryTest, SectionsOfOtherRootsDoNotReachTheMachineKeys) {
    useHive(dir, hive("[HKEY_CURRENT_USER\\Software\\EngineTests\\X]\r\n@=\"u\"\r\n" + section("Y")));
    EXPECT_EQ(openResult("X"), registryFileNotFound);
    EXPECT_EQ(openResult("Y"), registrySuccess);
}

#ifndef _WIN32
TEST_F(RegistryTest, AMalformedHiveIsReadUpToItsFaultAndReported) {
    useHive(dir, hive(section("Good") + "\"V\"=\"ok\"\r\n\"Bad\"=\"no end\r\n" + section("Later")));
    testing::internal::CaptureStderr();
    RegistryKey key = open("Good");
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("line 6"), std::string::npos) << report;
    EXPECT_NE(report.find("hive.reg"), std::string::npos) << report;
    EXPECT_EQ(queryText(key, "V"), std::string("ok\0", 3));
    EXPECT_EQ(queryText(key, "Bad"), "<none>");
    registryCloseKey(key);
    testing::internal::CaptureStderr();
    EXPECT_EQ(openResult("Later"), registryFileNotFound);
    testing::internal::GetCapturedStderr();
}

TEST_F(RegistryTest, AnOpenKeyOutlivesAChangeOfTheHive) {
    useHive(dir, hive(section("A") + "@=\"first\"\r\n"));
    RegistryKey key = open("A");
    useHive(dir, hive(section("A") + "@=\"second\"\r\n"));
    EXPECT_EQ(queryText(key, nullptr), std::string("first\0", 6));
    RegistryKey fresh = open("A");
    EXPECT_EQ(queryText(fresh, nullptr), std::string("second\0", 7));
    registryCloseKey(fresh);
    registryCloseKey(key);
}
#endif

// --- File system ---

class FileSystemTest : public ::testing::Test {
protected:
    TempDir dir;
};

unsigned long long mtimeOf(const std::string& path) {
    struct stat st;
    stat(path.c_str(), &st);
    return static_cast<unsigned long long>(st.st_mtime);
}

TEST_F(FileSystemTest, CopyReplacingKeepsTheSourceDateAndLeavesNoTemporaryFile) {
    writeFile(dir / "src", "new contents");
    setLocalTime(dir / "src", 2004, 6, 1, 12, 0, 0);
    writeFile(dir / "dst", "old");
    EXPECT_TRUE(fsCopyFile((dir / "src").c_str(), (dir / "dst").c_str(), false));
    EXPECT_EQ(readFile(dir / "dst"), "new contents");
    EXPECT_EQ(mtimeOf(dir / "dst"), mtimeOf(dir / "src"));
    EXPECT_EQ(listDirectory(dir.path()), "dst src");
}

TEST_F(FileSystemTest, AFailedReplacingCopyLeavesTheTargetAsItWas) {
    writeFile(dir / "dst", "old");
    EXPECT_FALSE(fsCopyFile((dir / "missing").c_str(), (dir / "dst").c_str(), false));
    EXPECT_EQ(readFile(dir / "dst"), "old");
    // A source that is a directory cannot be copied either.
    makeDirectory(dir / "sub");
    EXPECT_FALSE(fsCopyFile((dir / "sub").c_str(), (dir / "dst").c_str(), false));
    EXPECT_EQ(readFile(dir / "dst"), "old");
    EXPECT_EQ(listDirectory(dir.path()), "dst sub");
}

TEST_F(FileSystemTest, CopyWithoutReplacingFailsOnAnExistingTarget) {
    writeFile(dir / "src", "new");
    writeFile(dir / "dst", "old");
    EXPECT_FALSE(fsCopyFile((dir / "src").c_str(), (dir / "dst").c_str(), true));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorFileExists));
    EXPECT_EQ(readFile(dir / "dst"), "old");
    EXPECT_TRUE(fsCopyFile((dir / "src").c_str(), (dir / "fresh").c_str(), true));
    EXPECT_EQ(readFile(dir / "fresh"), "new");
}

TEST_F(FileSystemTest, BackslashesSeparateDirectories) {
    makeDirectory(dir / "a");
    writeFile(dir / "src", "x");
    std::string target = dir.path() + "a\\b.txt";
    EXPECT_TRUE(fsCopyFile((dir / "src").c_str(), target.c_str(), false));
    EXPECT_EQ(readFile(dir / "a/b.txt"), "x");
    EXPECT_FALSE(fsCopyFile((dir / "src").c_str(), (dir.path() + "none\\b.txt").c_str(), false));
}

TEST_F(FileSystemTest, ReplacingAReadOnlyTargetFailsAsOnWindows) {
    if (underWine()) GTEST_SKIP() << "Wine lets a read-only target be replaced";
    writeFile(dir / "src", "new");
    writeFile(dir / "dst", "old");
    makeReadOnly(dir / "dst");
    EXPECT_FALSE(fsCopyFile((dir / "src").c_str(), (dir / "dst").c_str(), false));
    EXPECT_EQ(readFile(dir / "dst"), "old");
}

TEST_F(FileSystemTest, AttributesOfDirectoriesAndFiles) {
    makeDirectory(dir / "plain");
    makeDirectory(dir / "locked");
    makeReadOnly(dir / "locked");
    writeFile(dir / "file", "x");
#ifndef _WIN32
    symlink((dir / "plain").c_str(), (dir / "link").c_str());
#endif
    EXPECT_EQ(fsGetAttributes((dir / "plain").c_str()), static_cast<unsigned long>(fsAttributeDirectory));
    unsigned long locked = fsGetAttributes((dir / "locked").c_str());
    EXPECT_TRUE(locked & fsAttributeDirectory);
    if (!underWine()) {
        EXPECT_TRUE(locked & fsAttributeReadOnly);
    }
    unsigned long file = fsGetAttributes((dir / "file").c_str());
    EXPECT_FALSE(file & fsAttributeDirectory);
#ifndef _WIN32
    EXPECT_NE(fsGetAttributes((dir / "link").c_str()), static_cast<unsigned long>(fsAttributeDirectory));
#endif
    EXPECT_EQ(fsGetAttributes((dir / "missing").c_str()), static_cast<unsigned long>(fsInvalidAttributes));
}

TEST_F(FileSystemTest, ListingShowsEveryEntryWithDotAndDotDot) {
    makeDirectory(dir / "sub");
    writeFile(dir / "File.TXT", "x");
    FsFindData data;
    std::string pattern = dir.path() + "*";
    FsFind find = fsFindFirst(pattern.c_str(), &data);
    ASSERT_NE(find, nullptr);
    std::string names;
    do {
        names += std::string(data.name) + (data.attributes == fsAttributeDirectory ? "/ " : " ");
    } while (fsFindNext(find, &data));
    fsFindClose(find);
    for (const char* expected : {"./ ", "../ ", "sub/ ", "File.TXT "})
        EXPECT_NE(names.find(expected), std::string::npos) << names;
    EXPECT_EQ(fsFindFirst((dir.path() + "none\\*").c_str(), &data), nullptr);
    FsFind one = fsFindFirst((dir.path() + "file.*").c_str(), &data);
    ASSERT_NE(one, nullptr);
    EXPECT_STREQ(data.name, "File.TXT");
    EXPECT_FALSE(fsFindNext(one, &data));
    fsFindClose(one);
}

TEST_F(FileSystemTest, CreateDirectoryTellsExistingFromImpossible) {
    std::string path = dir.path() + "new\\";
    EXPECT_TRUE(fsCreateDirectory(path.c_str()));
    EXPECT_FALSE(fsCreateDirectory(path.c_str()));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorAlreadyExists));
    EXPECT_FALSE(fsCreateDirectory((dir.path() + "none\\deeper\\").c_str()));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorPathNotFound));
}

TEST_F(FileSystemTest, DeleteRemovesFilesButNotDirectoriesOrReadOnlyFiles) {
    writeFile(dir / "a", "x");
    writeFile(dir / "ro", "x");
    makeReadOnly(dir / "ro");
    makeDirectory(dir / "d");
    EXPECT_TRUE(fsDeleteFile((dir / "a").c_str()));
    EXPECT_FALSE(fsDeleteFile((dir / "ro").c_str()));
    EXPECT_FALSE(fsDeleteFile((dir / "d").c_str()));
    EXPECT_FALSE(fsDeleteFile((dir / "a").c_str()));
    EXPECT_EQ(listDirectory(dir.path()), "d ro");
}

TEST_F(FileSystemTest, LastWriteTimeIsLocalCalendarTime) {
    writeFile(dir / "f", "x");
    setLocalTime(dir / "f", 2005, 3, 5, 14, 7, 33);
    FsFile file = fsOpenForRead((dir / "f").c_str());
    ASSERT_NE(file, nullptr);
    FileTime utc, local;
    SystemTime date;
    ASSERT_TRUE(fsGetLastWriteTime(file, &utc));
    fsCloseFile(file);
    ASSERT_TRUE(fsFileTimeToLocal(&utc, &local));
    ASSERT_TRUE(fsFileTimeToSystemTime(&local, &date));
    EXPECT_EQ(date.year, 2005);
    EXPECT_EQ(date.month, 3);
    EXPECT_EQ(date.day, 5);
    EXPECT_EQ(date.dayOfWeek, 6);  // a Saturday
    EXPECT_EQ(date.hour, 14);
    EXPECT_EQ(date.minute, 7);
    EXPECT_EQ(date.second, 33);
    EXPECT_EQ(fsOpenForRead((dir / "missing").c_str()), nullptr);
}

TEST(FileTimeTest, CalendarConversionOfKnownInstants) {
    SystemTime date;
    FileTime start{0};
    ASSERT_TRUE(fsFileTimeToSystemTime(&start, &date));
    EXPECT_EQ(date.year, 1601);
    EXPECT_EQ(date.month, 1);
    EXPECT_EQ(date.day, 1);
    EXPECT_EQ(date.dayOfWeek, 1);
    FileTime leap{(11644473600ull + 951782400ull) * 10000000ull + 1234567ull};  // 2000-02-29 00:00:00.123
    ASSERT_TRUE(fsFileTimeToSystemTime(&leap, &date));
    EXPECT_EQ(date.year, 2000);
    EXPECT_EQ(date.month, 2);
    EXPECT_EQ(date.day, 29);
    EXPECT_EQ(date.dayOfWeek, 2);
    EXPECT_EQ(date.milliseconds, 123);
    FileTime tooLate{0x8000000000000000ull};
    EXPECT_FALSE(fsFileTimeToSystemTime(&tooLate, &date));
}

// The Windows run sets TZ=Europe/Berlin, so there the offset is not zero.
TEST(FileTimeTest, LocalTimeFollowsTheSystemTimeZone) {
    const unsigned long long ticksPerSecond = 10000000ull;
    const FileTime utc{133497956960000000ull};  // 2024-01-15 12:34:56 UTC
    FileTime local;
    ASSERT_TRUE(fsFileTimeToLocal(&utc, &local));
#ifdef _WIN32
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    const long long offset = -static_cast<long long>(zone.Bias + zone.StandardBias) * 60;
    char tz[64] = "";
    GetEnvironmentVariableA("TZ", tz, sizeof tz);
    if (std::string(tz) == "Europe/Berlin") {
        EXPECT_EQ(offset, 3600);
    }
#else
    const time_t when = static_cast<time_t>(utc.ticks / ticksPerSecond - 11644473600ull);
    struct tm parts;
    ASSERT_NE(localtime_r(&when, &parts), nullptr);
    const long long offset = parts.tm_gmtoff;
#endif
    EXPECT_EQ(static_cast<long long>(local.ticks - utc.ticks), offset * static_cast<long long>(ticksPerSecond));
}

TEST_F(FileSystemTest, CurrentDirectoryRoundTrip) {
    char saved[4096];
    ASSERT_GT(fsGetCurrentDirectory(saved, sizeof saved), 0u);
    char tiny[2] = "x";
    unsigned long needed = fsGetCurrentDirectory(tiny, sizeof tiny);
    EXPECT_EQ(needed, std::strlen(saved) + 1);
    EXPECT_STREQ(tiny, "x");
    ASSERT_TRUE(fsSetCurrentDirectory(dir.path().c_str()));
    char now[4096];
    fsGetCurrentDirectory(now, sizeof now);
    EXPECT_EQ(std::string(now) + dir.path().back(), dir.path());
    EXPECT_FALSE(fsSetCurrentDirectory((dir / "missing").c_str()));
    ASSERT_TRUE(fsSetCurrentDirectory(saved));
}

TEST(PathTest, DirectoryOfAChosenFile) {
    char out[512];
    ASSERT_TRUE(fsDirectoryOfPath("D:\\Tools\\Host\\host.exe", out, sizeof out));
    EXPECT_STREQ(out, "D:\\Tools\\Host\\");
    ASSERT_TRUE(fsDirectoryOfPath("D:host.exe", out, sizeof out));
    EXPECT_STREQ(out, "D:");
    char small[6] = "keep";
    EXPECT_FALSE(fsDirectoryOfPath("D:\\Tools\\host.exe", small, sizeof small));
    EXPECT_STREQ(small, "keep");
#ifndef _WIN32
    ASSERT_TRUE(fsDirectoryOfPath("/opt/host/bin/host.exe", out, sizeof out));
    EXPECT_STREQ(out, "/opt/host/bin/");
#endif
}

}  // namespace
