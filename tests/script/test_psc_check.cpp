// psc-check as a script author runs it: exit codes, the diagnosis lines and
// the JSON document. The tool's path comes from the environment (PSC_CHECK),
// the example package's folder from EXAMPLES_DIR.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <nlohmann/json.hpp>
#include "script/reader.h"
#include "support.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// Runs psc-check with args in dir (the default script is dir/set/version.psc).
ToolRun run(const std::string& dir, const std::string& args) {
    const char* tool = std::getenv("PSC_CHECK");
    std::string command = "cd '" + dir + "' && '" + (tool ? tool : "psc-check") + "' " + args + " 2>&1";
    ToolRun result{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ToolRun check(const std::string& script, const std::string& args = "") {
    TempScript file(script);
    return run(file.dir(), args);
}

const std::string head = "<<script version>> \"3.0\"\n<<script error>> \"Broken\"\n";

std::string variant(const std::string& intro) {
    return "<<start variant>>\n" + variantBody(intro) + "<<end variant>>\n";
}

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

TEST(PscCheck, TheExamplePackageLoadsWithoutWarnings) {
    const char* examples = std::getenv("EXAMPLES_DIR");
    ASSERT_NE(examples, nullptr);
    ToolRun r = run(examples, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_HAS(r.out, "set//version.psc: loads:");
    EXPECT_HAS(r.out, " 0 warnings");
}

TEST(PscCheck, ExitStatusTwoForUsageErrors) {
    EXPECT_EQ(run(".", "--nonsense").status, 2);
    EXPECT_EQ(run(".", "a.psc b.psc").status, 2);
    EXPECT_EQ(run(".", "--help").status, 0);
}

TEST(PscCheck, FailuresNameTheirReason) {
    ToolRun missing = run(".", "no/such/file.psc");
    EXPECT_EQ(missing.status, 1);
    EXPECT_HAS(missing.out, "no/such/file.psc: error: cannot open the file");
    ToolRun noVersion = check("<<script title>> \"t\"\n");
    EXPECT_EQ(noVersion.status, 1);
    EXPECT_HAS(noVersion.out, "error: no \"<<script version>>\" line");
    ToolRun wrong = check("! comment\n<<script version>> \"3.00\"\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_HAS(wrong.out, "set//version.psc:2: error: the version cell holds \"3.00\"");
    EXPECT_HAS(wrong.out, "Setup version error: v3.0");
}

TEST(PscCheck, NestingErrorsNameTheMarkerAndItsLine) {
    ToolRun inside = check(head + "<<start set>>\n<<start variant>>\n<<start set>>\n");
    EXPECT_EQ(inside.status, 1);
    EXPECT_HAS(inside.out, ":5: error: nesting: \"<<start set>>\" inside the Variant opened at line 4");
    ToolRun open = check(head + "<<start set>>\n<<start set>>\n<<end set>>\n");
    EXPECT_HAS(open.out, ":3: error: nesting: at the end of the file: 1 Set without \"<<end set>>\"");
    ToolRun stray = check(head + "<<end variant>>\n");
    EXPECT_HAS(stray.out, ":3: error: nesting: \"<<end variant>>\" without an open");
}

TEST(PscCheck, AnInvalidVariantListsEveryMissingTag) {
    std::string body = variantBody("Full edition");
    for (const char* tag : {"<<drives to search>>", "<<str>>"}) {
        size_t at = body.find(tag);
        body.erase(at, body.find('\n', at) + 1 - at);
    }
    ToolRun r = check(head + "<<start set>>\n<<start variant>>\n" + body + "<<end variant>>\n<<end set>>\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_HAS(r.out, ":4: error: the Variant \"Full edition\" at lines 4-19 lacks 2 required tags: "
                      "\"<<drives to search>>\", \"<<str>>\"");
    EXPECT_HAS(r.out, "note: setup would show the message box \"Broken\"");
}

TEST(PscCheck, SuspiciousScriptsLoadWithWarnings) {
    std::string body = variantBody("V");
    body.insert(body.find("<<str>>"),
                "<<file>> \"a.dll\" \"bin\\\" \"prgdir\" \"doUninstall\" \"Ask\" \"Overwrite\"\n");
    std::string many;
    for (int i = 0; i < 7; ++i) many += variant("v" + std::to_string(i));
    std::string text = head + "<<start script>>\n<<start set>>\n<<set title>> \"$(UNDEFINED)\"\n"
                       "<<start variant>>\n" + body + "<<end variant>>\n<<end set>>\n"
                       "<<start set>>\n" + many + "<<end set>>\n<<mystery tag>> \"x\"\n"
                       "<<end script>>\n<<start set>>\n<<end set>>\n";
    ToolRun r = check(text);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_HAS(r.out, "cell 2 (target) \"prgdir\" is not a keyword; it counts as -1");
    EXPECT_HAS(r.out, "\"<<file>>\" \"a.dll\": cell 4 (install policy) \"Ask\" is a keyword, but not an install policy");
    EXPECT_HAS(r.out, "lacks message numbers that setup uses: 0, 2, 3");
    EXPECT_HAS(r.out, ":5: warning: the macro reference \"$(UNDEFINED)\" is not defined");
    EXPECT_HAS(r.out, "offers 7 Variants; its page shows only the first six");
    EXPECT_HAS(r.out, "warning: unknown tag \"<<mystery tag>>\"");
    EXPECT_HAS(r.out, "\"<<start set>>\" after the \"<<end script>>\" at line");
    EXPECT_HAS(r.out, "loads: 2 top-level Sets");
}

// A quote inside a macro text survives in the macro table but ends the cell
// wherever the macro is used, silently cutting the message short.
TEST(PscCheck, AQuoteInAMacroTextIsReported) {
    std::string text = head + "<<script macro>> \"$(ASK)\" \"Remove \\q%s\\q?\"\n"
                       "<<script macro>> \"$(OK)\" \"Remove '%s'?\"\n"
                       "<<start set>>\n" + variant("V") + "<<end set>>\n";
    ToolRun r = check(text);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_HAS(r.out, ":3: warning: the text of the macro \"$(ASK)\" holds a double quote");
    EXPECT_EQ(r.out.find("\"$(OK)\" holds"), std::string::npos) << r.out;
}

TEST(PscCheck, JsonOfALoadedScript) {
    ToolRun r = check(head + "<<script macro>> \"$(A)\" \"a\\nb\"\n<<start set>>\n<<set title>> \"q\\q\"\n"
                         "<<start set>>\n" + variant("v") + "<<end set>>\n<<end set>>\n",
                  "--json");
    ASSERT_EQ(r.status, 0) << r.out;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc["loaded"], true);
    EXPECT_TRUE(doc["failure"].is_null());
    const auto& script = doc["script"];
    for (const char* key : {"version", "macros", "title", "welcome", "error", "buttons", "sets"})
        EXPECT_TRUE(script.contains(key)) << key;
    EXPECT_EQ(script.size(), 7u);
    EXPECT_EQ(script["macros"][0][1], "a\r\nb");
    const auto& set = script["sets"][0];
    EXPECT_EQ(set.size(), 9u);
    EXPECT_EQ(set["title"][0][0], "q\"");
    EXPECT_TRUE(set["subsets"][0]["subsets"].is_null());
    const auto& v = set["subsets"][0]["variants"][0];
    EXPECT_EQ(v.size(), 17u);
    EXPECT_EQ(v["valid"], true);
    EXPECT_EQ(v["defaultPluginsDir"][0][0], "v");
    EXPECT_EQ(v["messages"][0].size(), 1u);  // an absent cell is not in the row
}

TEST(PscCheck, JsonOfFailures) {
    struct Case {
        std::string text;
        const char* failure;
    } cases[] = {{"", "no version"},
                 {"<<script version>> \"3\"\n", "wrong version"},
                 {head + "<<start set>>\n", "invalid"},
                 {head + "<<start set>>\n<<start variant>>\n<<end variant>>\n<<end set>>\n", "invalid"}};
    for (const Case& c : cases) {
        ToolRun r = check(c.text, "--json");
        EXPECT_EQ(r.status, 1);
        auto doc = nlohmann::json::parse(r.out);
        EXPECT_EQ(doc["loaded"], false);
        EXPECT_EQ(doc["failure"], c.failure);
        EXPECT_TRUE(doc["script"].is_null());
    }
    ToolRun missing = run(".", "--json no/such.psc");
    EXPECT_EQ(nlohmann::json::parse(missing.out)["failure"], "cannot open");
}

}  // namespace
