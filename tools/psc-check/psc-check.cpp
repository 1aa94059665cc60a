// psc-check: tells a script author whether setup would load an installation
// script, and why not. It loads the script with the installer's own loadScript
// and explains a failure with the reader's diagnosis helpers (no second
// parser). Output format, JSON shape and exit codes: see usage() and
// docs/psc-check.md.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <set>
#include <string>
#include <vector>
#include <nlohmann/json.hpp>
#include "platform/ui.h"
#include "engine/hostdir.h"
#include "script/diagnose.h"
#include "script/model.h"
#include "script/reader.h"
#include "script/text.h"

namespace {

// The message boxes loadScript shows, recorded instead of shown.
struct Box {
    std::string text;
    bool hasCaption;
    std::string caption;
};
std::vector<Box> boxes;

const int usedMessages[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

void usage(std::FILE* out) {
    std::fputs(
        "usage: psc-check [--json] [FILE]\n"
        "Loads an installation script as setup does (FILE defaults to set//version.psc)\n"
        "and says whether it loads, and why not.\n"
        "  --json   print the loaded model as one JSON document instead of the diagnosis\n"
        "exit status: 0 the script loads, 1 it does not or setup would refuse a name, 2 usage error\n",
        out);
}

// A text for a diagnosis line, in the script's own notation: quoted, CR LF as
// \n, a double quote as \q, other control characters as \xHH; long texts cut.
std::string shown(const char* text) {
    if (!text) return "(absent)";
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (p[0] == '\r' && p[1] == '\n') {
            out += "\\n";
            ++p;
        } else if (*p == '"') {
            out += "\\q";
        } else if (*p < 0x20 || *p == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", *p);
            out += hex;
        } else {
            out += static_cast<char>(*p);
        }
        if (out.size() > 200) {
            out += "...";
            break;
        }
    }
    return out + "\"";
}
std::string shown(const std::string& text) { return shown(text.c_str()); }

// One diagnosis line, kept with its line number so warnings print in file order.
struct Finding {
    long line;  // 0: no line
    std::string text;
};

class Report {
public:
    explicit Report(std::string path) : path_(std::move(path)) {}
    void add(long line, const std::string& kind, const std::string& text) {
        findings_.push_back({line, kind + ": " + text});
        if (kind == "error") ++errors_;
    }
    void note(const std::string& text) { notes_.push_back(text); }
    void print(std::FILE* out) {
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        for (const Finding& f : findings_) {
            if (f.line > 0)
                std::fprintf(out, "%s:%ld: %s\n", path_.c_str(), f.line, f.text.c_str());
            else
                std::fprintf(out, "%s: %s\n", path_.c_str(), f.text.c_str());
        }
        for (const std::string& n : notes_) std::fprintf(out, "%s: note: %s\n", path_.c_str(), n.c_str());
    }
    size_t count() const { return findings_.size(); }
    size_t errors() const { return errors_; }

private:
    size_t errors_ = 0;
    std::string path_;
    std::vector<Finding> findings_;
    std::vector<std::string> notes_;
};

// Line numbers of file positions: the positions of the file's LFs, found
// once, so that a script with thousands of Sets is numbered quickly.
std::vector<long> lineEnds;

void indexLines(FILE* file) {
    lineEnds.clear();
    std::fseek(file, 0, SEEK_SET);
    long position = 0;
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\n') lineEnds.push_back(position);
        ++position;
    }
}

// 1-based number of the physical line that holds position.
long lineAt(long position) {
    return 1 + static_cast<long>(std::lower_bound(lineEnds.begin(), lineEnds.end(), position) -
                                 lineEnds.begin());
}

// The line of a marker whose body starts at position (the marker is the line before).
long markerLine(long bodyStart) {
    return bodyStart < 0 ? 0 : std::max(1L, lineAt(bodyStart) - 1);
}

