// The registry and file-system layers of setup (registry.h, fs.h) and the
// dates of the overwrite question, run as a Windows program against the real
// system: the registry keys come from platform_test.reg, which the test run
// imports with `reg import` before it starts this program.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/files.h"
#include "platform/fs.h"
#include "platform/registry.h"

namespace {

const char* const testRoot = "SOFTWARE\\SetupPlatformTest";

// Subkey names of a key joined by '|', as registryEnumKey yields them.
std::string enumerate(RegistryKey key) {
    std::string names;
    for (unsigned long i = 0;; ++i) {
        char name[260];
        unsigned long size = sizeof name;
        const long result = registryEnumKey(key, i, name, &size);
        if (result != registrySuccess) {
            EXPECT_EQ(result, registryNoMoreItems);
            return names;
        }
        EXPECT_EQ(size, std::strlen(name));
        names += (names.empty() ? "" : "|") + std::string(name);
    }
}

// A value's raw bytes, or "<none>" when the query fails.
std::string queryBytes(RegistryKey key, const char* name) {
    unsigned char data[512];
    unsigned long size = sizeof data;
    if (registryQueryValue(key, name, data, &size) != registrySuccess) return "<none>";
    return std::string(reinterpret_cast<char*>(data), size);
}

// Opens the imported test key (a failure means the import did not happen).
RegistryKey openRoot() {
    RegistryKey key = nullptr;
    EXPECT_EQ(registryOpenKey(registryLocalMachine(), testRoot, &key), registrySuccess)
        << "platform_test.reg was not imported";
    return key;
}

TEST(Registry, ImportedKeysOpenWithoutRegardToCase) {
    RegistryKey key = nullptr;
    ASSERT_EQ(registryOpenKey(registryLocalMachine(), "software\\setupplatformtest\\HOSTS", &key), registrySuccess);
    EXPECT_NE(key, nullptr);
    EXPECT_EQ(registryCloseKey(key), registrySuccess);
}

TEST(Registry, MissingKeysAndValuesAreNotFound) {
    RegistryKey key = reinterpret_cast<RegistryKey>(1);
    EXPECT_EQ(registryOpenKey(registryLocalMachine(), "SOFTWARE\\SetupPlatformTest\\NoSuchKey", &key),
              registryFileNotFound);
    RegistryKey root = openRoot();
    unsigned char data[16];
    unsigned long size = sizeof data;
    EXPECT_EQ(registryQueryValue(root, "NoSuchValue", data, &size), registryFileNotFound);
    registryCloseKey(root);
}

TEST(Registry, SubkeysEnumerateSortedWithoutRegardToCase) {
    RegistryKey hosts = nullptr;
    ASSERT_EQ(registryOpenKey(registryLocalMachine(), "SOFTWARE\\SetupPlatformTest\\Hosts", &hosts), registrySuccess);
    // Imported as Zeta, alpha, Beta 7, beta_6, 10.0: Windows keeps them sorted
    // as upper case, where '_' (0x5F) sorts after the letters and digits.
    EXPECT_EQ(enumerate(hosts), "10.0|alpha|Beta 7|beta_6|Zeta");
    registryCloseKey(hosts);
}

TEST(Registry, EmptyPathOpensTheKeyAgain) {
    RegistryKey root = openRoot();
    RegistryKey again = nullptr;
    ASSERT_EQ(registryOpenKey(root, "", &again), registrySuccess);
    EXPECT_EQ(queryBytes(again, "Name"), std::string("Platform test\0", 14));
    registryCloseKey(again);
    registryCloseKey(root);
}

TEST(Registry, ValuesComeAsRawBytesWhateverTheirType) {
    RegistryKey root = openRoot();
    EXPECT_EQ(queryBytes(root, nullptr), std::string("C:\\Default\\Dir\0", 15));
    EXPECT_EQ(queryBytes(root, ""), std::string("C:\\Default\\Dir\0", 15));
    EXPECT_EQ(queryBytes(root, "Name"), std::string("Platform test\0", 14));
    EXPECT_EQ(queryBytes(root, "Number"), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(queryBytes(root, "Binary"), std::string("\x01\x02\x00\xff", 4));
    registryCloseKey(root);
}

TEST(Registry, SmallBuffersReportMoreData) {
    RegistryKey root = openRoot();
    unsigned char data[4] = {'x', 'x', 'x', 'x'};
    unsigned long size = sizeof data;
    EXPECT_EQ(registryQueryValue(root, "Name", data, &size), registryMoreData);
    EXPECT_EQ(size, 14u);
    RegistryKey hosts = nullptr;
    ASSERT_EQ(registryOpenKey(root, "Hosts", &hosts), registrySuccess);
    char name[4] = "abc";
    unsigned long nameSize = sizeof name;
    EXPECT_EQ(registryEnumKey(hosts, 1, name, &nameSize), registryMoreData);  // "alpha"
    nameSize = sizeof name;
    EXPECT_EQ(registryEnumKey(hosts, 99, name, &nameSize), registryNoMoreItems);
    registryCloseKey(hosts);
    registryCloseKey(root);
}

// A scratch directory under the temporary directory, removed afterwards.
class FileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        dir = std::string(temp) + "setup-fs-" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    }
    void TearDown() override { removeTree(dir); }

