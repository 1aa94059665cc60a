// flow_case_runner: runs the setup program, confined to its scratch
// directory, on one case of tests/flow/cases and compares its transcript, the
// files under hosts/ and its standard error with what the case expects (the
// case layout is described in README.md); nothing else may change.
// Exit code 0 when everything matches, 1 otherwise.
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const rootMark = "@ROOT@";

struct Options {
    std::string setup, pscCheck, caseDir, examples, work;
};

// Replaces every occurrence of from in text.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Reads a whole file as bytes; false when it does not exist or cannot be read.
bool readBytes(const std::string& path, std::string& out) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    out.clear();
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) out.append(chunk, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool writeBytes(const std::string& path, const std::string& data, const char* mode) {
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

// A case file with @ROOT@ replaced; false when the case has no such file.
bool readCaseFile(const Options& options, const char* name, std::string& out) {
    if (!readBytes(options.caseDir + "/" + name, out)) return false;
    out = replaceAll(out, rootMark, options.work);
    return true;
}

// The escapes of tree.txt: \r \n \t and \\.
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && std::strchr("rnt\\", text[i + 1])) {
            const char next = text[++i];
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string escape(const std::string& data) {
    std::string out;
    for (char c : data) {
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
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

std::string numbered(const std::string& pattern, int n) {
    return replaceAll(pattern, "%d", std::to_string(n));
}

// "@repeat N TEXT" lines of expected.txt become N numbered lines.
std::string expandRepeats(const std::string& text) {
    std::string out;
    const std::vector<std::string> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::string piece = line;
        if (line.compare(0, 8, "@repeat ") == 0) {
            const size_t blank = line.find(' ', 8);
            const int count = std::atoi(line.substr(8, blank - 8).c_str());
            const std::string pattern = blank == std::string::npos ? "" : line.substr(blank + 1);
            piece.clear();
            for (int n = 1; n <= count; ++n) piece += (n > 1 ? "\n" : "") + numbered(pattern, n);
        }
        out += piece;
        if (i + 1 < lines.size()) out += '\n';
    }
    return out;
}

bool failLine(int number, const std::string& line, const char* reason) {
    std::printf("tree.txt line %d: %s: %s\n", number, reason, line.c_str());
    return false;
}

// "YYYY-MM-DD HH:MM[:SS]" in UTC as the file's access and write time.
bool setDate(const std::string& path, const std::string& stamp) {
    struct tm when = {};
    int seconds = 0;
    const int fields = std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d", &when.tm_year, &when.tm_mon,
                                   &when.tm_mday, &when.tm_hour, &when.tm_min, &seconds);
    if (fields < 5) return false;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    when.tm_sec = seconds;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = timegm(&when);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// Builds the scratch directory from tree.txt.
bool layOut(const std::string& tree, const Options& options) {
    const std::vector<std::string> lines = splitLines(tree);
    std::error_code error;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        const int number = static_cast<int>(i + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
        const size_t blank = line.find(' ');
        const std::string word = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
        const size_t equals = rest.find(" = ");
        const std::string head = rest.substr(0, equals);
        const std::string text = equals == std::string::npos ? "" : rest.substr(equals + 3);
        const std::string path = options.work + "/" + head;
        if (word == "package" && rest == "examples") {
            fs::copy(options.examples, options.work,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
            if (error) return failLine(number, line, error.message().c_str());
            continue;
        }
        if (word == "dir") {
            fs::create_directories(path, error);
            if (error) return failLine(number, line, error.message().c_str());
            continue;
        }
        if (equals == std::string::npos) return failLine(number, line, "missing \" = \"");
        if (word == "file" || word == "repeat") {
            std::string target = path, data;
            if (word == "file") {
                data = unescape(text);
            } else {
                const size_t last = head.rfind(' ');
                if (last == std::string::npos) return failLine(number, line, "no count");
                target = options.work + "/" + head.substr(0, last);
                const int count = std::atoi(head.substr(last + 1).c_str());
                for (int n = 1; n <= count; ++n) data += unescape(numbered(text, n));
            }
            fs::create_directories(fs::path(target).parent_path(), error);
            if (!writeBytes(target, data, word == "file" ? "wb" : "ab"))
                return failLine(number, line, "cannot write the file");
        } else if (word == "date") {
            if (!setDate(path, text)) return failLine(number, line, "cannot set the date");
        } else {
            return failLine(number, line, "unknown entry");
        }
    }
    return true;
}

// Everything under hosts/, as files.txt lists it; or (outside) everything else
// in the scratch directory, with a digest of each larger file so that any
// change shows.
std::string listing(const std::string& scratch, bool outside = false) {
    std::vector<std::string> lines;
    std::error_code error;
    const fs::path base = outside ? fs::path(scratch) : fs::path(scratch) / "hosts";
    if (!fs::exists(base)) return "";
    for (fs::recursive_directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        const std::string relative = fs::relative(it->path(), scratch).generic_string();
        if (outside && relative == "hosts") {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_directory()) {
            lines.push_back(relative + "/");
            continue;
        }
        std::string data;
        readBytes(it->path().string(), data);
        const std::string digest = outside ? " " + std::to_string(std::hash<std::string>()(data)) : "";
        const std::string shown =
            data.size() > 100 ? "<" + std::to_string(data.size()) + " bytes" + digest + ">" : escape(data);
        lines.push_back(relative + " = " + shown);
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// Runs a program of the build, confined to the scratch directory (a faulty
// build can change nothing else), in the scratch directory with input on its
// standard input; its standard output and error go to files beside it.
bool runConfined(const Options& options, const std::vector<std::string>& argv, const std::string& input,
                 bool hasHive, int& exitCode, std::string& out, std::string& err) {
    const std::string in = options.work + ".in", outPath = options.work + ".out",
                      errPath = options.work + ".err";
    if (!writeBytes(in, input, "wb")) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const int source = open(in.c_str(), O_RDONLY);
        const int output = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errors = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (source < 0 || output < 0 || errors < 0 || dup2(source, 0) < 0 || dup2(output, 1) < 0 ||
            dup2(errors, 2) < 0 || chdir(options.work.c_str()) != 0)
            _exit(127);
        setenv("TZ", "UTC", 1);
        setenv("LC_ALL", "C", 1);
        if (hasHive)
            setenv("SETUP_REGISTRY", (options.work + "/hive.reg").c_str(), 1);
        else
            unsetenv("SETUP_REGISTRY");
        std::vector<const char*> args = {"bash", CONFINE_SCRIPT, options.work.c_str()};
        for (const std::string& arg : argv) args.push_back(arg.c_str());
        args.push_back(nullptr);
        execv("/bin/bash", const_cast<char* const*>(args.data()));
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return readBytes(outPath, out) && readBytes(errPath, err);
}

// Prints where two texts part, with a few lines of each around it.
bool compare(const char* what, const std::string& expected, const std::string& actual) {
    if (expected == actual) return true;
    const std::vector<std::string> want = splitLines(expected), got = splitLines(actual);
    size_t first = 0;
    while (first < want.size() && first < got.size() && want[first] == got[first]) ++first;
    std::printf("--- %s differs from line %zu on\n", what, first + 1);
    const size_t from = first >= 3 ? first - 3 : 0;
    for (int side = 0; side < 2; ++side) {
        const std::vector<std::string>& lines = side == 0 ? want : got;
        std::printf("%s:\n", side == 0 ? "expected" : "actual");
        for (size_t i = from; i < lines.size() && i < first + 6; ++i)
            std::printf("%c %5zu | %s\n", i == first ? '>' : ' ', i + 1, lines[i].c_str());
        if (lines.size() > first + 6) std::printf("        ... %zu lines in all\n", lines.size());
    }
    return false;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        std::string* field = name == "--setup"     ? &options.setup
                             : name == "--psc-check" ? &options.pscCheck
                             : name == "--case"     ? &options.caseDir
                             : name == "--examples" ? &options.examples
                             : name == "--work"     ? &options.work
                                                    : nullptr;
        if (!field) return false;
        *field = argv[i + 1];
    }
    if (options.setup.empty() || options.pscCheck.empty() || options.caseDir.empty() ||
        options.examples.empty() || options.work.empty())
        return false;
    std::error_code error;
    options.setup = fs::absolute(options.setup, error).string();
    options.caseDir = fs::absolute(options.caseDir, error).string();
    options.work = fs::absolute(options.work, error).lexically_normal().string();
    while (options.work.size() > 1 && options.work.back() == '/') options.work.pop_back();
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: flow_case_runner --setup PROGRAM --psc-check PROGRAM --case DIR --examples DIR "
                     "--work DIR\n");
        return 2;
    }
    std::error_code error;
    fs::remove_all(options.work, error);
    fs::create_directories(options.work, error);
    if (error) {
        std::printf("cannot make %s: %s\n", options.work.c_str(), error.message().c_str());
        return 1;
    }
    std::string text;
    if (readCaseFile(options, "tree.txt", text) && !layOut(text, options)) return 1;
    if (fs::exists(options.caseDir + "/version.psc")) {
        fs::create_directories(options.work + "/set", error);
        fs::copy_file(options.caseDir + "/version.psc", options.work + "/set/version.psc",
                      fs::copy_options::overwrite_existing, error);
        if (error) return 1;
    }
    const bool hasHive = readCaseFile(options, "hive.reg", text);
    if (hasHive && !writeBytes(options.work + "/hive.reg", text, "wb")) return 1;

    // With FLOW_UPDATE=1 an output that differs is written back into the case.
    const char* update = std::getenv("FLOW_UPDATE");
    const bool updating = update && std::strcmp(update, "1") == 0;
    bool ok = true;
    // Compares an output with the case file that holds it, when the case has it.
    auto check = [&](const char* what, const char* name, const std::string& actual) {
        std::string expected;
        if (!readCaseFile(options, name, expected) && actual.empty()) return;
        if (std::strcmp(name, "expected.txt") == 0) expected = expandRepeats(expected);
        if (compare(what, expected, actual)) return;
        ok = false;
        if (updating) writeBytes(options.caseDir + "/" + name, replaceAll(actual, options.work, rootMark), "wb");
    };
    const std::string before = listing(options.work, true);
    int exitCode = 0;
    std::string out, err;
    std::string answers;
    if (readCaseFile(options, "expected.txt", text)) {
        readCaseFile(options, "answers.txt", answers);
        if (!runConfined(options, {options.setup}, answers, hasHive, exitCode, out, err)) {
            std::printf("cannot run %s\n", options.setup.c_str());
            return 1;
        }
        if (exitCode != 0) {
            std::printf("--- exit code %d, expected 0\n", exitCode);
            ok = false;
        }
        check("transcript", "expected.txt", out);
        check("files under hosts/", "files.txt", listing(options.work));
        check("standard error", "stderr.txt", err);
    }
    // psc-check's text and JSON reports of the same script, with its exit status.
    const struct { const char* name; std::vector<std::string> argv; } reports[] = {
        {"check.txt", {options.pscCheck, "set/version.psc"}},
        {"check.json", {options.pscCheck, "--json", "set/version.psc"}}};
    for (const auto& report : reports) {
        if (!fs::exists(options.caseDir + "/" + report.name)) continue;
        if (!runConfined(options, report.argv, "", false, exitCode, out, err)) {
            std::printf("cannot run %s\n", options.pscCheck.c_str());
            return 1;
        }
        check(report.name, report.name, out + err + "exit " + std::to_string(exitCode) + "\n");
    }
    ok = compare("files outside hosts/", before, listing(options.work, true)) && ok;
    if (!ok && readCaseFile(options, "about.txt", text)) std::printf("--- the case: %s", text.c_str());
    return ok ? 0 : 1;
}