std::string variantName(const Variant& v) {
    const char* intro = cell(v.intro, 0, 0);
    return intro ? shown(intro) : std::string("without intro");
}

// ---- failures -------------------------------------------------------------

void explainNesting(FILE* file, Report& report) {
    NestingFault f;
    if (checkNestingDetail(file, &f)) {
        report.add(0, "error", "the nesting check failed while reading");
        return;
    }
    auto line = [](long position) { return lineAt(position); };
    std::string text;
    long at = f.position >= 0 ? line(f.position) : 0;
    switch (f.marker) {
    case lineStartScript:
        text = "a second \"<<start script>>\" while the script opened at line " +
               std::to_string(line(f.openScript)) + " is still open";
        break;
    case lineEndScript: text = "\"<<end script>>\" without an open \"<<start script>>\""; break;
    case lineStartSet:
        text = "\"<<start set>>\" inside the Variant opened at line " +
               std::to_string(line(f.openVariant)) + " (a Variant cannot hold a Set)";
        break;
    case lineEndSet: text = "\"<<end set>>\" without an open \"<<start set>>\""; break;
    case lineStartVariant:
        text = "\"<<start variant>>\" while the Variant opened at line " +
               std::to_string(line(f.openVariant)) + " is still open";
        break;
    case lineEndVariant: text = "\"<<end variant>>\" without an open \"<<start variant>>\""; break;
    default: {
        std::vector<std::string> open;
        long innermost = -1;
        if (f.scriptDepth > 0) {
            open.push_back("the script opened at line " + std::to_string(line(f.openScript)) +
                           " has no \"<<end script>>\"");
            innermost = std::max(innermost, f.openScript);
        }
        if (f.setDepth > 0) {
            open.push_back(std::to_string(f.setDepth) + (f.setDepth == 1 ? " Set" : " Sets") +
                           " without \"<<end set>>\" (the innermost opened at line " +
                           std::to_string(line(f.openSet)) + ")");
            innermost = std::max(innermost, f.openSet);
        }
        if (f.variantDepth > 0) {
            open.push_back("the Variant opened at line " + std::to_string(line(f.openVariant)) +
                           " has no \"<<end variant>>\"");
            innermost = std::max(innermost, f.openVariant);
        }
        text = "at the end of the file";
        for (size_t i = 0; i < open.size(); ++i) text += (i ? "; " : ": ") + open[i];
        at = innermost >= 0 ? line(innermost) : 0;
    }
    }
    report.add(at, "error", "nesting: " + text);
}

void explainVariant(FILE* file, const ReadTrace& trace, Report& report) {
    long start = trace.variantStart, end = trace.variantEnd;
    long endLine = end >= 0 ? lineAt(end) : 0;
    if (start < 0) {
        report.add(endLine, "error",
                   "the \"<<end variant>>\" at line " + std::to_string(endLine) +
                       " has no \"<<start variant>>\" at its Set's own level");
        return;
    }
    long startLine = markerLine(start);
    TextTable intro;
    readTag(file, start, end, variantTags[0], intro, true);
    std::string name = cell(intro, 0, 0) ? shown(cell(intro, 0, 0)) : std::string("without intro");
    std::vector<const char*> missing = missingVariantTags(file, start, end);
    std::string text = "the Variant " + name + " at lines " + std::to_string(startLine) + "-" +
                       std::to_string(endLine);
    if (missing.empty()) {
        text += " could not be read (memory)";
    } else {
        text += " lacks " + std::to_string(missing.size()) + " required tag" +
                (missing.size() == 1 ? "" : "s") + ":";
        for (size_t i = 0; i < missing.size(); ++i)
            text += (i ? ", \"" : " \"") + std::string(missing[i]) + "\"";
    }
    report.add(startLine, "error", text);
}