    // Deletes a directory with everything below it, read-only files included.
    static void removeTree(const std::string& directory) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((directory + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = directory + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(path + "\\");
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(directory.c_str());
    }

    // Writes a file and gives it a last-write time (FILETIME ticks, UTC).
    std::string write(const char* name, const std::string& content, unsigned long long ticks = 0) {
        const std::string path = dir + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        if (ticks) {
            FILETIME time;
            time.dwLowDateTime = static_cast<DWORD>(ticks);
            time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
            EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
        }
        CloseHandle(file);
        return path;
    }

    // A file's contents, or "<missing>".
    static std::string read(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        char buffer[4096];
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        return std::string(buffer, got);
    }

    // A file's last-write time through the layer (FILETIME ticks, UTC).
    static unsigned long long lastWrite(const std::string& path) {
        FsFile file = fsOpenForRead(path.c_str());
        EXPECT_NE(file, nullptr) << path;
        FileTime time = {0};
        if (file) {
            EXPECT_TRUE(fsGetLastWriteTime(file, &time));
            fsCloseFile(file);
        }
        return time.ticks;
    }

    std::string dir;
};

// 2024-01-15 12:34:56 UTC as FILETIME ticks.
const unsigned long long knownTicks = 133497956960000000ull;

TEST_F(FileSystem, CopyReplacingKeepsTheSourceDate) {
    const std::string from = write("new.dll", "new", knownTicks);
    const std::string to = write("old.dll", "old");
    EXPECT_TRUE(fsCopyFile(from.c_str(), to.c_str(), false));
    EXPECT_EQ(read(to), "new");
    EXPECT_EQ(lastWrite(to), knownTicks);
}

TEST_F(FileSystem, CopyWithoutReplacingFailsOnAnExistingTarget) {
    const std::string from = write("a.txt", "a");
    const std::string to = write("b.txt", "b");
    EXPECT_FALSE(fsCopyFile(from.c_str(), to.c_str(), true));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorFileExists));
    EXPECT_EQ(read(to), "b");
    const std::string fresh = dir + "c.txt";
    EXPECT_TRUE(fsCopyFile(from.c_str(), fresh.c_str(), true));
    EXPECT_EQ(read(fresh), "a");
}

// (Replacing a read-only file by copying is not checked here: Wine lets a
// root user do it, where Windows refuses.)
TEST_F(FileSystem, ReadOnlyFilesAreNotDeleted) {
    const std::string file = write("locked.txt", "b");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(fsDeleteFile(file.c_str()));
    EXPECT_EQ(read(file), "b");
    EXPECT_EQ(fsGetAttributes(file.c_str()) & fsAttributeReadOnly, static_cast<unsigned long>(fsAttributeReadOnly));
}

TEST_F(FileSystem, AttributesOfDirectoriesAndFiles) {
    const std::string file = write("plain.txt", "x");
    EXPECT_EQ(fsGetAttributes(dir.c_str()) & fsAttributeDirectory, static_cast<unsigned long>(fsAttributeDirectory));
    EXPECT_EQ(fsGetAttributes(file.c_str()) & fsAttributeDirectory, 0ul);
    EXPECT_EQ(fsGetAttributes((dir + "missing").c_str()), static_cast<unsigned long>(fsInvalidAttributes));
}

TEST_F(FileSystem, ListingShowsEveryEntryWithDotAndDotDot) {
    write("one.txt", "1");
    write("two.txt", "2");
    ASSERT_TRUE(fsCreateDirectory((dir + "sub").c_str()));
    FsFindData entry;
    FsFind find = fsFindFirst((dir + "*").c_str(), &entry);
    ASSERT_NE(find, nullptr);
    int dots = 0, files = 0, directories = 0;
    do {
        const std::string name = entry.name;
        if (name == "." || name == "..")
            ++dots;
        else if (entry.attributes & fsAttributeDirectory)
            directories += name == "sub";
        else
            files += name == "one.txt" || name == "two.txt";
    } while (fsFindNext(find, &entry));
    fsFindClose(find);
    EXPECT_EQ(dots, 2);
    EXPECT_EQ(files, 2);
    EXPECT_EQ(directories, 1);
    EXPECT_EQ(fsFindFirst((dir + "nothing\\*").c_str(), &entry), nullptr);
}

