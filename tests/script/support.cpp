#include "support.h"
#include <atomic>
#include <chrono>
#include <filesystem>
#include "platform/ui.h"
#include "script/reader.h"

std::vector<RecordedBox> recordedBoxes;

// The link-time seam: message boxes are recorded, not shown.
int uiMessageBox(WindowHandle, const char* text, const char* caption, unsigned style) {
    recordedBoxes.push_back({text ? text : "(null)", caption ? caption : "(null)", style});
    return answerOk;
}

namespace fs = std::filesystem;

TempScript::TempScript(const std::string& content) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() /
                   ("psc-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(dir / "set");
    dir_ = dir.string();
    path_ = (dir / "set" / "version.psc").string();
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (f) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
}

TempScript::~TempScript() {
    for (FILE* f : opened_) std::fclose(f);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

FILE* TempScript::open() {
    FILE* f = std::fopen(path_.c_str(), SCRIPT_OPEN_MODE);
    if (f) opened_.push_back(f);
    return f;
}

bool loadText(Script& script, const std::string& content) {
    TempScript file(content);
    recordedBoxes.clear();
    bool ok = loadScript(script, file.path().c_str());
    resetRun(script);  // closes the file before the directory goes
    return ok;
}

namespace {
void dumpTable(std::string& out, const char* name, const TextTable& t) {
    out += name;
    out += "[";
    for (const TextRow& row : t.rows) {
        out += "(";
        for (const std::string& c : row.cells) out += "'" + c + "'";
        out += ")";
    }
    out += "]";
}

void dumpVariant(std::string& out, const Variant& v) {
    const TextTable* t[16] = {&v.intro, &v.title, &v.fewappl, &v.license, &v.comment, &v.error,
                              &v.buttons, &v.defaultPluginsDir, &v.defaultFiltersDir,
                              &v.photoshopExe, &v.drivesToSearch, &v.pluginRegistryKey,
                              &v.applicationRegistryKey, &v.adobeRegistryKey, &v.files,
                              &v.messages};
    out += "V{";
    for (int i = 0; i < 16; ++i) dumpTable(out, "", *t[i]);
    out += v.valid ? "valid}" : "invalid}";
}

void dumpSet(std::string& out, const Set& s) {
    out += "S{";
    dumpTable(out, "intro", s.intro);
    dumpTable(out, "comment", s.comment);
    dumpTable(out, "title", s.title);
    dumpTable(out, "text", s.text);
    dumpTable(out, "welcome", s.welcome);
    dumpTable(out, "buttons", s.buttons);
    dumpTable(out, "error", s.error);
    for (const Variant& v : s.variants) dumpVariant(out, v);
    if (s.subsets) {
        out += "sub<";
        for (const Set& c : *s.subsets) dumpSet(out, c);
        out += ">";
    }
    out += "}";
}
}  // namespace

std::string dumpScript(const Script& script) {
    std::string out;
    dumpTable(out, "version", script.version);
    dumpTable(out, "macros", script.macros);
    dumpTable(out, "title", script.title);
    dumpTable(out, "welcome", script.welcome);
    dumpTable(out, "error", script.error);
    dumpTable(out, "buttons", script.buttons);
    for (const Set& s : script.sets) dumpSet(out, s);
    return out;
}

std::string variantBody(const std::string& intro) {
    std::string body = "<<variant intro>> \"" + intro + "\"\n";
    for (int i = 1; i < 16; ++i) body += std::string(variantTags[i]) + " \"" + intro + "\"\n";
    return body;
}
