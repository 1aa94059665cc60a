// flow_case_runner: runs the setup program, confined to its scratch
// directory, on one case of tests/flow/cases and compares its transcript, the
// files under hosts/ and its standard error with what the case expects (the
// case layout is described in README.md); nothing else may change.
// Exit code 0 when everything matches, 1 otherwise.
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string rootMark = "@ROOT@";
std::string setup, pscCheck, caseDir, examples, work;

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A whole file's bytes; false when it cannot be read.
bool readBytes(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), {});
    return in && !fs::is_directory(path);
}

bool writeBytes(const std::string& path, const std::string& data, bool append = false) {
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out << data;
    out.close();
    return !out.fail();
}

// A case file with @ROOT@ replaced; false when the case has no such file.
bool readCaseFile(const std::string& name, std::string& out) {
    return readBytes(caseDir + "/" + name, out) && (out = replaceAll(out, rootMark, work), true);
}

// The escapes of tree.txt and files.txt: \r \n \t and \\.
const std::string escapes = "rnt\\", escaped = "\r\n\t\\";
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t k = text[i] == '\\' && i + 1 < text.size() ? escapes.find(text[i + 1]) : std::string::npos;
        out += k == std::string::npos ? text[i] : (++i, escaped[k]);
    }
    return out;
}

