// Copying one file under its overwrite policy, the file dates of the overwrite
// question, removing every old copy of a file from a directory tree, and the
// Yes/No question.
#include <cstdio>
#include <cstring>

#include "../platform/ui.h"
#include "../script/reader.h"
#include "../script/text.h"
#include "files.h"
#include "format.h"
#include "hostdir.h"

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal names when only the case of the ASCII letters A to Z differs.
bool sameNameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    return *a == *b;
}

}  // namespace

const char* monthName(int month) {
    static const char* const names[13] = {"",     "January ", "February ", "March",   "April",    "May",
                                          "June", "July ",    "August",    "September", "October", "November",
                                          "December"};
    return month >= 0 && month <= 12 ? names[month] : names[0];
}

bool readFileDate(const char* path, SystemTime* date) {
    FsFile file = fsOpenForRead(path);
    if (!file) return false;
    FileTime written, local;
    bool ok = fsGetLastWriteTime(file, &written) && fsFileTimeToLocal(&written, &local) &&
              fsFileTimeToSystemTime(&local, date);
    fsCloseFile(file);
    return ok;
}

int compareFileDates(const SystemTime& first, const SystemTime& second) {
    const unsigned short SystemTime::*fields[] = {&SystemTime::year, &SystemTime::month, &SystemTime::day,
                                                   &SystemTime::hour, &SystemTime::minute};
    for (auto field : fields) {
        int difference = static_cast<int>(first.*field) - static_cast<int>(second.*field);
        if (difference != 0) return difference;
    }
    return 0;
}

void formatFileDate(char* text, size_t size, const SystemTime& date) {
    if (!text || size == 0) return;
    std::snprintf(text, size, "%s %02d, %d, %02d:%02d", monthName(date.month), date.day, date.year, date.hour,
                  date.minute);
}

bool copyWithPolicy(const char* name, const char* sourceDir, const char* destDir, int overwriteKeyword,
                    const Variant& variant) {
    bool ask = overwriteKeyword == keywordAsk || overwriteKeyword == keywordAskIfDiffer;
    if (!ask && overwriteKeyword != keywordOverwrite && overwriteKeyword != keywordNotOverwrite) return true;
    if (!leadsToHostDirectory(destDir) || !isContainedName(name)) return false;

    // A path that does not fit in MAX_PATH is refused: the copy fails.
    char source[fsMaxPath], destination[fsMaxPath];
    if (!joinText(destination, sizeof destination, destDir, name) ||
        !joinText(source, sizeof source, sourceDir, name))
        return false;
    if (overwriteKeyword == keywordOverwrite) return fsCopyFile(source, destination, false);
    if (overwriteKeyword == keywordNotOverwrite) return fsCopyFile(source, destination, true);

    if (fsCopyFile(source, destination, true)) return true;
    SystemTime sourceDate, destinationDate;
    if (!readFileDate(source, &sourceDate) || !readFileDate(destination, &destinationDate)) return false;
    int order = compareFileDates(sourceDate, destinationDate);
    if (order == 0 && overwriteKeyword == keywordAskIfDiffer) return true;

    char sourceText[dateTextSize], destinationText[dateTextSize];
    formatFileDate(sourceText, sizeof sourceText, sourceDate);
    formatFileDate(destinationText, sizeof destinationText, destinationDate);
    int column = order > 0 ? 1 : 2;  // newer source: column 1; older: column 2
    const char* destinationWord = order == 0 ? "" : messageText(variant, 7, column);
    const char* sourceWord = order == 0 ? "" : messageText(variant, 8, column);
    MessageArg args[] = {textArg(destination), textArg(destinationText), textArg(destinationWord),
                         textArg(source),      textArg(sourceText),      textArg(sourceWord)};
    char question[engineTextSize];
    formatMessage(question, sizeof question, messageText(variant, 6), args, 6);
    if (askYesNo(question, order > 0, &variant) != answerYes) return true;
    return fsCopyFile(source, destination, false);
}

namespace {

// The walk below a host directory that was found sound: plain directories
// only, so no link, junction or mount point leads it elsewhere.
bool removeBelow(const char* name, const char* directory) {
    char pattern[fsMaxPath];
    if (!joinText(pattern, sizeof pattern, directory, "*")) return false;
    FsFindData entry;
    FsFind find = fsFindFirst(pattern, &entry);
    if (!find) return false;
    bool ok = true;
    do {
        if (std::strcmp(entry.name, ".") == 0 || std::strcmp(entry.name, "..") == 0) continue;
        bool wanted = sameNameIgnoringCase(entry.name, name);
        char path[fsMaxPath];
        if (!joinText(path, sizeof path, directory, entry.name)) {
            // Too long to be named: a wanted file cannot be deleted, anything
            // else is passed over.
            if (wanted) ok = false;
            continue;
        }
        unsigned long attributes = fsGetAttributes(path);
        if (attributes == fsAttributeDirectory) {
            char below[fsMaxPath];
            if (joinText(below, sizeof below, path, "\\")) removeBelow(name, below);
        } else if (wanted && !fsDeleteFile(path)) {
            ok = false;
        }
    } while (ok && fsFindNext(find, &entry));
    fsFindClose(find);
    return ok;
}

}  // namespace

bool removeMatchingFiles(const char* name, const char* directory) {
    if (!leadsToHostDirectory(directory)) return false;
    return removeBelow(name ? name : "", directory);
}

int askYesNo(const char* text, bool defaultYes, const Variant* variant) {
    const char* caption = variant ? cell(variant->title, 0, 0) : nullptr;
    unsigned style = boxYesNo | boxIconQuestion | (defaultYes ? 0u : static_cast<unsigned>(boxDefButton2));
    return uiMessageBox(nullptr, orEmpty(text), orEmpty(caption), style) == answerYes ? answerYes : answerNo;
}
