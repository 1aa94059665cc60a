// The installation script's reader. Line buffers live on the heap (std::vector):
// readSet and readSetList call each other once per nesting level, so their
// frames must stay small however deep the Sets nest.
#include "reader.h"
#include <cstring>
#include <memory>
#include <new>
#include "text.h"

const char* const variantTags[16] = {
    "<<variant intro>>", "<<variant title>>", "<<variant fewappl>>", "<<variant license>>",
    "<<variant button>>", "<<variant comment>>", "<<variant error>>",
    "<<default plugins dir>>", "<<default filters dir>>", "<<photoshop exe>>",
    "<<drives to search>>", "<<plugin registry key>>", "<<application registry key>>",
    "<<adobe registry key>>", "<<file>>", "<<str>>"};

const char* const setTags[7] = {"<<set intro>>", "<<set title>>", "<<set text>",
                                "<<set welcome>>", "<<set comment>>", "<<set button>>",
                                "<<set error>>"};

const char* const scriptTags[6] = {"<<script version>>", "<<script macro>>",
                                   "<<script title>>", "<<script welcome>>",
                                   "<<script error>>", "<<script button>>"};

namespace {

ReadTrace trace;

const char* const markers[6] = {"<<start script>>", "<<end script>>", "<<start set>>",
                                "<<end set>>", "<<start variant>>", "<<end variant>>"};

typedef std::vector<char> LineBuffer;

LineBuffer newLine() { return LineBuffer(lineBufferSize, '\0'); }

bool seekTo(FILE* file, long position) {
    return position >= 0 && std::fseek(file, position, SEEK_SET) == 0;
}

void seekBack(FILE* file, long position) {
    if (position >= 0) std::fseek(file, position, SEEK_SET);
}

// The Variant's sixteen tables in the order of variantTags.
void variantTables(Variant& v, TextTable* tables[16]) {
    TextTable* list[16] = {&v.intro, &v.title, &v.fewappl, &v.license, &v.buttons,
                           &v.comment, &v.error, &v.defaultPluginsDir, &v.defaultFiltersDir,
                           &v.photoshopExe, &v.drivesToSearch, &v.pluginRegistryKey,
                           &v.applicationRegistryKey, &v.adobeRegistryKey, &v.files,
                           &v.messages};
    for (int i = 0; i < 16; ++i) tables[i] = list[i];
}

}  // namespace

const ReadTrace& lastReadTrace() { return trace; }

FileKeyword keywordCode(const char* text) {
    static const char* const words[10] = {"progdir", "plugdir", "doInstall", "doNotInstall",
                                          "doUninstall", "doNotUninstall", "Ask",
                                          "Overwrite", "notOverwrite", "AskIfDiffer"};
    if (!text) return keywordNone;
    for (int i = 0; i < 10; ++i)
        if (std::strcmp(text, words[i]) == 0) return static_cast<FileKeyword>(i);
    return keywordNone;
}