std::string escape(const std::string& data) {
    std::string out;
    for (char c : data) {
        const size_t k = escaped.find(c);
        out += k == std::string::npos ? std::string(1, c) : std::string{'\\', escapes[k]};
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string numbered(const std::string& pattern, int n) { return replaceAll(pattern, "%d", std::to_string(n)); }

// "@repeat N TEXT" lines of expected.txt become N numbered lines.
std::string expandRepeats(const std::string& text) {
    std::string out;
    for (const std::string& line : splitLines(text)) {
        const size_t blank = line.find(' ', 8);
        const std::string pattern = blank == std::string::npos ? "" : line.substr(blank + 1);
        const int count = line.compare(0, 8, "@repeat ") == 0 ? std::atoi(line.c_str() + 8) : -1;
        for (int n = 1; n <= count; ++n) out += numbered(pattern, n) + "\n";
        if (count < 0) out += line + "\n";
    }
    return out.substr(0, out.size() - 1);
}

// "YYYY-MM-DD HH:MM[:SS]" in UTC as the file's access and write time.
bool setDate(const std::string& path, const std::string& stamp) {
    struct tm when = {};
    if (std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d", &when.tm_year, &when.tm_mon, &when.tm_mday,
                    &when.tm_hour, &when.tm_min, &when.tm_sec) < 5)
        return false;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    const struct timespec time = {timegm(&when), 0}, times[2] = {time, time};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// Builds one line of tree.txt into the scratch directory; the reason it cannot, or "".
std::string layOutLine(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') return "";
    const size_t blank = line.find(' ');
    const std::string word = line.substr(0, blank), rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    const size_t equals = rest.find(" = ");
    const std::string head = rest.substr(0, equals), text = equals == std::string::npos ? "" : rest.substr(equals + 3);
    std::error_code error;
    if (word == "package" && rest == "examples")
        fs::copy(examples, work, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    else if (word == "dir")
        fs::create_directories(work + "/" + head, error);
    if (word == "dir" || (word == "package" && rest == "examples")) return error ? error.message() : "";
    const fs::path path = work + "/" + head;
    if (word == "fifo" || word == "link") fs::create_directories(path.parent_path(), error);
    if (word == "fifo") return mkfifo(path.c_str(), 0644) == 0 ? "" : "cannot make the FIFO";
    if (equals == std::string::npos) return "missing \" = \"";
    if (word == "link") fs::create_symlink(text, path, error);
    if (word == "link") return error ? error.message() : "";
    if (word == "date") return setDate(work + "/" + head, text) ? "" : "cannot set the date";
    const size_t last = head.rfind(' ');
    if (word != "file" && word != "repeat") return "unknown entry";
    if (word == "repeat" && last == std::string::npos) return "no count";
    const std::string target = work + "/" + (word == "file" ? head : head.substr(0, last));
    std::string data = word == "file" ? unescape(text) : "";
    for (int n = 1; word == "repeat" && n <= std::atoi(head.c_str() + last + 1); ++n)
        data += unescape(numbered(text, n));
    fs::create_directories(fs::path(target).parent_path(), error);
    return writeBytes(target, data, word == "repeat") ? "" : "cannot write the file";
}

// Everything under hosts/, as files.txt lists it; or (outside) everything else
// in the scratch directory, with a digest of each larger file so that any
// change shows.
std::string listing(bool outside = false) {
    std::vector<std::string> lines;
    std::error_code error;
    const fs::path base = outside ? fs::path(work) : fs::path(work) / "hosts";
    if (!fs::exists(base)) return "";
    for (fs::recursive_directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        const std::string relative = it->path().lexically_relative(work).generic_string();
        if (outside && relative == "hosts") {
            it.disable_recursion_pending();
            continue;
        }
        // Links and special files are named, never followed or read.
        if (it->is_symlink()) {
            lines.push_back(relative + " -> " + fs::read_symlink(it->path(), error).string());
            continue;
        }
        if (!it->is_directory() && !it->is_regular_file()) {
            lines.push_back(relative + (it->is_fifo() ? " = <fifo>" : " = <special>"));
            continue;
        }
        if (it->is_directory()) {
            lines.push_back(relative + "/");
            continue;
        }
        std::string data;
        readBytes(it->path().string(), data);
        const std::string digest = outside ? " " + std::to_string(std::hash<std::string>()(data)) : "";
        const std::string size = "<" + std::to_string(data.size()) + " bytes" + digest + ">";
        lines.push_back(relative + " = " + (data.size() > 100 ? size : escape(data)));
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

std::string shellWord(const std::string& text) { return "'" + replaceAll(text, "'", "'\\''") + "'"; }

// Runs a program of the build, confined to the scratch directory (a faulty
// build can change nothing else), in the scratch directory with input on its
// standard input; its standard output and error go to files beside it.
// The exit code, or -1 when it cannot be run.
int runConfined(const std::string& command, const std::string& input, bool hasHive, std::string& out,
                std::string& err) {
    if (hasHive) setenv("SETUP_REGISTRY", (work + "/hive.reg").c_str(), 1);
    else unsetenv("SETUP_REGISTRY");
    if (!writeBytes(work + ".in", input)) return -1;
    const int status = std::system(("cd " + shellWord(work) + " && exec /bin/bash " + shellWord(CONFINE_SCRIPT) + " " +
                                    shellWord(work) + " " + command + " <" + shellWord(work + ".in") + " >" +
                                    shellWord(work + ".out") + " 2>" + shellWord(work + ".err")).c_str());
    if (status == -1 || !readBytes(work + ".out", out) || !readBytes(work + ".err", err)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Prints where two texts part, with a few lines of each around it.
bool compare(const char* what, const std::string& expected, const std::string& actual) {
    if (expected == actual) return true;
    const std::vector<std::string> want = splitLines(expected), got = splitLines(actual);
    const size_t first = std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
    std::printf("--- %s differs from line %zu on\n", what, first + 1);
    for (const auto* lines : {&want, &got}) {
        std::printf("%s:\n", lines == &want ? "expected" : "actual");
        for (size_t i = first >= 3 ? first - 3 : 0; i < lines->size() && i < first + 6; ++i)
            std::printf("%c %5zu | %s\n", i == first ? '>' : ' ', i + 1, (*lines)[i].c_str());
        if (lines->size() > first + 6) std::printf("        ... %zu lines in all\n", lines->size());
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string*> fields = {{"--setup", &setup}, {"--psc-check", &pscCheck},
        {"--case", &caseDir}, {"--examples", &examples}, {"--work", &work}};
    bool usage = argc != 11;
    for (int i = 1; i + 1 < argc; i += 2)
        if (fields.count(argv[i])) *fields[argv[i]] = argv[i + 1];
        else usage = true;
    for (const auto& field : fields) usage = usage || field.second->empty();
    std::error_code error;
    for (auto* path : {&setup, &caseDir, &work})
        *path = usage ? "" : fs::absolute(*path, error).lexically_normal().string();
    while (work.size() > 1 && work.back() == '/') work.pop_back();
    if (usage || error) {
        std::fprintf(stderr, "usage: flow_case_runner --setup PROGRAM --psc-check PROGRAM --case DIR "
                             "--examples DIR --work DIR\n");
        return 2;
    }
    fs::remove_all(work, error);
    fs::create_directories(work, error);
    if (error) return std::printf("cannot make %s: %s\n", work.c_str(), error.message().c_str()), 1;
    std::string text;
    readCaseFile("tree.txt", text);  // none: no lines to lay out
    const std::vector<std::string> tree = splitLines(text);
    for (size_t i = 0; i < tree.size(); ++i) {
        const std::string reason = layOutLine(tree[i]);
        if (!reason.empty())
            return std::printf("tree.txt line %zu: %s: %s\n", i + 1, reason.c_str(), tree[i].c_str()), 1;
    }
    if (fs::exists(caseDir + "/version.psc")) {
        fs::create_directories(work + "/set", error);
        fs::copy_file(caseDir + "/version.psc", work + "/set/version.psc", fs::copy_options::overwrite_existing,
                      error);
        if (error) return 1;
    }
    // A hive that tree.txt lays out (a link, a FIFO) is named as one too.
    const bool caseHive = readCaseFile("hive.reg", text);
    if (caseHive && !writeBytes(work + "/hive.reg", text)) return 1;
    const bool hasHive = caseHive || fs::symlink_status(work + "/hive.reg").type() != fs::file_type::not_found;
    std::string zone;
    readCaseFile("zone.txt", zone);  // none: UTC
    setenv("TZ", zone.empty() ? "UTC" : zone.substr(0, zone.find('\n')).c_str(), 1);
    setenv("LC_ALL", "C", 1);

    // With FLOW_UPDATE=1 an output that differs is written back into the case.
    const bool updating = std::getenv("FLOW_UPDATE") && std::strcmp(std::getenv("FLOW_UPDATE"), "1") == 0;
    bool ok = true;
    // Compares an output with the case file that holds it, when the case has it.
    auto check = [&](const char* what, const std::string& name, const std::string& actual) {
        std::string expected;
        if (!readCaseFile(name, expected) && actual.empty()) return;
        if (compare(what, name == "expected.txt" ? expandRepeats(expected) : expected, actual)) return;
        ok = false;
        if (updating) writeBytes(caseDir + "/" + name, replaceAll(actual, work, rootMark));
    };
    const std::string before = listing(true);
    std::string out, err, answers;
    if (readCaseFile("expected.txt", text)) {
        readCaseFile("answers.txt", answers);
        const int exitCode = runConfined(shellWord(setup), answers, hasHive, out, err);
        if (exitCode < 0) return std::printf("cannot run %s\n", setup.c_str()), 1;
        if (exitCode != 0) ok = (std::printf("--- exit code %d, expected 0\n", exitCode), false);
        check("transcript", "expected.txt", out);
        check("files under hosts/", "files.txt", listing());
        check("standard error", "stderr.txt", err);
    }
    // psc-check's text and JSON reports of the same script, with its exit status.
    for (const std::string name : {"check.txt", "check.json"}) {
        if (!fs::exists(caseDir + "/" + name)) continue;
        const std::string json = name == "check.json" ? " --json" : "";
        const int exitCode = runConfined(shellWord(pscCheck) + json + " set/version.psc", "", false, out, err);
        if (exitCode < 0) return std::printf("cannot run %s\n", pscCheck.c_str()), 1;
        check(name.c_str(), name, out + err + "exit " + std::to_string(exitCode) + "\n");
    }
    ok = compare("files outside hosts/", before, listing(true)) && ok;
    if (!ok && readCaseFile("about.txt", text)) std::printf("--- the case: %s", text.c_str());
    return ok ? 0 : 1;
}