void explainFailure(Script& script, const std::string& path, int openErrno, Report& report) {
    const ReadTrace& trace = lastReadTrace();
    FILE* file = script.file;
    switch (trace.failure) {
    case loadCannotOpen:
        report.add(0, "error", "cannot open the file (" + std::string(std::strerror(openErrno)) +
                                   "); setup would end without a message");
        break;
    case loadNoVersion:
        report.add(0, "error",
                   "no \"<<script version>>\" line; setup would end without a message");
        break;
    case loadWrongVersion: {
        long line = findTag(file, 0, -1, scriptTags[0]) ? lineAt(std::ftell(file)) : 0;
        const char* v = cell(script.version, 0, 0);
        report.add(line, "error",
                   std::string("the version cell ") +
                       (v ? "holds " + shown(v) : std::string("is missing")) +
                       "; setup needs exactly \"3.0\"");
        break;
    }
    case loadNesting: explainNesting(file, report); break;
    case loadInvalidVariant: explainVariant(file, trace, report); break;
    case loadNoMemory: report.add(0, "error", "memory ran out while reading"); break;
    case loadOk: break;
    }
    for (const Box& box : boxes)
        report.note("setup would show the message box " + shown(box.text) +
                                  (box.hasCaption ? " captioned " + shown(box.caption)
                                                  : std::string(" with the default caption")));
    (void)path;
}

// ---- warnings -------------------------------------------------------------

struct Walk {
    FILE* file;
    Report& report;
    int sets = 0;
    int variants = 0;
};

const char* const cellNames[6] = {"name", "source directory", "target", "uninstall policy",
                                  "install policy", "overwrite policy"};

void checkFiles(Walk& w, const Variant& v) {
    std::vector<long> rows = tagRowPositions(w.file, v.start, v.end, "<<file>>");
    // The keywords each cell expects, and what setup does with anything else.
    static const std::set<int> allowed[6] = {{}, {}, {0, 1}, {4, 5, 6}, {2, 3}, {6, 7, 8, 9}};
    static const char* const effect[6] = {
        "", "", "the file is never copied", "nothing is removed", "the file is never copied",
        "the copy succeeds without copying anything"};
    const char* const leadsOut = " leads out of the host folder (a \"..\" part, a colon or a leading separator)";
    bool intoPlugins = false;
    for (int r = 0; r < rowCount(v.files); ++r) {
        long line = static_cast<size_t>(r) < rows.size()
                        ? lineAt(rows[static_cast<size_t>(r)]) : 0;
        const char* name = cell(v.files, r, fileName);
        for (int c = fileTarget; c <= fileOverwritePolicy; ++c) {
            const char* text = cell(v.files, r, c);
            int code = keywordCode(text);
            if (allowed[c].count(code)) continue;
            std::string what = std::string("\"<<file>>\" ") + shown(name) + ": cell " +
                               std::to_string(c) + " (" + cellNames[c] + ") ";
            if (!text)
                what += "is missing";
            else if (code == keywordNone)
                what += shown(text) + " is not a keyword";
            else
                what += shown(text) + " is a keyword, but not " + (c == fileInstallPolicy || c == fileUninstallPolicy || c == fileOverwritePolicy ? "an " : "a ") + cellNames[c];
            w.report.add(line, "warning", what + "; it counts as " +
                                              (code == keywordNone ? std::string("-1") : "another keyword") +
                                              ": " + effect[c]);
        }
        // Names that would lead out of the host, for the entries setup uses.
        int target = keywordCode(cell(v.files, r, fileTarget));
        int uninstall = keywordCode(cell(v.files, r, fileUninstallPolicy));
        bool copied = keywordCode(cell(v.files, r, fileInstallPolicy)) == keywordDoInstall &&
                      (target == keywordProgdir || target == keywordPlugdir);
        intoPlugins = intoPlugins || (copied && target == keywordPlugdir);
        if ((copied || uninstall == keywordAsk || uninstall == keywordDoUninstall) && !isContainedName(name))
            w.report.add(line, "error", "\"<<file>>\" " + shown(name) + ": the name" + leadsOut +
                                            "; setup fails the host's installation with message 12");
    }
    if (!intoPlugins) return;
    const struct { const TextTable& table; const char* tag; const char* effect; } folders[] = {
        {v.defaultPluginsDir, "<<default plugins dir>>", "a host without a registered plug-in folder"},
        {v.defaultFiltersDir, "<<default filters dir>>", "every host"}};
    for (const auto& folder : folders) {
        const char* text = cell(folder.table, 0, 0);
        if (isContainedName(text)) continue;
        std::vector<long> at = tagRowPositions(w.file, v.start, v.end, folder.tag);
        w.report.add(at.empty() ? 0 : lineAt(at[0]), "error",
                     "\"" + std::string(folder.tag) + "\" " + shown(text) + ": the name" + leadsOut +
                         "; the plug-in files of " + folder.effect + " fail with message 12");
    }
}

