// halvex-tool bench, run as a program with --quick: the header, one table row
// per order whose figures agree with each other, the first-call table, the
// agreement checks, the CSV, and the exit codes of bad arguments. The figures'
// sizes are never judged: the machine running the tests may be busy.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string tool = HALVEX_TOOL_PATH;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "halvex_bench_" + name; }

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

// Runs the bench with the arguments; standard output and error go to the
// files "out" and "err". Returns the exit code.
int run(const std::string& args) {
    const std::string command = tool + " bench " + args + " >" + tempPath("out") + " 2>" + tempPath("err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Output {
    std::vector<std::string> lines;
    bool hasFftw = false, hasKiss = false;
    size_t tableHeader = 0, firstCallHeader = 0;
};

// The run's standard output, with where its two tables start.
Output readOutput() {
    Output out;
    out.lines = split(readText(tempPath("out")), '\n');
    for (size_t i = 0; i < out.lines.size(); ++i) {
        const std::string& line = out.lines[i];
        if (startsWith(line, "FFTW:    ")) out.hasFftw = line.find("not compared") == std::string::npos;
        if (startsWith(line, "KissFFT: ")) out.hasKiss = line.find("not compared") == std::string::npos;
        if (startsWith(line, "order ") && out.tableHeader == 0) out.tableHeader = i;
        if (startsWith(line, "first call of an order")) out.firstCallHeader = i + 1;
    }
    return out;
}

double number(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    EXPECT_TRUE(!text.empty() && *end == '\0') << "'" << text << "' is not a number";
    return value;
}

// mflops = 5 n log2(n) / t(µs), within what printing rounds away: half a unit
// of the last printed digit of ns (nsStep) and of mflops (slack).
void expectMflops(const std::string& mflops, double n, int order, double ns, double nsStep, double slack) {
    const double expected = 5 * n * order / (ns / 1000);
    EXPECT_NEAR(number(mflops), expected, slack + expected * (nsStep / ns) * 1.01) << "order " << order;
}

TEST(ToolBench, QuickRunPrintsHeaderTableFirstCallsChecksAndCsv) {
    ASSERT_EQ(run("--orders 4-6 --quick --csv " + tempPath("csv")), 0) << readText(tempPath("err"));
    const Output out = readOutput();
    const std::string text = readText(tempPath("out"));
    for (const char* prefix : {"machine: ", "date:    ", "build:   ", "halvex:  variant ", "FFTW:    ", "KissFFT: ",
                               "timing:  "}) {
        bool found = false;
        for (const std::string& line : out.lines) found = found || startsWith(line, prefix);
        EXPECT_TRUE(found) << prefix << "\n" << text;
    }

    // The main table: order, n, ns and mflops of each library (halvex, FFTW in
    // both formats, KissFFT), three ratios.
    ASSERT_GT(out.tableHeader, 0u) << text;
    EXPECT_EQ(words(out.lines[out.tableHeader]),
              (std::vector<std::string>{"order", "n", "halvex", "ns", "mflops", "FFTW", "ns", "mflops", "FFTW-i", "ns",
                                        "mflops", "KissFFT", "ns", "mflops", "vs", "FFTW", "vs", "FFTW-i", "vs",
                                        "KissFFT"}));
    ASSERT_GE(out.lines.size(), out.tableHeader + 4);
    const bool present[4] = {true, out.hasFftw, out.hasFftw, out.hasKiss};
    for (int order = 4; order <= 6; ++order) {
        const std::vector<std::string> row = words(out.lines[out.tableHeader + size_t(order - 3)]);
        ASSERT_EQ(row.size(), 13u) << out.lines[out.tableHeader + size_t(order - 3)];
        EXPECT_EQ(row[0], std::to_string(order));
        EXPECT_EQ(row[1], std::to_string(1 << order));
        double ns[4] = {};
        for (int l = 0; l < 4; ++l) {
            if (!present[l]) {
                EXPECT_EQ(row[size_t(2 + 2 * l)], "-");
                EXPECT_EQ(row[size_t(3 + 2 * l)], "-");
                continue;
            }
            ns[l] = number(row[size_t(2 + 2 * l)]);
            EXPECT_GT(ns[l], 0) << "order " << order << " library " << l;
            expectMflops(row[size_t(3 + 2 * l)], 1 << order, order, ns[l], 0.05, 0.5);
        }
        for (int l = 1; l < 4; ++l) {
            if (present[l])
                EXPECT_NEAR(number(row[size_t(9 + l)]), ns[l] / ns[0], 0.006 + 0.01 * ns[l] / ns[0]);
            else
                EXPECT_EQ(row[size_t(9 + l)], "-");
        }
    }

    // The first-call table: order, n, tables ns, first call ns, steady ns, ratio.
    ASSERT_GT(out.firstCallHeader, 0u) << text;
    EXPECT_EQ(words(out.lines[out.firstCallHeader]),
              (std::vector<std::string>{"order", "n", "tables", "ns", "first", "call", "ns", "steady", "ns",
                                        "first/steady"}));
    for (int order = 4; order <= 6; ++order) {
        const std::vector<std::string> row = words(out.lines[out.firstCallHeader + size_t(order - 3)]);
        ASSERT_EQ(row.size(), 6u);
        EXPECT_EQ(row[0], std::to_string(order));
        EXPECT_GE(number(row[2]), 0);
        EXPECT_GT(number(row[3]), 0);
        EXPECT_GT(number(row[4]), 0);
    }

    // Every compared library computed the same transform as halvex.
    EXPECT_EQ(text.find("warning"), std::string::npos) << text;
    EXPECT_EQ(readText(tempPath("err")).find("warning"), std::string::npos) << readText(tempPath("err"));
    for (int l = 1; l < 4; ++l) {
        const char* const names[4] = {"", "FFTW", "FFTW-i", "KissFFT"};
        const std::string check =
            std::string("check:   ") + names[l] + "'s output agrees with halvex's at every order";
        EXPECT_EQ(text.find(check) != std::string::npos, present[l]) << check << "\n" << text;
    }

    // The CSV: a header and one row of fifteen fields per order, the same
    // figures; FFTW-i's three come last.
    const std::vector<std::string> csv = split(readText(tempPath("csv")), '\n');
    ASSERT_EQ(csv.size(), 5u);  // the last line ends with a newline
    EXPECT_TRUE(csv[4].empty());
    EXPECT_EQ(csv[0],
              "order,n,halvex_ns,halvex_mflops,fftw_ns,fftw_mflops,kissfft_ns,kissfft_mflops,halvex_per_fftw,"
              "halvex_per_kissfft,halvex_first_call_ns,halvex_tables_ns,fftwi_ns,fftwi_mflops,halvex_per_fftwi");
    for (int order = 4; order <= 6; ++order) {
        const std::vector<std::string> fields = split(csv[size_t(order - 3)], ',');
        ASSERT_EQ(fields.size(), 15u) << csv[size_t(order - 3)];
        EXPECT_EQ(fields[0], std::to_string(order));
        EXPECT_EQ(fields[1], std::to_string(1 << order));
        const double halvexNs = number(fields[2]);
        expectMflops(fields[3], 1 << order, order, halvexNs, 0.0005, 0.05);
        // Columns of ns, mflops and ratio: FFTW, KissFFT, FFTW-i.
        const struct {
            bool present;
            size_t ns, mflops, ratio;
        } libraries[] = {{out.hasFftw, 4, 5, 8}, {out.hasKiss, 6, 7, 9}, {out.hasFftw, 12, 13, 14}};
        for (const auto& l : libraries) {
            if (!l.present) {
                EXPECT_TRUE(fields[l.ns].empty() && fields[l.ratio].empty());
                continue;
            }
            const double ns = number(fields[l.ns]);
            expectMflops(fields[l.mflops], 1 << order, order, ns, 0.0005, 0.05);
            EXPECT_NEAR(number(fields[l.ratio]), ns / halvexNs, 1e-4 + 1e-3 * ns / halvexNs);
        }
        EXPECT_GT(number(fields[10]), 0);
        EXPECT_GE(number(fields[11]), 0);
    }
}

TEST(ToolBench, ANamedVariantIsTimedAndSaidSo) {
    ASSERT_EQ(run("--variant 0 --orders 5 --quick"), 0) << readText(tempPath("err"));
    const Output out = readOutput();
    const std::string text = readText(tempPath("out"));
    EXPECT_NE(text.find("halvex:  variant 0 (named by --variant)"), std::string::npos) << text;
    ASSERT_GT(out.tableHeader, 0u);
    EXPECT_EQ(words(out.lines[out.tableHeader + 1])[0], "5");
    EXPECT_TRUE(out.lines[out.tableHeader + 2].empty()) << text;
}

TEST(ToolBench, BadArgumentsExitWithTwoBeforeMeasuring) {
    const struct {
        std::string args, message;
    } cases[] = {
        {"--orders 6-4", "--orders must be A-B or N"},
        {"--orders 0-5", "--orders must be"},
        {"--orders 4-25", "--orders must be"},
        {"--orders 4-", "--orders must be"},
        {"--orders -4", "--orders must be"},
        {"--orders four", "--orders must be"},
        {"--orders 4-6x", "--orders must be"},
        {"--orders", "--orders needs a value"},
        {"--variant 6", "--variant must be 0 to 5"},
        {"--variant x", "--variant must be 0 to 5"},
        {"--width 64", "--width must be 128, 256 or 512"},
        {"--variant 4 --width 128", "--width applies to variant 5 only"},
        {"--csv", "--csv needs a value"},
        {"--fast", "unknown argument --fast"},
        {"4-6", "unknown argument 4-6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), 2) << c.args;
        const std::string err = readText(tempPath("err"));
        EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
        EXPECT_NE(err.find("usage: halvex-tool bench"), std::string::npos) << c.args;
        EXPECT_TRUE(readText(tempPath("out")).empty()) << c.args;
    }
}

TEST(ToolBench, ACsvFileThatCannotBeWrittenExitsWithOne) {
    EXPECT_EQ(run("--orders 4 --quick --csv " + tempPath("no-such-dir") + "/x.csv"), 1);
    EXPECT_NE(readText(tempPath("err")).find("cannot write"), std::string::npos);
}

TEST(ToolBench, HelpDescribesTheOutput) {
    EXPECT_EQ(run("--help"), 0);
    const std::string text = readText(tempPath("out"));
    EXPECT_NE(text.find("usage: halvex-tool bench"), std::string::npos);
    EXPECT_NE(text.find("CSV columns:"), std::string::npos);
}

}  // namespace
