// The reader of the installation script "set//version.psc": lines,
// tags, blocks, the nesting check and the structural readers that build the
// script model. It works on the open file through the C library's FILE
// functions and file positions; it never loads the file as a whole.
#pragma once
#include <cstdio>
#include "model.h"

// Buffer sizes of the reader: every line, cell and composed text is worked on
// in 4096 characters; one read takes at most 4094 characters of a line.
enum {
    lineBufferSize = 4096,   // the buffer readLine fills
    lineReadSize = 4095,     // fgets size: at most 4094 characters and the NUL
    tagMaxLength = 256       // characters of a line's tag, "<<" and ">>" included
};

// What one readLine reports. Skipped lines (comments, lines without "<<") are
// never reported.
enum LineKind {
    lineTag = 0,
    lineStartScript = 1,
    lineEndScript = 2,
    lineStartSet = 3,
    lineEndSet = 4,
    lineStartVariant = 5,
    lineEndVariant = 6,
    lineEndOfFile = 7
};

// The code of a "<<file>>" keyword cell; -1 (keywordNone) for any other text
// and for an absent cell.
enum FileKeyword {
    keywordNone = -1,
    keywordProgdir = 0,
    keywordPlugdir = 1,
    keywordDoInstall = 2,
    keywordDoNotInstall = 3,
    keywordDoUninstall = 4,
    keywordDoNotUninstall = 5,
    keywordAsk = 6,
    keywordOverwrite = 7,
    keywordNotOverwrite = 8,
    keywordAskIfDiffer = 9
};

// The cells of a file entry (one row of a Variant's `files`).
enum FileCell {
    fileName = 0,
    fileSourceDir = 1,
    fileTarget = 2,
    fileUninstallPolicy = 3,
    fileInstallPolicy = 4,
    fileOverwritePolicy = 5
};

// The mode loadScript opens the script with: a text file ("rt"). glibc
// ignores the 't', so on Linux this is "rt" as written; on Windows the C runtime's
// text mode gives wrong ftell positions for a file with LF-only line ends
// (it counts every LF in its buffer as CR LF), and the reader lives on file
// positions, so there the file is opened "rb". Either way the reader sees
// the bytes as they are and drops a CR before LF itself (readLine).
#ifdef _WIN32
#define SCRIPT_OPEN_MODE "rb"
#else
#define SCRIPT_OPEN_MODE "rt"
#endif

// Exact, case-sensitive comparison with the ten keywords.
FileKeyword keywordCode(const char* text);

// One read: the next line that is not skipped, into buffer (lineBufferSize
// characters), classified before expansion; macro references expanded when
// expand is set; "\n" replaced by CR LF. A CR before the LF is dropped on every
// platform. When lineStart is given it receives the file position where the
// reported line (or line piece) starts.
LineKind readLine(FILE* file, char* buffer, bool expand, long* lineStart = nullptr);

// The tag of a line: the text from its first "<<" to the first ">>" after it,
// both included, at most tagMaxLength characters (a longer tag is cut). False,
// tag empty, when the line has no "<<" followed by ">>". tag holds at least
// tagMaxLength + 1 characters.
bool lineTagOf(const char* line, char* tag);

// Searches for the first line at or after from that contains tag anywhere;
// to is an end position or -1 for none. On success the file is set to the
// start of that line; otherwise it is set back to where it was.
bool findTag(FILE* file, long from, long to, const char* tag);
// Reads one block of tag lines with the same tag into table, from the current
// position. False only when a row cannot be appended.
bool readTagBlock(FILE* file, TextTable& table, bool expand);
// findTag, then on success readTagBlock.
bool readTag(FILE* file, long from, long to, const char* tag, TextTable& table, bool expand);

// The nesting check over the whole file. The file position is set back.
bool checkNesting(FILE* file);

// The outcome of the last loadScript.
enum LoadFailure {
    loadOk = 0,
    loadCannotOpen = 1,      // fopen failed; no box
    loadNoVersion = 2,       // no "<<script version>>" line; no box
    loadWrongVersion = 3,    // version cell not "3.0"; version box
    loadNesting = 4,         // checkNesting failed; script error box
    loadInvalidVariant = 5,  // a Variant lacks a required tag; script error box
    loadNoMemory = 6         // memory ran out while reading; script error box
};

// What the last loadScript recorded (reset by every loadScript).
struct ReadTrace {
    LoadFailure failure = loadOk;
    bool variantFailed = false;  // a Variant was read and was not valid
    long variantStart = -1;  // the first Variant that was not valid: body start (-1: none)
    long variantEnd = -1;    // and the start of its "<<end variant>>" line
};
const ReadTrace& lastReadTrace();

// The nesting check's first failure.
struct NestingFault {
    long position = -1;          // start of the failing marker line; -1 at the end of the file
    int marker = lineEndOfFile;  // the failing marker's LineKind; lineEndOfFile: counters not 0 at the end
    int scriptDepth = 0;         // the counters when the check failed
    int setDepth = 0;
    int variantDepth = 0;
    long openScript = -1;        // start of the innermost still-open marker line of each kind, -1: none
    long openSet = -1;
    long openVariant = -1;
};
// checkNesting with the detail of its failure; the same code path.
bool checkNestingDetail(FILE* file, NestingFault* fault);

// The structural readers. to is an end position or -1 for none.
bool readSetList(std::vector<Set>& list, FILE* file, long from, long to);
bool readSet(Set& set, FILE* file, long from, long to);
bool readVariant(Variant& variant, FILE* file);

// Splits a tag line into the cells between pairs of double quotes, "\q"
// becoming a double quote, appended to row. False only for lack of memory.
bool parseRow(TextRow& row, const char* line);

// Reads and checks the whole script into script (path: "set//version.psc").
// Shows the version or script error box where the load must end with one.
bool loadScript(Script& script, const char* path);

// The sixteen variant tags in the order readVariant reads them.
extern const char* const variantTags[16];
// The seven set tags in the order readSet tests them ("<<set text>" has one
// closing bracket).
extern const char* const setTags[7];
// The six script tags, version first.
extern const char* const scriptTags[6];