void checkVariant(Walk& w, const Variant& v) {
    ++w.variants;
    long startLine = markerLine(v.start);
    std::string missing;
    for (int n : usedMessages)
        if (!messageText(v, n)) missing += (missing.empty() ? "" : ", ") + std::to_string(n);
    if (!missing.empty())
        w.report.add(startLine, "warning",
                     "the Variant " + variantName(v) + " at lines " + std::to_string(startLine) +
                         "-" + std::to_string(lineAt(v.end)) +
                         " lacks message numbers that setup uses: " + missing);
    checkFiles(w, v);
}

void checkSet(Walk& w, const Set& s) {
    ++w.sets;
    long line = markerLine(s.start);
    const char* intro = cell(s.intro, 0, 0);
    std::string name = intro ? shown(intro) : std::string("without intro");
    size_t items = s.subsets ? s.subsets->size() : s.variants.size();
    if (items > 6)
        w.report.add(line, "warning",
                     "the Set " + name + " offers " + std::to_string(items) + " " +
                         (s.subsets ? "nested Sets" : "Variants") +
                         "; its page shows only the first six");
    if (s.subsets && !s.variants.empty())
        w.report.add(line, "warning",
                     "the Set " + name + " holds nested Sets and Variants; its page offers only "
                     "the nested Sets, so its " + std::to_string(s.variants.size()) +
                         " Variant(s) can never be chosen");
    for (const Variant& v : s.variants) checkVariant(w, v);
    if (s.subsets)
        for (const Set& child : *s.subsets) checkSet(w, child);
}

bool knownTag(const char* line, const char* tag) {
    if (std::strncmp(line, "<<set text>", 11) == 0) return true;
    for (const char* t : scriptTags)
        if (std::strcmp(tag, t) == 0) return true;
    for (const char* t : setTags)
        if (std::strcmp(tag, t) == 0) return true;
    for (const char* t : variantTags)
        if (std::strcmp(tag, t) == 0) return true;
    return false;
}