TEST_F(FileSystem, CreateDirectoryTellsExistingFromImpossible) {
    const std::string sub = dir + "Plug-ins";
    EXPECT_TRUE(fsCreateDirectory(sub.c_str()));
    EXPECT_FALSE(fsCreateDirectory(sub.c_str()));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorAlreadyExists));
    EXPECT_FALSE(fsCreateDirectory((dir + "no\\such\\parent").c_str()));
    EXPECT_EQ(fsLastError(), static_cast<unsigned long>(fsErrorPathNotFound));
}

TEST_F(FileSystem, DeleteRemovesFilesButNotDirectories) {
    const std::string file = write("gone.txt", "x");
    EXPECT_TRUE(fsDeleteFile(file.c_str()));
    EXPECT_EQ(fsGetAttributes(file.c_str()), static_cast<unsigned long>(fsInvalidAttributes));
    ASSERT_TRUE(fsCreateDirectory((dir + "keep").c_str()));
    EXPECT_FALSE(fsDeleteFile((dir + "keep").c_str()));
    EXPECT_FALSE(fsDeleteFile(file.c_str()));
}

TEST_F(FileSystem, CurrentDirectoryRoundTrip) {
    char saved[fsMaxPath];
    const unsigned long length = fsGetCurrentDirectory(saved, sizeof saved);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof saved);
    char tiny[2] = "x";
    EXPECT_GT(fsGetCurrentDirectory(tiny, sizeof tiny), 2u);
    EXPECT_TRUE(fsSetCurrentDirectory(dir.c_str()));
    char now[fsMaxPath];
    ASSERT_GT(fsGetCurrentDirectory(now, sizeof now), 0u);
    EXPECT_EQ(std::string(now) + "\\", dir);
    EXPECT_TRUE(fsSetCurrentDirectory(saved));
    EXPECT_FALSE(fsSetCurrentDirectory((dir + "missing").c_str()));
}

TEST(Path, DirectoryOfAChosenFile) {
    char out[fsMaxPath];
    ASSERT_TRUE(fsDirectoryOfPath("D:\\Tools\\Host\\host.exe", out, sizeof out));
    EXPECT_STREQ(out, "D:\\Tools\\Host\\");
    char small[5];
    EXPECT_FALSE(fsDirectoryOfPath("D:\\Tools\\Host\\host.exe", small, sizeof small));
}

TEST(Dates, CalendarConversionOfAKnownInstant) {
    const FileTime time = {knownTicks};
    SystemTime calendar;
    ASSERT_TRUE(fsFileTimeToSystemTime(&time, &calendar));
    EXPECT_EQ(calendar.year, 2024);
    EXPECT_EQ(calendar.month, 1);
    EXPECT_EQ(calendar.day, 15);
    EXPECT_EQ(calendar.dayOfWeek, 1);  // a Monday
    EXPECT_EQ(calendar.hour, 12);
    EXPECT_EQ(calendar.minute, 34);
    EXPECT_EQ(calendar.second, 56);
}

TEST(Dates, LocalTimeFollowsTheSystemTimeZone) {
    // The test run sets TZ=Europe/Berlin: one hour east of UTC in January.
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    const FileTime utc = {knownTicks};
    FileTime local;
    ASSERT_TRUE(fsFileTimeToLocal(&utc, &local));
    const long long bias = -static_cast<long long>(zone.Bias + zone.StandardBias) * 60 * 10000000ll;
    EXPECT_EQ(static_cast<long long>(local.ticks - utc.ticks), bias);
    char tz[64] = "";
    GetEnvironmentVariableA("TZ", tz, sizeof tz);
    if (std::string(tz) == "Europe/Berlin") {
        EXPECT_EQ(local.ticks - utc.ticks, 3600ull * 10000000ull);
    }
}

TEST_F(FileSystem, OverwriteQuestionDatesAreLocalCalendarTime) {
    const std::string file = write("dated.dll", "x", knownTicks);
    SystemTime date;
    ASSERT_TRUE(readFileDate(file.c_str(), &date));
    FILETIME utc, local;
    utc.dwLowDateTime = static_cast<DWORD>(knownTicks);
    utc.dwHighDateTime = static_cast<DWORD>(knownTicks >> 32);
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME expected;
    FileTimeToSystemTime(&local, &expected);
    EXPECT_EQ(date.year, expected.wYear);
    EXPECT_EQ(date.month, expected.wMonth);
    EXPECT_EQ(date.day, expected.wDay);
    EXPECT_EQ(date.hour, expected.wHour);
    EXPECT_EQ(date.minute, expected.wMinute);
    char text[dateTextSize];
    formatFileDate(text, sizeof text, date);
    char want[dateTextSize];
    std::snprintf(want, sizeof want, "%s %02d, %d, %02d:%02d", monthName(expected.wMonth), expected.wDay,
                  expected.wYear, expected.wHour, expected.wMinute);
    EXPECT_STREQ(text, want);
    EXPECT_FALSE(readFileDate((dir + "missing.dll").c_str(), &date));
}

}  // namespace
