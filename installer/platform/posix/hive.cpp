// The hive reader of the Linux build: a .reg text parsed line by line into the
// tree of keys, with the registry's name order and the key and value lookups.
#include "hive.h"

#include <algorithm>
#include <cstring>

namespace {

const int maxKeyDepth = 512;  // the registry's own nesting limit

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalNames(const std::string& a, const std::string& b) {
    return a.size() == b.size() && hiveCompareNames(a, b) == 0;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(const std::string& text, size_t pos, const char* word) {
    size_t n = std::strlen(word);
    if (text.size() - pos < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (upperAscii(text[pos + i]) != upperAscii(word[i])) return false;
    return true;
}

// Walks the text line by line (LF or CR LF), counting lines from 1.
class LineReader {
public:
    LineReader(const char* text, size_t size) : text_(text), size_(size) {}
    bool next(std::string& line) {
        if (pos_ >= size_) return false;
        const char* start = text_ + pos_;
        const void* found = std::memchr(start, '\n', size_ - pos_);
        size_t length = found ? static_cast<size_t>(static_cast<const char*>(found) - start) : size_ - pos_;
        pos_ += length + (found ? 1 : 0);
        line.assign(start, length);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ++number_;
        return true;
    }
    int number() const { return number_; }

private:
    const char* text_;
    size_t size_;
    size_t pos_ = 0;
    int number_ = 0;
};

class Parser {
public:
    Parser(const char* text, size_t size, HiveKey& root) : lines_(text, size), root_(root) {}
    bool run();
    const char* error() const { return error_; }
    int errorLine() const { return lines_.number() > 0 ? lines_.number() : 1; }

private:
    bool fail(const char* reason) { error_ = reason; return false; }
    bool parseSection(const std::string& line);
    bool parseValue();
    bool parseQuoted(std::string& out);
    bool parseBytes(std::string& out);
    bool restIsBlank() const;
    void skipBlanks() { while (pos_ < line_.size() && isBlank(line_[pos_])) ++pos_; }

    LineReader lines_;
    HiveKey& root_;
    std::string line_;
    size_t pos_ = 0;
    bool inSection_ = false;     // a section line was read
    HiveKey* current_ = nullptr; // its key; null for a section that is ignored
    const char* error_ = nullptr;
};

bool Parser::restIsBlank() const {
    for (size_t i = pos_; i < line_.size(); ++i)
        if (!isBlank(line_[i])) return false;
    return true;
}

// A quoted name or string: '"' { char | "\\" | "\"" } '"'.
bool Parser::parseQuoted(std::string& out) {
    out.clear();
    if (pos_ >= line_.size() || line_[pos_] != '"') return fail("'\"' expected");
    ++pos_;
    while (pos_ < line_.size()) {
        char c = line_[pos_++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos_ >= line_.size()) break;
            char escaped = line_[pos_++];
            if (escaped != '\\' && escaped != '"') return fail("unknown escape in a quoted text");
            out.push_back(escaped);
        } else {
            out.push_back(c);
        }
    }
    return fail("quoted text not closed");
}

// Hex bytes "41,42,..." possibly continued on following lines after ",\".
bool Parser::parseBytes(std::string& out) {
    out.clear();
    bool needByte = false;  // after a comma
    for (;;) {
        skipBlanks();
        if (pos_ >= line_.size()) {
            if (needByte) return fail("byte expected after ','");
            return true;
        }
        if (line_[pos_] == '\\' && (needByte || out.empty())) {
            ++pos_;
            if (!restIsBlank()) return fail("text after a continuation '\\'");
            if (!lines_.next(line_)) return fail("continuation at the end of the file");
            if (std::memchr(line_.data(), '\0', line_.size())) return fail("NUL character");
            pos_ = 0;
            continue;
        }
        int high = hexDigit(line_[pos_]);
        if (high < 0) return fail("hex byte expected");
        ++pos_;
        int value = high;
        if (pos_ < line_.size() && hexDigit(line_[pos_]) >= 0) value = value * 16 + hexDigit(line_[pos_++]);
        out.push_back(static_cast<char>(value));
        skipBlanks();
        if (pos_ >= line_.size()) return true;
        if (line_[pos_] != ',') return fail("',' expected between hex bytes");
        ++pos_;
        needByte = true;
    }
}

bool Parser::parseValue() {
    std::string name;
    skipBlanks();
    if (pos_ < line_.size() && line_[pos_] == '@') {
        ++pos_;
    } else if (!parseQuoted(name)) {
        return false;
    }
    skipBlanks();
    if (pos_ >= line_.size() || line_[pos_] != '=') return fail("'=' expected after the value name");
    ++pos_;
    skipBlanks();
    if (pos_ >= line_.size()) return fail("value data expected");

    std::string data;
    bool remove = false;
    char c = line_[pos_];
    if (c == '"') {
        if (!parseQuoted(data)) return false;
        data.push_back('\0');
    } else if (c == '-') {
        ++pos_;
        remove = true;
    } else if (startsWithNoCase(line_, pos_, "dword:")) {
        pos_ += 6;
        unsigned long value = 0;
        int digits = 0;
        while (pos_ < line_.size() && hexDigit(line_[pos_]) >= 0 && digits < 8) {
            value = value * 16 + static_cast<unsigned long>(hexDigit(line_[pos_++]));
            ++digits;
        }
        if (digits == 0) return fail("hex digits expected after dword:");
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    } else if (startsWithNoCase(line_, pos_, "hex")) {
        pos_ += 3;
        if (pos_ < line_.size() && line_[pos_] == '(') {
            ++pos_;
            int digits = 0;
            while (pos_ < line_.size() && hexDigit(line_[pos_]) >= 0) { ++pos_; ++digits; }
            if (digits == 0 || digits > 8 || pos_ >= line_.size() || line_[pos_] != ')')
                return fail("value type expected in hex(...)");
            ++pos_;
        }
        if (pos_ >= line_.size() || line_[pos_] != ':') return fail("':' expected after hex");
        ++pos_;
        if (!parseBytes(data)) return false;
    } else {
        return fail("value data must be a quoted text, dword:, hex: or -");
    }
    if (!restIsBlank()) return fail("text after the value data");

    if (!current_) return true;  // a section of another root or a deleted key
    auto& values = current_->values;
    auto found = std::find_if(values.begin(), values.end(),
                              [&](const HiveValue& v) { return equalNames(v.name, name); });
    if (remove) {
        if (found != values.end()) values.erase(found);
    } else if (found != values.end()) {
        found->data = data;
    } else {
        values.push_back(HiveValue{name, data});
    }
    return true;
}

bool Parser::parseSection(const std::string& line) {
    // line is trimmed and runs from '[' to ']'.
    std::string path = line.substr(1, line.size() - 2);
    bool remove = !path.empty() && path[0] == '-';
    if (remove) path.erase(0, 1);
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find('\\', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part.empty()) return fail("empty key name in a section");
        parts.push_back(part);
        if (static_cast<int>(parts.size()) > maxKeyDepth + 1) return fail("keys nested too deeply");
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    inSection_ = true;
    current_ = nullptr;
    const std::string& rootName = parts[0];
    if (!equalNames(rootName, "HKEY_LOCAL_MACHINE")) {
        static const char* const others[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_USERS",
                                             "HKEY_CURRENT_CONFIG"};
        for (const char* other : others)
            if (equalNames(rootName, other)) return true;  // another root: read, ignored
        return fail("unknown root key in a section");
    }
    HiveKey* key = &root_;
    if (remove) {
        HiveKey* parent = nullptr;
        for (size_t i = 1; i < parts.size() && key; ++i) {
            parent = key;
            key = hiveFindSubkey(*key, parts[i]);
        }
        if (key && parent) {
            auto& list = parent->subkeys;
            list.erase(std::find_if(list.begin(), list.end(),
                                    [&](const std::unique_ptr<HiveKey>& k) { return k.get() == key; }));
        }
        return true;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        auto& list = key->subkeys;
        auto at = std::lower_bound(list.begin(), list.end(), parts[i],
                                   [](const std::unique_ptr<HiveKey>& k, const std::string& n) {
                                       return hiveCompareNames(k->name, n) < 0;
                                   });
        if (at == list.end() || !equalNames((*at)->name, parts[i])) {
            auto created = std::make_unique<HiveKey>();
            created->name = parts[i];
            at = list.insert(at, std::move(created));
        }
        key = at->get();
    }
    current_ = key;
    return true;
}

bool Parser::run() {
    if (!lines_.next(line_)) return fail("empty file: header line expected");
    std::string header = line_;
    if (header.compare(0, 3, "\xEF\xBB\xBF") == 0) header.erase(0, 3);
    while (!header.empty() && isBlank(header.back())) header.pop_back();
    if (header != "Windows Registry Editor Version 5.00" && header != "REGEDIT4")
        return fail("first line must be \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
    while (lines_.next(line_)) {
        if (std::memchr(line_.data(), '\0', line_.size())) return fail("NUL character");
        pos_ = 0;
        skipBlanks();
        if (pos_ >= line_.size() || line_[pos_] == ';') continue;
        if (line_[pos_] == '[') {
            std::string trimmed = line_.substr(pos_);
            while (!trimmed.empty() && isBlank(trimmed.back())) trimmed.pop_back();
            if (trimmed.size() < 2 || trimmed.back() != ']') return fail("section line must end in ']'");
            if (!parseSection(trimmed)) return false;
            continue;
        }
        if (!inSection_) return fail("value line before the first section");
        if (!parseValue()) return false;
    }
    return true;
}

}  // namespace

int hiveCompareNames(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(upperAscii(a[i]));
        unsigned char y = static_cast<unsigned char>(upperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

HiveKey* hiveFindSubkey(const HiveKey& key, const std::string& name) {
    auto at = std::lower_bound(key.subkeys.begin(), key.subkeys.end(), name,
                               [](const std::unique_ptr<HiveKey>& k, const std::string& n) {
                                   return hiveCompareNames(k->name, n) < 0;
                               });
    if (at == key.subkeys.end() || !equalNames((*at)->name, name)) return nullptr;
    return at->get();
}

const HiveValue* hiveFindValue(const HiveKey& key, const std::string& name) {
    for (const HiveValue& value : key.values)
        if (equalNames(value.name, name)) return &value;
    return nullptr;
}

bool parseHive(const char* text, size_t size, const char* source, FILE* report, HiveKey& root) {
    Parser parser(text, size, root);
    if (parser.run()) return true;
    if (report)
        std::fprintf(report, "setup: registry hive %s, line %d: %s\n", source ? source : "", parser.errorLine(),
                     parser.error());
    return false;
}