LineKind readLine(FILE* file, char* buffer, bool expand, long* lineStart) {
    for (;;) {
        long start = std::ftell(file);
        if (lineStart) *lineStart = start;
        if (!std::fgets(buffer, lineReadSize, file)) {
            buffer[0] = '\0';
            return lineEndOfFile;
        }
        size_t length = std::strlen(buffer);  // a NUL byte ends the text early
        // A CR before the LF is dropped, also when the cut fell between them.
        if (length >= 2 && buffer[length - 2] == '\r' && buffer[length - 1] == '\n') {
            buffer[length - 2] = '\n';
            buffer[--length] = '\0';
        } else if (length == lineReadSize - 1 && buffer[length - 1] == '\r') {
            int next = std::getc(file);
            if (next == '\n')
                buffer[length - 1] = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        size_t blanks = std::strspn(buffer, " \t");
        if (blanks) std::memmove(buffer, buffer + blanks, length - blanks + 1);
        if (buffer[0] == '!') continue;
        if (buffer[0] == '\0') return lineEndOfFile;
        if (!std::strstr(buffer, "<<")) continue;

        LineKind kind = lineTag;
        for (int i = 0; i < 6; ++i) {
            if (std::strstr(buffer, markers[i])) {
                kind = static_cast<LineKind>(i + 1);
                break;
            }
        }
        if (expand) expandMacros(buffer, lineBufferSize);  // refused: the line stays as written
        for (char* p = buffer; p[0] != '\0'; ++p) {
            if (p[0] == '\\' && p[1] == 'n') {
                p[0] = '\r';
                p[1] = '\n';
                ++p;
            }
        }
        return kind;
    }
}

bool lineTagOf(const char* line, char* tag) {
    tag[0] = '\0';
    const char* open = std::strstr(line, "<<");
    if (!open) return false;
    const char* close = std::strstr(open + 2, ">>");
    if (!close) return false;
    size_t length = static_cast<size_t>(close + 2 - open);
    if (length > tagMaxLength) length = tagMaxLength;
    std::memcpy(tag, open, length);
    tag[length] = '\0';
    return true;
}

bool findTag(FILE* file, long from, long to, const char* tag) {
    long saved = std::ftell(file);
    if (!tag || !seekTo(file, from)) {
        seekBack(file, saved);
        return false;
    }
    LineBuffer line = newLine();
    for (;;) {
        long start = -1;
        LineKind kind = readLine(file, line.data(), true, &start);
        if (kind == lineEndOfFile) break;
        if (to >= 0 && start > to) break;
        if (std::strstr(line.data(), tag)) {
            std::fseek(file, start, SEEK_SET);
            return true;
        }
    }
    seekBack(file, saved);
    return false;
}

bool readTagBlock(FILE* file, TextTable& table, bool expand) {
    LineBuffer line = newLine();
    char tag[tagMaxLength + 1];
    bool first = true;
    for (;;) {
        if (readLine(file, line.data(), expand) != lineTag) return true;
        if (first) {
            first = false;
            if (!lineTagOf(line.data(), tag)) return true;  // no usable tag: an empty block
        }
        if (!std::strstr(line.data(), tag)) return true;
        TextRow row;
        if (!parseRow(row, line.data())) return false;
        table.rows.push_back(std::move(row));
    }
}

bool readTag(FILE* file, long from, long to, const char* tag, TextTable& table, bool expand) {
    return findTag(file, from, to, tag) && readTagBlock(file, table, expand);
}

bool checkNestingDetail(FILE* file, NestingFault* fault) {
    long saved = std::ftell(file);
    if (!seekTo(file, 0)) return false;
    LineBuffer line = newLine();
    int script = 0, set = 0, variant = 0;
    std::vector<long> openScripts, openSets, openVariants;  // only kept for a fault report
    bool ok = true;
    long position = -1;
    LineKind kind = lineEndOfFile;
    for (;;) {
        kind = readLine(file, line.data(), false, &position);
        if (kind == lineEndOfFile) break;
        switch (kind) {
        case lineStartScript: ok = ++script <= 1; break;
        case lineEndScript: ok = --script >= 0; break;
        case lineStartSet:
            ok = variant == 0;
            if (ok) ++set;
            break;
        case lineEndSet: ok = --set >= 0; break;
        case lineStartVariant: ok = ++variant <= 1; break;
        case lineEndVariant: ok = --variant >= 0; break;
        default: break;
        }
        if (!ok) break;
        if (fault) {
            switch (kind) {
            case lineStartScript: openScripts.push_back(position); break;
            case lineEndScript: openScripts.pop_back(); break;
            case lineStartSet: openSets.push_back(position); break;
            case lineEndSet: openSets.pop_back(); break;
            case lineStartVariant: openVariants.push_back(position); break;
            case lineEndVariant: openVariants.pop_back(); break;
            default: break;
            }
        }
    }
    if (ok && (script != 0 || set != 0 || variant != 0)) {
        ok = false;
        position = -1;
        kind = lineEndOfFile;
    }
    if (!ok && fault) {
        fault->position = position;
        fault->marker = kind;
        fault->scriptDepth = script;
        fault->setDepth = set;
        fault->variantDepth = variant;
        fault->openScript = openScripts.empty() ? -1 : openScripts.back();
        fault->openSet = openSets.empty() ? -1 : openSets.back();
        fault->openVariant = openVariants.empty() ? -1 : openVariants.back();
    }
    seekBack(file, saved);
    return ok;
}

bool checkNesting(FILE* file) { return checkNestingDetail(file, nullptr); }

// A line belongs to a range when the line itself starts before the range's
// end; skipped lines (comments, blank lines) in front of it do not count.
bool readSetList(std::vector<Set>& list, FILE* file, long from, long to) {
    long saved = std::ftell(file);
    list.clear();
    if (!seekTo(file, from)) {
        seekBack(file, saved);
        return false;
    }
    LineBuffer line = newLine();
    std::unique_ptr<Set> working(new Set());
    int depth = 0;
    long bodyStart = -1;
    for (;;) {
        if (to >= 0 && std::ftell(file) >= to) break;
        long start = -1;
        LineKind kind = readLine(file, line.data(), true, &start);
        if (kind == lineEndOfFile || (to >= 0 && start >= to)) break;
        if (kind == lineEndScript) return true;
        if (kind == lineStartSet) {
            if (++depth == 1) bodyStart = std::ftell(file);
        } else if (kind == lineEndSet) {
            if (--depth < 0) return false;
            if (depth == 0) {
                if (!readSet(*working, file, bodyStart, start)) return false;
                list.push_back(std::move(*working));  // the list owns the complete Set
                clearSet(*working);
            }
        }
    }
    seekBack(file, saved);
    return true;
}

namespace {

// One open Set while readSet walks a range: the Set (the root, or a nested Set
// owned here until it closes), whether lines are at its own level, and where
// its current Variant's body began.
struct OpenSet {
    Set* set;
    std::unique_ptr<Set> owned;
    bool ownLevel;
    long variantStart;
};

// Reads the Set whose body is the range from the current position to `to`:
// its own-level tags, its Variants, and its nested Sets as they come, in one
// pass over the lines. The result is the tree that a second pass of
// readSetList over each Set's range would build: a nested Set is
// appended when its "<<end set>>" closes it, unless "<<end script>>" came
// before (readSetList stops there), and a Set still open at the end of the
// range is not appended. Nesting is kept on an explicit stack, not on the
// call stack, so any depth works.
bool readSetRange(Set& root, FILE* file, long to) {
    LineBuffer line = newLine();
    std::unique_ptr<Variant> working(new Variant());
    std::vector<OpenSet> open;
    open.push_back(OpenSet{&root, nullptr, true, -1});
    bool endScriptSeen = false;
    for (;;) {
        if (to >= 0 && std::ftell(file) >= to) return true;
        long start = -1;
        LineKind kind = readLine(file, line.data(), true, &start);
        if (kind == lineEndOfFile || (to >= 0 && start >= to)) return true;
        OpenSet& top = open.back();
        switch (kind) {
        case lineTag:
            if (!top.ownLevel) break;
            {
                Set& set = *top.set;
                TextTable* tables[7] = {&set.intro, &set.title, &set.text, &set.welcome,
                                        &set.comment, &set.buttons, &set.error};
                for (int i = 0; i < 7; ++i) {
                    if (std::strncmp(line.data(), setTags[i], std::strlen(setTags[i])) == 0) {
                        TextRow row;
                        if (parseRow(row, line.data())) tables[i]->rows.push_back(std::move(row));
                        break;
                    }
                }
            }
            break;
        case lineEndScript:
            endScriptSeen = true;
            break;
        case lineStartSet: {
            top.ownLevel = false;
            if (!top.set->subsets) top.set->subsets = new (std::nothrow) std::vector<Set>();
            if (!top.set->subsets) return false;
            std::unique_ptr<Set> child(new Set());
            child->start = std::ftell(file);
            Set* childSet = child.get();
            open.push_back(OpenSet{childSet, std::move(child), true, -1});
            break;
        }
        case lineEndSet:
            if (open.size() > 1) {
                std::unique_ptr<Set> done = std::move(top.owned);
                open.pop_back();
                done->end = start;
                OpenSet& parent = open.back();
                if (!endScriptSeen) parent.set->subsets->push_back(std::move(*done));
                parent.ownLevel = true;
            }
            break;  // a stray closing line in the range itself: ignored
        case lineStartVariant:
            top.ownLevel = false;
            top.variantStart = std::ftell(file);
            break;
        case lineEndVariant:
            top.ownLevel = true;
            // A nested Set in which "<<end script>>" was met is never loaded.
            if (open.size() == 1 || !endScriptSeen) {
                working->start = top.variantStart;
                working->end = start;
                if (!readVariant(*working, file)) return false;
                top.set->variants.push_back(std::move(*working));
            }
            clearVariant(*working);
            top.variantStart = -1;
            break;
        default: break;
        }
    }
}

}  // namespace

bool readSet(Set& set, FILE* file, long from, long to) {
    long saved = std::ftell(file);
    clearSet(set);
    if (!seekTo(file, from)) {
        seekBack(file, saved);
        return false;
    }
    set.start = from;
    set.end = to;
    if (!readSetRange(set, file, to)) return false;
    seekBack(file, saved);
    return true;
}

bool readVariant(Variant& variant, FILE* file) {
    long saved = std::ftell(file);
    TextTable* tables[16];
    variantTables(variant, tables);
    bool valid = true;
    for (int i = 0; i < 16 && valid; ++i)
        valid = readTag(file, variant.start, variant.end, variantTags[i], *tables[i], true);
    if (!valid) {
        if (!trace.variantFailed) {
            trace.variantFailed = true;
            trace.variantStart = variant.start;
            trace.variantEnd = variant.end;
        }
        clearVariant(variant);
    }
    variant.valid = valid;
    seekBack(file, saved);
    return valid;
}

bool parseRow(TextRow& row, const char* line) {
    size_t length = 0;  // the line is taken up to its NUL, at most 4095 characters
    while (length < static_cast<size_t>(lineReadSize) && line[length] != '\0') ++length;
    const char* end = line + length;
    const char* open = static_cast<const char*>(std::memchr(line, '"', length));
    while (open) {
        const char* close = static_cast<const char*>(
            std::memchr(open + 1, '"', static_cast<size_t>(end - open - 1)));
        if (!close) break;
        std::string text;
        text.reserve(static_cast<size_t>(close - open - 1));
        for (const char* p = open + 1; p < close; ++p) {
            if (p[0] == '\\' && p + 1 < close && p[1] == 'q') {
                text.push_back('"');
                ++p;
            } else {
                text.push_back(*p);
            }
        }
        row.cells.push_back(std::move(text));
        open = static_cast<const char*>(
            std::memchr(close + 1, '"', static_cast<size_t>(end - close - 1)));
    }
    return true;
}

bool loadScript(Script& script, const char* path) {
    trace = ReadTrace();
    resetRun(script);
    TextTable* tables[6] = {&script.version, &script.macros, &script.title,
                            &script.welcome, &script.error, &script.buttons};
    for (TextTable* t : tables) t->rows.clear();
    script.sets.clear();
    useScript(&script);

    script.file = path ? std::fopen(path, SCRIPT_OPEN_MODE) : nullptr;
    if (!script.file) {
        trace.failure = loadCannotOpen;
        return false;
    }
    FILE* file = script.file;
    try {
        if (!readTag(file, 0, -1, scriptTags[0], script.version, false)) {
            trace.failure = loadNoVersion;
            return false;
        }
        const char* version = cell(script.version, 0, 0);
        if (!version || std::strcmp(version, "3.0") != 0) {
            trace.failure = loadWrongVersion;
            showVersionError(script);
            return false;
        }
        readTag(file, 0, -1, scriptTags[1], script.macros, false);
        for (int i = 2; i < 6; ++i) readTag(file, 0, -1, scriptTags[i], *tables[i], true);

        if (!checkNesting(file)) {
            trace.failure = loadNesting;
        } else if (!readSetList(script.sets, file, 0, -1)) {
            trace.failure = trace.variantFailed ? loadInvalidVariant : loadNoMemory;
        }
    } catch (const std::bad_alloc&) {
        trace.failure = loadNoMemory;
    }
    if (trace.failure != loadOk) {
        showScriptError(script);
        return false;
    }
    return true;
}