// One pass over the lines as the reader sees them (unexpanded): tags, macro
// references, what lies after "<<end script>>".
void checkLines(FILE* file, Report& report) {
    std::vector<char> line(lineBufferSize);
    std::vector<char> copy(lineBufferSize);
    char tag[tagMaxLength + 1];
    std::fseek(file, 0, SEEK_SET);
    long endScriptLine = 0;
    std::vector<long> openSets;
    for (;;) {
        long start = -1;
        LineKind kind = readLine(file, line.data(), false, &start);
        if (kind == lineEndOfFile) break;
        long number = lineAt(start);
        if (kind == lineStartSet) {
            if (endScriptLine)
                report.add(number, "warning",
                           "\"<<start set>>\" after the \"<<end script>>\" at line " +
                               std::to_string(endScriptLine) + ": this Set is not loaded");
            openSets.push_back(number);
        } else if (kind == lineEndSet) {
            if (!openSets.empty()) openSets.pop_back();
        } else if (kind == lineEndScript && !endScriptLine) {
            endScriptLine = number;
            if (!openSets.empty())
                report.add(number, "warning",
                           "\"<<end script>>\" stands inside the Set opened at line " +
                               std::to_string(openSets.back()) +
                               ": that Set and every later one are not loaded");
        }
        if (kind != lineTag) continue;
        bool hasTag = lineTagOf(line.data(), tag);
        if (!hasTag && std::strncmp(line.data(), "<<set text>", 11) != 0) {
            report.add(number, "warning", "\"<<\" without \">>\": the line has no tag and is ignored");
            continue;
        }
        if (hasTag && !knownTag(line.data(), tag))
            report.add(number, "warning", "unknown tag " + shown(tag) + "; setup ignores it");
        if (hasTag && (std::strcmp(tag, scriptTags[0]) == 0 || std::strcmp(tag, scriptTags[1]) == 0))
            continue;  // never expanded
        // Macro references, found as expandMacros finds them.
        const char* rest = line.data();
        std::set<std::string> reported;
        for (;;) {
            const char* open = std::strstr(rest, "$(");
            if (!open) break;
            const char* close = std::strchr(open + 2, ')');
            if (!close) {
                report.add(number, "warning", "\"$(\" without \")\": the rest of the line is not expanded");
                break;
            }
            std::string ref(open, static_cast<size_t>(close + 1 - open));
            if (!lookupMacro(ref.c_str()) && reported.insert(ref).second)
                report.add(number, "warning", "the macro reference " + shown(ref) +
                                                  " is not defined by a \"<<script macro>>\" line; it stays as written");
            rest = close + 1;
        }
        std::memcpy(copy.data(), line.data(), lineBufferSize);
        if (expandMacros(copy.data(), lineBufferSize) != expandOk)
            report.add(number, "warning",
                       "the line would be longer than 4095 characters after macro expansion; setup "
                       "keeps it unexpanded");
    }
}

// The macro rows: a reference that can never match, a text that holds a
// reference (macro texts are not expanded again).
void checkMacros(const Script& script, Report& report) {
    FILE* file = script.file;
    std::vector<long> rows = tagRowPositions(file, 0, -1, scriptTags[1]);
    for (int r = 0; r < rowCount(script.macros); ++r) {
        long line = static_cast<size_t>(r) < rows.size()
                        ? lineAt(rows[static_cast<size_t>(r)]) : 0;
        const char* name = cell(script.macros, r, 0);
        const char* text = cell(script.macros, r, 1);
        size_t length = name ? std::strlen(name) : 0;
        if (!name || length < 3 || std::strncmp(name, "$(", 2) != 0 || name[length - 1] != ')' ||
            std::strchr(name + 2, ')') != name + length - 1)
            report.add(line, "warning", "the macro " + shown(name) +
                                            " is not written as \"$(\" name \")\"; no reference can match it");
        if (!text)
            report.add(line, "warning", "the macro " + shown(name) + " has no text (cell 1); its references stay as written");
        else if (std::strstr(text, "$("))
            report.add(line, "warning", "the text of the macro " + shown(name) +
                                            " holds \"$(\"; macro texts are not expanded again, so it shows as written");
        if (text && std::strchr(text, '"'))
            report.add(line, "warning", "the text of the macro " + shown(name) +
                                            " holds a double quote (\\q); inside a cell the quote ends "
                                            "the cell, so the rest of the text is lost where it is used");
    }
}

void checkNul(FILE* file, Report& report) {
    std::fseek(file, 0, SEEK_SET);
    long line = 1;
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\n') ++line;
        if (c == '\0') {
            report.add(line, "warning",
                       "NUL byte: the reader ignores the rest of this line, and a line that "
                       "begins with it ends the script there");
            break;
        }
    }
}

// ---- JSON -----------------------------------------------------------------

using Json = nlohmann::ordered_json;

