// The script model's copies, moves and stack-safe release of nested Sets, the
// list lookups with their defaults, and the Script in use.
#include "model.h"
#include <utility>

namespace {
Script* activeScript = nullptr;

// The defaults that lookups past the end of a list yield. The wizard may store
// a parentSet in the Variant default; it stays not valid, so nothing installs.
const TextRow emptyRow;
Set defaultSet;
Variant defaultVariant;
}

// Deep copy: the nested list is owned, so it is copied, never shared.
Set::Set(const Set& other)
    : intro(other.intro), comment(other.comment), title(other.title), text(other.text),
      welcome(other.welcome), buttons(other.buttons), error(other.error),
      variants(other.variants), start(other.start), end(other.end),
      subsets(other.subsets ? new std::vector<Set>(*other.subsets) : nullptr) {}

Set& Set::operator=(const Set& other) {
    if (this == &other) return *this;
    Set copy(other);
    clearSet(*this);
    intro = copy.intro; comment = copy.comment; title = copy.title; text = copy.text;
    welcome = copy.welcome; buttons = copy.buttons; error = copy.error;
    variants = copy.variants;
    start = copy.start;
    end = copy.end;
    subsets = copy.subsets;
    copy.subsets = nullptr;
    return *this;
}

Set::Set(Set&& other) noexcept
    : intro(std::move(other.intro)), comment(std::move(other.comment)),
      title(std::move(other.title)), text(std::move(other.text)),
      welcome(std::move(other.welcome)), buttons(std::move(other.buttons)),
      error(std::move(other.error)), variants(std::move(other.variants)),
      start(other.start), end(other.end), subsets(other.subsets) {
    other.subsets = nullptr;
    clearSet(other);
}

Set& Set::operator=(Set&& other) noexcept {
    if (this == &other) return *this;
    clearSet(*this);
    intro = std::move(other.intro); comment = std::move(other.comment);
    title = std::move(other.title); text = std::move(other.text);
    welcome = std::move(other.welcome); buttons = std::move(other.buttons);
    error = std::move(other.error); variants = std::move(other.variants);
    start = other.start;
    end = other.end;
    subsets = other.subsets;
    other.subsets = nullptr;
    clearSet(other);
    return *this;
}

// Frees the nested lists level by level rather than by recursion, so that a
// tree of any depth can be freed on a small stack.
Set::~Set() {
    if (!subsets) return;
    std::vector<std::vector<Set>*> pending(1, subsets);
    subsets = nullptr;
    while (!pending.empty()) {
        std::vector<Set>* list = pending.back();
        pending.pop_back();
        for (Set& child : *list) {
            if (child.subsets) pending.push_back(child.subsets);
            child.subsets = nullptr;
        }
        delete list;  // its Sets hold no nested lists any more
    }
}

const char* cell(const TextRow& row, int column) {
    if (column < 0 || static_cast<size_t>(column) >= row.cells.size()) return nullptr;
    return row.cells[static_cast<size_t>(column)].c_str();
}

const TextRow& rowAt(const TextTable& table, int index) {
    if (index < 0 || static_cast<size_t>(index) >= table.rows.size()) return emptyRow;
    return table.rows[static_cast<size_t>(index)];
}

const char* cell(const TextTable& table, int row, int column) {
    return cell(rowAt(table, row), column);
}

int rowCount(const TextTable& table) { return static_cast<int>(table.rows.size()); }

const Set& setAt(const std::vector<Set>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return defaultSet;
    return list[static_cast<size_t>(index)];
}

const Variant& variantAt(const std::vector<Variant>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return defaultVariant;
    return list[static_cast<size_t>(index)];
}

Set* setRef(std::vector<Set>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return &defaultSet;
    return &list[static_cast<size_t>(index)];
}

Variant* variantRef(std::vector<Variant>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return &defaultVariant;
    return &list[static_cast<size_t>(index)];
}

void clearSet(Set& set) {
    TextTable* tables[] = {&set.intro, &set.comment, &set.title, &set.text,
                           &set.welcome, &set.buttons, &set.error};
    for (TextTable* t : tables) t->rows.clear();
    set.variants.clear();
    delete set.subsets;
    set.subsets = nullptr;
    set.start = -1;
    set.end = -1;
}

void clearVariant(Variant& variant) { variant = Variant(); }

void resetRun(Script& script) {
    script.chosenVariant = nullptr;
    if (script.file) {
        fclose(script.file);
        script.file = nullptr;
    }
    script.currentSet = 0;
    script.hosts.hostCount = 0;
}

void useScript(Script* script) { activeScript = script; }
Script* scriptInUse() { return activeScript; }

void destroyScript(Script& script) {
    resetRun(script);
    if (scriptInUse() == &script) useScript(nullptr);
    TextTable* tables[] = {&script.version, &script.macros, &script.title,
                           &script.welcome, &script.error, &script.buttons};
    for (TextTable* t : tables) t->rows = std::vector<TextRow>();
    script.sets = std::vector<Set>();
}
