// Helpers of the script tests: scripts in temporary files, the recorded
// message boxes (the tests' own uiMessageBox), and a compact dump of a model.
#pragma once
#include <cstdio>
#include <string>
#include <vector>
#include "script/model.h"

struct RecordedBox {
    std::string text;       // "(null)" for a null text
    std::string caption;    // "(null)" for a null caption
    unsigned style;
};
extern std::vector<RecordedBox> recordedBoxes;

// A script written byte for byte into a fresh temporary directory as
// <dir>/set/version.psc; the directory is removed with the object.
class TempScript {
public:
    explicit TempScript(const std::string& content);
    ~TempScript();
    TempScript(const TempScript&) = delete;
    TempScript& operator=(const TempScript&) = delete;
    const std::string& path() const { return path_; }
    const std::string& dir() const { return dir_; }
    FILE* open();  // opened as loadScript opens it; closed with the object

private:
    std::string dir_, path_;
    std::vector<FILE*> opened_;
};

// Loads content with loadScript into script (boxes cleared first).
bool loadText(Script& script, const std::string& content);

// A compact, comparable text of the whole loaded model.
std::string dumpScript(const Script& script);

// The smallest valid Variant body (all sixteen tags, one line each).
std::string variantBody(const std::string& intro);
