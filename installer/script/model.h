// The in-memory model of the installation script: one Script holding the
// script-level texts and a tree of Sets and Variants, every text kept as a
// TextTable of rows and cells. Lookups never fail: a missing row, cell or list
// element yields the list's empty default (an absent text is a null pointer).
#pragma once
#include <cstdio>
#include <string>
#include <vector>
#include "../platform/types.h"
#include "host_table.h"

// The cells of one tag line, in order; each cell owns its text.
struct TextRow {
    std::vector<std::string> cells;  // "\q" already replaced by '"', "\n" by CR LF
};

// The rows of one tag, one row per tag line read.
struct TextTable {
    std::vector<TextRow> rows;  // in file order
};

struct Variant;

// One "<<start set>>" block.
struct Set {
    TextTable intro;             // "<<set intro>>": (0,0) label on the parent's page
    TextTable comment;           // "<<set comment>>": (0,0) description on the parent's page
    TextTable title;             // "<<set title>>": (0,0) caption of the Set's page
    TextTable text;              // "<<set text>": (0,0) heading of the Set's page
    TextTable welcome;           // "<<set welcome>>": read, not used
    TextTable buttons;           // "<<set button>>": row 0 Back, Next, Cancel, cancel question
    TextTable error;             // "<<set error>>": read, not used
    std::vector<Variant> variants;  // Variants at the Set's own level, in file order
    long start = -1;             // file position where the body begins
    long end = -1;               // file position of the closing line
    std::vector<Set>* subsets = nullptr;  // directly nested Sets; null when the body has no "<<start set>>"

    Set() = default;
    Set(const Set& other);             // deep copy
    Set& operator=(const Set& other);  // deep copy
    Set(Set&& other) noexcept;         // takes over everything; other is left empty
    Set& operator=(Set&& other) noexcept;
    ~Set();
};

// One "<<start variant>>" block with its sixteen tag tables.
struct Variant {
    TextTable intro;                   // "<<variant intro>>": item label on the Set's page
    TextTable title;                   // "<<variant title>>": caption of licence, host, final pages and boxes
    TextTable fewappl;                 // "<<variant fewappl>>": heading of the host choice page
    TextTable license;                 // "<<variant license>>": file name, Back, Next, Cancel labels
    TextTable comment;                 // "<<variant comment>>": item description on the Set's page
    TextTable error;                   // "<<variant error>>": text of the Variant's error box
    TextTable buttons;                 // "<<variant button>>": labels and cancel question of the final page
    TextTable defaultPluginsDir;       // "<<default plugins dir>>"
    TextTable defaultFiltersDir;       // "<<default filters dir>>"
    TextTable photoshopExe;            // "<<photoshop exe>>": read, not used
    TextTable drivesToSearch;          // "<<drives to search>>": read, not used
    TextTable pluginRegistryKey;       // "<<plugin registry key>>"
    TextTable applicationRegistryKey;  // "<<application registry key>>"
    TextTable adobeRegistryKey;        // "<<adobe registry key>>"
    TextTable files;                   // "<<file>>": one file entry per row
    TextTable messages;                // "<<str>>": numbered message texts
    Set* parentSet = nullptr;          // the Set whose page offered it; not owned
    bool valid = false;                // all sixteen tags were read
    long start = -1;                   // file position where the body begins
    long end = -1;                     // file position of the closing line
};

// The one installer record of a run.
struct Script {
    ModuleHandle instance = nullptr;     // module holding the dialog template
    WindowHandle ownerWindow = nullptr;  // owner of every page: always none
    TextTable version;                   // "<<script version>>"
    TextTable macros;                    // "<<script macro>>": reference, text
    TextTable title;                     // "<<script title>>"
    TextTable welcome;                   // "<<script welcome>>"
    TextTable error;                     // "<<script error>>"
    TextTable buttons;                   // "<<script button>>"
    std::vector<Set> sets;               // top-level Sets in file order
    int currentSet = 0;                  // index of the Set after the welcome page; always 0
    Variant* chosenVariant = nullptr;    // chosen on the set pages; refers into the tree
    FILE* file = nullptr;                // the script, open from the load to the end of the run
    HostTable hosts = {};                // filled by the host step
};

// Column `column` of a row, or null (absent) for any index that names no cell.
const char* cell(const TextRow& row, int column);
// Cell (row, column) of a table, or null.
const char* cell(const TextTable& table, int row, int column);
// Row `index`, or an empty row.
const TextRow& rowAt(const TextTable& table, int index);
int rowCount(const TextTable& table);

// Element `index` of a list, or the list's empty default element.
const Set& setAt(const std::vector<Set>& list, int index);
const Variant& variantAt(const std::vector<Variant>& list, int index);
// Mutable lookups for the wizard, which records its choice in the tree; past
// the end they yield the list's shared empty default element (never valid).
Set* setRef(std::vector<Set>& list, int index);
Variant* variantRef(std::vector<Variant>& list, int index);

void clearSet(Set& set);
void clearVariant(Variant& variant);

// The run state after an installation: no chosen Variant, the script file
// closed, currentSet 0, no hosts. The texts, Sets and Variants stay.
void resetRun(Script& script);
// Frees everything the Script holds (after resetRun).
void destroyScript(Script& script);

// The Script whose macros lookupMacro reads: the one being loaded or used.
// loadScript sets it; destroyScript of that Script clears it.
void useScript(Script* script);
Script* scriptInUse();