// Script texts are single-byte ANSI; valid UTF-8 is kept as it is, anything
// else is read as Windows-1252.
std::string utf8(const std::string& text) {
    static const unsigned short cp1252[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    auto validUtf8 = [](const std::string& s) {
        size_t i = 0;
        while (i < s.size()) {
            unsigned char c = static_cast<unsigned char>(s[i]);
            size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
            if (n == 9 || (n && c < 0xC2) || (n && i + n >= s.size())) return false;
            for (size_t k = 1; k <= n; ++k)
                if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
            i += n + 1;
        }
        return true;
    };
    if (validUtf8(text)) return text;
    std::string out;
    for (unsigned char c : text) {
        unsigned code = c < 0x80 ? c : c < 0xA0 ? cp1252[c - 0x80] : c;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

Json tableJson(const TextTable& table) {
    Json rows = Json::array();
    for (const TextRow& row : table.rows) {
        Json cells = Json::array();
        for (const std::string& c : row.cells) cells.push_back(utf8(c));
        rows.push_back(std::move(cells));
    }
    return rows;
}

Json variantJson(const Variant& v) {
    Json j = Json::object();
    const TextTable* tables[16] = {&v.intro, &v.title, &v.fewappl, &v.license, &v.comment,
                                   &v.error, &v.buttons, &v.defaultPluginsDir,
                                   &v.defaultFiltersDir, &v.photoshopExe, &v.drivesToSearch,
                                   &v.pluginRegistryKey, &v.applicationRegistryKey,
                                   &v.adobeRegistryKey, &v.files, &v.messages};
    static const char* const names[16] = {
        "intro", "title", "fewappl", "license", "comment", "error", "buttons",
        "defaultPluginsDir", "defaultFiltersDir", "photoshopExe", "drivesToSearch",
        "pluginRegistryKey", "applicationRegistryKey", "adobeRegistryKey", "files", "messages"};
    for (int i = 0; i < 16; ++i) j[names[i]] = tableJson(*tables[i]);
    j["valid"] = v.valid;
    return j;
}

Json setJson(const Set& s) {
    Json j = Json::object();
    j["intro"] = tableJson(s.intro);
    j["comment"] = tableJson(s.comment);
    j["title"] = tableJson(s.title);
    j["text"] = tableJson(s.text);
    j["welcome"] = tableJson(s.welcome);
    j["buttons"] = tableJson(s.buttons);
    j["error"] = tableJson(s.error);
    Json variants = Json::array();
    for (const Variant& v : s.variants) variants.push_back(variantJson(v));
    j["variants"] = std::move(variants);
    if (s.subsets) {
        Json subsets = Json::array();
        for (const Set& child : *s.subsets) subsets.push_back(setJson(child));
        j["subsets"] = std::move(subsets);
    } else {
        j["subsets"] = nullptr;
    }
    return j;
}

Json scriptJson(const Script& script) {
    Json j = Json::object();
    j["version"] = tableJson(script.version);
    j["macros"] = tableJson(script.macros);
    j["title"] = tableJson(script.title);
    j["welcome"] = tableJson(script.welcome);
    j["error"] = tableJson(script.error);
    j["buttons"] = tableJson(script.buttons);
    Json sets = Json::array();
    for (const Set& s : script.sets) sets.push_back(setJson(s));
    j["sets"] = std::move(sets);
    return j;
}

int maxDepth(const std::vector<Set>& sets) {
    int deepest = 0;
    std::vector<std::pair<const std::vector<Set>*, int>> pending(1, {&sets, 1});
    while (!pending.empty()) {
        auto [list, depth] = pending.back();
        pending.pop_back();
        for (const Set& s : *list) {
            deepest = std::max(deepest, depth);
            if (s.subsets) pending.push_back({s.subsets, depth + 1});
        }
    }
    return deepest;
}

const char* failureName(LoadFailure failure) {
    switch (failure) {
    case loadOk: return nullptr;
    case loadCannotOpen: return "cannot open";
    case loadNoVersion: return "no version";
    case loadWrongVersion: return "wrong version";
    default: return "invalid";
    }
}

}  // namespace

// The link-time seam for the installer's message boxes: recorded, not shown.
int uiMessageBox(WindowHandle, const char* text, const char* caption, unsigned) {
    boxes.push_back({text ? text : "", caption != nullptr, caption ? caption : ""});
    return answerOk;
}

namespace {

int checkMain(int argc, char** argv) {
    bool json = false;
    const char* path = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            usage(stdout);
            return 0;
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "psc-check: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        } else if (!path) {
            path = argv[i];
        } else {
            std::fprintf(stderr, "psc-check: more than one FILE\n");
            usage(stderr);
            return 2;
        }
    }
    if (!path) path = "set//version.psc";

    Script script;
    errno = 0;
    bool loaded = loadScript(script, path);
    int openErrno = errno;
    if (script.file) indexLines(script.file);
    LoadFailure failure = lastReadTrace().failure;

    // The Sets and Variants of a loaded script are checked for either output:
    // their errors set the exit status.
    Report report(path);
    Walk walk{script.file, report};
    if (loaded)
        for (const Set& s : script.sets) checkSet(walk, s);
    if (json) {
        Json doc = Json::object();
        doc["loaded"] = loaded;
        const char* name = failureName(failure);
        doc["failure"] = name ? Json(name) : Json(nullptr);
        doc["script"] = loaded ? scriptJson(script) : Json(nullptr);
        // Indented, except for Sets nested deeper than 32 levels: indentation
        // would make the output grow with the square of the depth.
        int indent = loaded && maxDepth(script.sets) > 32 ? -1 : 2;
        std::cout << doc.dump(indent, ' ', false, Json::error_handler_t::replace) << "\n";
    } else {
        if (!loaded) {
            explainFailure(script, path, openErrno, report);
            if (script.file) checkNul(script.file, report);
            report.print(stdout);
            std::printf("%s: does not load\n", path);
        } else {
            checkLines(script.file, report);
            checkMacros(script, report);
            checkNul(script.file, report);
            report.print(stdout);
            size_t errors = report.errors(), warnings = report.count() - errors;
            std::string counted = errors ? std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") : "";
            std::printf("%s: loads: %zu top-level Set%s, %d Set%s and %d Variant%s in all, %s%zu warning%s\n",
                        path, script.sets.size(), script.sets.size() == 1 ? "" : "s", walk.sets,
                        walk.sets == 1 ? "" : "s", walk.variants, walk.variants == 1 ? "" : "s",
                        counted.c_str(), warnings, warnings == 1 ? "" : "s");
        }
    }
    destroyScript(script);
    return loaded && report.errors() == 0 ? 0 : 1;
}

}  // namespace

#if defined(__unix__) || defined(__APPLE__)
#include <pthread.h>

namespace {
struct MainCall {
    int argc;
    char** argv;
    int status;
};
void* runCheck(void* data) {
    MainCall* call = static_cast<MainCall*>(data);
    call->status = checkMain(call->argc, call->argv);
    return nullptr;
}
}  // namespace

// The model of a deeply nested script is walked and printed by recursion
// (JSON included), so the work runs on a thread with a large stack.
int main(int argc, char** argv) {
    MainCall call{argc, argv, 1};
    pthread_attr_t attributes;
    pthread_t thread;
    if (pthread_attr_init(&attributes) == 0 &&
        pthread_attr_setstacksize(&attributes, size_t(1) << 30) == 0 &&
        pthread_create(&thread, &attributes, runCheck, &call) == 0) {
        pthread_join(thread, nullptr);
        return call.status;
    }
    return checkMain(argc, argv);
}
#else
int main(int argc, char** argv) { return checkMain(argc, argv); }
#endif
